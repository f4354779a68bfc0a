// What the editor needs of an MText's layout: its placement for the text engine.
#pragma once

#include "text/textplacement.h"

#include <string>

class AcDbMText;

namespace cadhost::editor {

text::MTextPlacement PlacementOf(const AcDbMText& mtext);
// The contents as text (the caller has the entity open for read).
std::string ContentsOf(const AcDbMText& mtext);

} // namespace cadhost::editor
