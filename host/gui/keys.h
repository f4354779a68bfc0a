// The keys of the keyboard as the platform's window model names them.
#pragma once

#include "win/types.h"

#include <optional>

namespace cadhost::gui {

// The virtual key of a Qt key that is no character of text (Tab, Enter, Escape, the arrows,
// Home, End, Page Up and Down, Delete, Backspace, F1), or nullopt.  Shift+Tab arrives from Qt
// as a key of its own and is Tab here.
std::optional<UINT> VirtualKeyOf(int qtKey);

} // namespace cadhost::gui
