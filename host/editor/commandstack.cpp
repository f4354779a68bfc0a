#include "editor/commandstack.h"

#include <strings.h>

#include <algorithm>

ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommand, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdUIContext, AcRxObject)

namespace cadhost::editor {

namespace {
bool SameName(const std::string& a, const char* b) {
    return b && strcasecmp(a.c_str(), b) == 0;
}
} // namespace

struct CommandStack::Command final : public AcEdCommand {
    std::string group, global, local;
    int flags = 0;
    AcRxFunctionPtr function = nullptr;
    AcEdUIContext* ui = nullptr;
    int code = -1;
    HINSTANCE__* resource = nullptr;

    const char* groupName() const override { return group.c_str(); }
    const char* globalName() const override { return global.c_str(); }
    const char* localName() const override { return local.c_str(); }
    int commandFlags() const override { return flags; }
    AcRxFunctionPtr functionAddr() const override { return function; }
    AcEdUIContext* UIContext() const override { return ui; }
    int functionCode() const override { return code; }
    HINSTANCE__* resourceHandle() const override { return resource; }
};

struct CommandStack::Group {
    std::string name;
    std::vector<std::unique_ptr<Command>> commands;
};

CommandStack::CommandStack() = default;
CommandStack::~CommandStack() = default;

CommandStack::Group* CommandStack::findGroup(const std::string& name) const {
    for (const auto& g : m_groups)
        if (SameName(g->name, name.c_str()))
            return g.get();
    return nullptr;
}

std::vector<CommandStack::Group*> CommandStack::searchOrder() const {
    // The host's own commands first, then the groups added last before those added earlier.
    std::vector<Group*> order;
    if (Group* host = findGroup(kHostGroup))
        order.push_back(host);
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it)
        if (!SameName((*it)->name, kHostGroup))
            order.push_back(it->get());
    return order;
}

Acad::ErrorStatus CommandStack::addCommand(const char* groupName, const char* globalName,
                                           const char* localName, int commandFlags,
                                           AcRxFunctionPtr function, AcEdUIContext* uiContext,
                                           int functionCode, HINSTANCE__* resourceHandle,
                                           AcEdCommand** commandOut) {
    if (!groupName || !*groupName || !globalName || !*globalName || !function)
        return Acad::eInvalidInput;
    if (!localName || !*localName)
        localName = globalName;
    Group* group = findGroup(groupName);
    if (!group) {
        m_groups.push_back(std::make_unique<Group>());
        group = m_groups.back().get();
        group->name = groupName;
    }
    for (const auto& c : group->commands)
        if (SameName(c->global, globalName) || SameName(c->local, localName))
            return Acad::eDuplicateKey;
    auto cmd = std::make_unique<Command>();
    cmd->group = group->name;
    cmd->global = globalName;
    cmd->local = localName;
    cmd->flags = commandFlags;
    cmd->function = function;
    cmd->ui = uiContext;
    cmd->code = functionCode;
    cmd->resource = resourceHandle;
    if (commandOut)
        *commandOut = cmd.get();
    group->commands.push_back(std::move(cmd));
    return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeCmd(const char* groupName, const char* globalName) {
    Group* group = groupName ? findGroup(groupName) : nullptr;
    if (!group || !globalName)
        return Acad::eKeyNotFound;
    auto& cmds = group->commands;
    auto it = std::find_if(cmds.begin(), cmds.end(),
                           [&](const auto& c) { return SameName(c->global, globalName); });
    if (it == cmds.end())
        return Acad::eKeyNotFound;
    cmds.erase(it);
    if (cmds.empty())
        m_groups.erase(std::find_if(m_groups.begin(), m_groups.end(),
                                    [&](const auto& g) { return g.get() == group; }));
    return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeGroup(const char* groupName) {
    auto it = std::find_if(m_groups.begin(), m_groups.end(), [&](const auto& g) {
        return groupName && SameName(g->name, groupName);
    });
    if (it == m_groups.end())
        return Acad::eKeyNotFound;
    m_groups.erase(it);
    return Acad::eOk;
}

AcEdCommand* CommandStack::lookupCmd(const char* name, bool globalFlag) {
    if (!name || !*name)
        return nullptr;
    for (Group* g : searchOrder())
        for (const auto& c : g->commands)
            if (SameName(globalFlag ? c->global : c->local, name))
                return c.get();
    return nullptr;
}

AcEdCommand* CommandStack::lookupGlobalCmd(const char* name) {
    return lookupCmd(name, true);
}
AcEdCommand* CommandStack::lookupLocalCmd(const char* name) {
    return lookupCmd(name, false);
}

AcEdCommand* CommandStack::resolveTyped(const std::string& typed) {
    if (typed.empty())
        return nullptr;
    if (typed[0] == '_') {
        if (AcEdCommand* c = lookupGlobalCmd(typed.c_str()))
            return c;
        return lookupGlobalCmd(typed.c_str() + 1);
    }
    if (AcEdCommand* c = lookupLocalCmd(typed.c_str()))
        return c;
    return lookupGlobalCmd(typed.c_str());
}

std::vector<AcEdCommand*> CommandStack::all() const {
    std::vector<AcEdCommand*> out;
    for (Group* g : searchOrder())
        for (const auto& c : g->commands)
            out.push_back(c.get());
    return out;
}

} // namespace cadhost::editor
