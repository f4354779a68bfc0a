// The command stack: commands by group, found by global or local name without regard to
// letter case.  The host's own commands are the group "ACAD_MAIN" and are found first.
#pragma once

#include "arx/editor.h"

#include <memory>
#include <string>
#include <vector>

namespace cadhost::editor {

class CommandStack final : public AcEdCommandStack {
public:
    static constexpr const char* kHostGroup = "ACAD_MAIN";

    CommandStack();
    ~CommandStack() override;

    Acad::ErrorStatus addCommand(const char* groupName, const char* globalName,
                                 const char* localName, int commandFlags, AcRxFunctionPtr function,
                                 AcEdUIContext* uiContext, int functionCode,
                                 HINSTANCE__* resourceHandle, AcEdCommand** commandOut) override;
    Acad::ErrorStatus removeCmd(const char* groupName, const char* globalName) override;
    Acad::ErrorStatus removeGroup(const char* groupName) override;
    AcEdCommand* lookupCmd(const char* name, bool globalFlag) override;
    AcEdCommand* lookupGlobalCmd(const char* name) override;
    AcEdCommand* lookupLocalCmd(const char* name) override;

    // What the user typed at "Command:": a leading "_" asks for the global name (tried as
    // typed, then without the underscore), else the local name, then the global name.
    AcEdCommand* resolveTyped(const std::string& typed);
    // Every command, groups in search order.
    std::vector<AcEdCommand*> all() const;

private:
    struct Command;
    struct Group;
    Group* findGroup(const std::string& name) const;
    std::vector<Group*> searchOrder() const;
    std::vector<std::unique_ptr<Group>> m_groups; // in order of creation
};

} // namespace cadhost::editor
