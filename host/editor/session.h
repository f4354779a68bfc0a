// The state of a running host session that the editor services share: the command line, the
// input, the system variables, the command stack, the editor and its reactors, the loaded
// modules.  One session at a time (host/runtime/host.h starts it).
#pragma once

#include "arx/editor.h"
#include "editor/commandline.h"
#include "editor/commandstack.h"
#include "editor/input.h"
#include "editor/points.h"
#include "editor/sysvars.h"

#include <deque>
#include <string>
#include <vector>

namespace cadhost::editor {

class ModuleLoader;
class WindowServices;

class HostEditor final : public AcEditor {
public:
    void addReactor(AcRxEventReactor* reactor) override;
    void removeReactor(AcRxEventReactor* reactor) override;
    bool has(const AcRxEventReactor* reactor) const;

    // Calls f on every editor reactor still attached when its turn comes.
    template <class F> void notify(F&& f) {
        std::vector<AcRxEventReactor*> reactors = m_reactors;
        for (AcRxEventReactor* r : reactors)
            if (has(r))
                if (auto* er = AcEditorReactor::cast(r))
                    f(er);
    }

private:
    std::vector<AcRxEventReactor*> m_reactors;
};

struct Session {
    Session();
    ~Session();

    CommandLine cmdline;
    ScriptInput script;
    SystemVariables sysvars;
    CommandStack commands;
    HostEditor editor;
    ModuleLoader* loader = nullptr;
    bool quit = false;
    // How often a command, or a script line answering one, could not do what was asked: a
    // script run's exit status says whether there was any (see reportFailure).
    int failures = 0;
    // The rest of a command line after the command name, answered to the command's prompts
    // before anything else.
    std::deque<InputItem> pending;
    std::string lastCommand;

    // What the prompt now waiting asks for, so that a window can answer it with a click: a
    // point, or the opposite corner of a box from base (in the user coordinate system).
    struct PointRequest {
        bool active = false;
        bool corner = false;
        bool hasBase = false;
        Point3 base;
    };
    PointRequest pointRequest;
    // The "Command:" prompt waits for a command: no command runs.
    bool commandPrompt = false;
    // The window showing this session (cadhost --gui), or nullptr.
    WindowServices* window = nullptr;

    // The next input: what was sent to the current (then the active) document's command line,
    // then the script, then the terminal.
    InputItem read();
    // Shows a prompt as given (texts from modules begin with their own "\n"), reads the next
    // input and echoes it after the prompt.  End of input echoes as a cancel.
    InputItem ask(const std::string& promptText);
    // Prints the message of a failure (it begins with its own "\n") and counts it: a command
    // could not do what it was asked (a file that cannot be read or written, no drawing, a
    // module that does not load), or refused an answer or a dialog action given to it.
    void reportFailure(const std::string& message);
};

// The running session, or nullptr.
Session* TheSession();
void SetSession(Session* session);

} // namespace cadhost::editor
