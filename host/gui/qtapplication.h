// The process's Qt application object, made once when the first window needs it and kept to
// the end of the process.  The host stays single-threaded: every window lives on the thread
// that called this first, and the event loop runs inside the host's waits.
#pragma once

#include <string>

class QApplication;

namespace cadhost::gui {

// The application, made on first use (with the program's own arguments).
QApplication& TheApplication();

// Whether the platform Qt will use can show windows here: a display for X (DISPLAY) or
// Wayland (WAYLAND_DISPLAY); platforms without one (offscreen) always can.  Qt ends the
// process when its platform cannot start, so the host asks first; false with the reason.
bool CanShowWindows(std::string& why);

} // namespace cadhost::gui
