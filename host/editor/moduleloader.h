// The module loader ("DynamicLinker"): opens module files, talks to them through their
// exported entry, and closes them again when they allow it.
#pragma once

#include "arx/rxobject.h"

#include <memory>
#include <string>
#include <vector>

namespace cadhost::editor {

class ModuleLoader final : public AcRxDynamicLinker {
public:
    ModuleLoader();
    ~ModuleLoader() override;

    bool unlockApplication(void* appId) const override;
    bool lockApplication(void* appId) const override;
    bool isApplicationLocked(const char* moduleName) const override;
    bool registerAppMDIAware(void* appId) const override;
    bool registerAppNotMDIAware(void* appId) const override;
    bool loadModule(const char* fileName, bool printIt, bool asCommand) override;
    bool unloadModule(const char* fileName, bool asCommand) override;

    // ---- host side ----
    // Loads a module; on failure error says why in one line.
    bool load(const std::string& fileName, std::string& error);
    // Unloads a module found by file name or path; refuses a locked module unless forced.
    // A module whose classes still have objects in a drawing is refused too: the objects'
    // code would go with it.
    bool unload(const std::string& fileName, std::string& error, bool force = false);
    // Unloads every module at the end of a session.  Their files stay mapped until
    // closeUnloadedFiles, so that the drawings, closed in between, can still destroy objects
    // of the modules' classes.
    void unloadAll();
    void closeUnloadedFiles();
    // Sends a message to every loaded module, in load order.
    void broadcast(int message, void* packet);
    std::vector<std::string> loadedNames() const;

private:
    struct Module;
    Module* find(const std::string& nameOrPath) const;
    Module* fromAppId(void* appId) const;
    bool finishUnload(Module* m, std::string& error, bool force);
    std::vector<std::unique_ptr<Module>> m_modules;
    std::vector<void*> m_closeLater;
    bool m_deferClose = false;
};

} // namespace cadhost::editor
