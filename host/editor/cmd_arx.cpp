// ARX: loading and unloading modules from the command line.
#include "editor/hostcommands.h"
#include "editor/moduleloader.h"
#include "editor/session.h"

#include <cctype>

namespace cadhost::editor {

namespace {

void CmdArx() {
    Session& s = *TheSession();
    InputItem option = s.ask("\nEnter an option [?/Load/Unload]: ");
    if (option.kind != InputItem::Text || option.text.empty())
        return;
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(option.text[0])));
    std::string error;
    if (option.text == "?") {
        for (const std::string& name : s.loader->loadedNames())
            s.cmdline.print("\n  " + name);
        return;
    }
    if (c == 'L') {
        InputItem file = s.ask("\nModule file to load: ");
        if (file.kind != InputItem::Text || file.text.empty())
            return;
        if (!s.loader->load(file.text, error))
            s.reportFailure("\n" + error + ".");
        return;
    }
    if (c == 'U') {
        InputItem file = s.ask("\nModule to unload: ");
        if (file.kind != InputItem::Text || file.text.empty())
            return;
        if (s.loader->unload(file.text, error))
            s.cmdline.print("\n" + file.text + " unloaded.");
        else
            s.reportFailure("\n" + error + ".");
        return;
    }
    s.reportFailure("\nInvalid option keyword.");
}

} // namespace

void RegisterModuleCommands(CommandStack& stack) {
    AddHostCommand(stack, "ARX", CmdArx);
}

} // namespace cadhost::editor
