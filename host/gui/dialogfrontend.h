// The one place where the window picks the front end of the platform's dialogs, message boxes
// and file dialogs (win/frontend.h) while it runs.  A window front end shows the module's
// dialogs as real windows over the main window; without one (nullptr), the host's scripted
// front end stays: dialogs are played by the script's lines or answered at the window's
// command line, as at a terminal.
#pragma once

#include "win/frontend.h"

#include <memory>

class QWidget;

namespace cadhost::editor {
struct Session;
} // namespace cadhost::editor

namespace cadhost::gui {

std::unique_ptr<win::FrontEnd> MakeDialogFrontEnd(editor::Session& session, QWidget& mainWindow);

} // namespace cadhost::gui
