#include "gui/dialogfrontend.h"

namespace cadhost::gui {

std::unique_ptr<win::FrontEnd> MakeDialogFrontEnd(editor::Session&, QWidget&) {
    return nullptr; // the host's scripted front end
}

} // namespace cadhost::gui
