// What a picture of the drawing shows: every entity of the current space as it draws itself,
// in the shapes the text engine's picture writer takes.
#pragma once

#include "text/svgexport.h"

#include <vector>

class AcDbDatabase;

namespace cadhost::editor {

std::vector<text::DrawingItem> DrawingItemsOf(AcDbDatabase* db);

} // namespace cadhost::editor
