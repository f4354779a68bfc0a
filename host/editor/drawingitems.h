// What a picture of the drawing shows: every entity of the current space as it draws itself,
// in the shapes the text engine's picture writer takes.
#pragma once

#include "text/svgexport.h"

#include <vector>

class AcDbDatabase;
class AcDbEntity;

namespace cadhost::editor {

std::vector<text::DrawingItem> DrawingItemsOf(AcDbDatabase* db);
// Appends what one entity (open for read) draws, its items marked with the handle.
void AddDrawingItemsOf(AcDbEntity& entity, const std::string& handle,
                       std::vector<text::DrawingItem>& items);

} // namespace cadhost::editor
