// The icons of the sheet dialogs, as the module's resource script holds them.
// Each icon has a 32 by 32 and a 16 by 16 image in the classic 16-colour palette; the dialogs
// show the move buttons' icons at 16 by 16 and the others at 32 by 32.
#pragma once

#include "win/resource.h"

#include <vector>

namespace SpecSheetIcon {
inline constexpr UINT kSetTextSizes = 101; // a large and a small letter A with a size arrow
inline constexpr UINT kMoveUp = 107;       // an arrow up
inline constexpr UINT kMoveDown = 108;     // an arrow down
inline constexpr UINT kRemove = 109;       // a dark grey cross
inline constexpr UINT kRemoveHot = 110;    // the same cross in red, while the pointer is on it
inline constexpr UINT kPreview = 111;      // a page under a magnifying glass
} // namespace SpecSheetIcon

std::vector<win::IconResource> SpecSheetIcons();
