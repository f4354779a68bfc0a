// The process's Qt application object, made once when the first window needs it and kept to
// the end of the process.  The host stays single-threaded: every window lives on the thread
// that called this first, and the event loop runs inside the host's waits.
#pragma once

class QApplication;

namespace cadhost::gui {

// The application, made on first use (with the program's own arguments).
QApplication& TheApplication();

} // namespace cadhost::gui
