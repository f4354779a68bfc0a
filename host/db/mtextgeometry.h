// An MText as the text engine sees it: its placement and its contents.
#pragma once

#include "text/textplacement.h"

#include <string>

class AcDbMText;

namespace cadhost::db {

text::MTextPlacement PlacementOf(const AcDbMText& mtext);
// The contents as text (the caller has the entity open for read).
std::string ContentsOf(const AcDbMText& mtext);

} // namespace cadhost::db
