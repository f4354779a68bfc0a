// The application-object helpers a module builds on: AcRxDbxApp turns the host's messages
// into calls of one virtual handler per message code; AcRxArxApp adds the module's commands
// at start-up and removes them at unload.
//
// A module defines one static application object of a class derived from AcRxArxApp, and
// its exported acrxEntryPoint hands every message to that object's Dispatch.
#pragma once

#include "arx/editor.h"
#include "arx/rxobject.h"

#include <cstddef>

struct HINSTANCE__;

// The operating system's notices to a module (the host's loader calls the module's exported
// DllMain after opening it and before closing it).
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1

// One command of a module's command table.
struct AcRxCommandEntry {
    const char* groupName;
    const char* globalName;
    const char* localName;
    int commandFlags;
    AcRxFunctionPtr function;
    AcEdUIContext* uiContext;
};

// One custom class of a module's class table: its registration and removal.
struct AcRxClassEntry {
    void (*rxInit)();
    void (*rxTerm)();
};

// One Lisp function of a module's function table.
struct AcRxLispEntry {
    const char* name;
    int (*function)();
};

class AcRxDbxApp {
public:
    AcRxDbxApp(HINSTANCE__* resourceInstance, bool unlockable, bool mdiAware,
               const AcRxClassEntry* classes = nullptr, std::size_t classCount = 0)
        : m_hResourceInstance(resourceInstance), m_bUnlockable(unlockable), m_bMDIAware(mdiAware),
          m_classes(classes), m_classCount(classCount) {}
    virtual ~AcRxDbxApp() = default;

    // One handler per message code, in code order.
    virtual AcRx::AppRetCode On_kInitAppMsg(void* pkt) {
        if (AcRxDynamicLinker* linker = acrxDynamicLinker) {
            if (m_bUnlockable)
                linker->unlockApplication(pkt);
            if (m_bMDIAware)
                linker->registerAppMDIAware(pkt);
        }
        RegisterServerComponents();
        for (std::size_t i = 0; i < m_classCount; ++i)
            if (m_classes[i].rxInit)
                m_classes[i].rxInit();
        if (m_classCount)
            acrxBuildClassHierarchy();
        return AcRx::kRetOK;
    }
    virtual AcRx::AppRetCode On_kUnloadAppMsg(void*) {
        for (std::size_t i = 0; i < m_classCount; ++i)
            if (m_classes[i].rxTerm)
                m_classes[i].rxTerm();
        return AcRx::kRetOK;
    }
    virtual AcRx::AppRetCode On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInvkSubrMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kCfgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kQuitMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kSaveMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kDependencyMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNoDependencyMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kOleUnloadAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kPreQuitMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInitDialogMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndDialogMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kSuspendMsg(void*) { return AcRx::kRetOK; }
    // Registers the module's server components (none unless overridden).
    virtual void RegisterServerComponents() {}

    // Calls the handler whose code equals the message; codes outside 0 to 15 answer kRetOK.
    AcRx::AppRetCode Dispatch(int msg, void* pkt) {
        switch (msg) {
        case AcRx::kInitAppMsg:
            return On_kInitAppMsg(pkt);
        case AcRx::kUnloadAppMsg:
            return On_kUnloadAppMsg(pkt);
        case AcRx::kLoadDwgMsg:
            return On_kLoadDwgMsg(pkt);
        case AcRx::kUnloadDwgMsg:
            return On_kUnloadDwgMsg(pkt);
        case AcRx::kInvkSubrMsg:
            return On_kInvkSubrMsg(pkt);
        case AcRx::kCfgMsg:
            return On_kCfgMsg(pkt);
        case AcRx::kEndMsg:
            return On_kEndMsg(pkt);
        case AcRx::kQuitMsg:
            return On_kQuitMsg(pkt);
        case AcRx::kSaveMsg:
            return On_kSaveMsg(pkt);
        case AcRx::kDependencyMsg:
            return On_kDependencyMsg(pkt);
        case AcRx::kNoDependencyMsg:
            return On_kNoDependencyMsg(pkt);
        case AcRx::kOleUnloadAppMsg:
            return On_kOleUnloadAppMsg(pkt);
        case AcRx::kPreQuitMsg:
            return On_kPreQuitMsg(pkt);
        case AcRx::kInitDialogMsg:
            return On_kInitDialogMsg(pkt);
        case AcRx::kEndDialogMsg:
            return On_kEndDialogMsg(pkt);
        case AcRx::kSuspendMsg:
            return On_kSuspendMsg(pkt);
        default:
            return AcRx::kRetOK;
        }
    }

    HINSTANCE__* resourceInstance() const { return m_hResourceInstance; }
    void setResourceInstance(HINSTANCE__* instance) { m_hResourceInstance = instance; }

protected:
    HINSTANCE__* m_hResourceInstance;
    bool m_bUnlockable;
    bool m_bMDIAware;
    const AcRxClassEntry* m_classes;
    std::size_t m_classCount;
};

class AcRxArxApp : public AcRxDbxApp {
public:
    AcRxArxApp(HINSTANCE__* resourceInstance, bool unlockable, bool mdiAware,
               const AcRxCommandEntry* commands, std::size_t commandCount,
               const AcRxClassEntry* classes = nullptr, std::size_t classCount = 0,
               const AcRxLispEntry* lispFunctions = nullptr, std::size_t lispCount = 0)
        : AcRxDbxApp(resourceInstance, unlockable, mdiAware, classes, classCount),
          m_commands(commands), m_commandCount(commandCount), m_lisp(lispFunctions),
          m_lispCount(lispCount) {}

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override {
        AcRx::AppRetCode result = AcRxDbxApp::On_kInitAppMsg(pkt);
        if (AcEdCommandStack* stack = acedRegCmds) {
            for (std::size_t i = 0; i < m_commandCount; ++i) {
                const AcRxCommandEntry& c = m_commands[i];
                stack->addCommand(c.groupName, c.globalName, c.localName, c.commandFlags,
                                  c.function, c.uiContext, -1, m_hResourceInstance);
            }
        }
        return result;
    }
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override {
        AcRx::AppRetCode result = AcRxDbxApp::On_kUnloadAppMsg(pkt);
        if (AcEdCommandStack* stack = acedRegCmds)
            for (std::size_t i = 0; i < m_commandCount; ++i)
                stack->removeCmd(m_commands[i].groupName, m_commands[i].globalName);
        return result;
    }
    // The module defines its Lisp functions for each drawing; none when the table is empty.
    AcRx::AppRetCode On_kLoadDwgMsg(void*) override { return AcRx::kRetOK; }
    AcRx::AppRetCode On_kUnloadDwgMsg(void*) override { return AcRx::kRetOK; }
    AcRx::AppRetCode On_kInvkSubrMsg(void*) override { return AcRx::kRetOK; }

protected:
    const AcRxCommandEntry* m_commands;
    std::size_t m_commandCount;
    const AcRxLispEntry* m_lisp;
    std::size_t m_lispCount;
};

// The exported entry of a module: the host calls it with every message.
#define ARX_EXPORT extern "C" __attribute__((visibility("default")))
