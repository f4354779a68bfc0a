// The application object of the module: the host's messages become calls of its handlers;
// start-up registers the commands, prints the banner, attaches the editor reactor, reads the
// installation folder and writes the preferences once; unload undoes it.
#pragma once

#include "arx/arxapp.h"

#include <string>

class EditorReactor;

// The installation folder, ending with a backslash (empty when the registry has none).
extern std::string g_InstallFolder;

class CRivletApp : public AcRxArxApp {
public:
    CRivletApp();
    ~CRivletApp() override;

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kLoadDwgMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadDwgMsg(void* pkt) override;
    void RegisterServerComponents() override;

    EditorReactor* editorReactor() const { return m_pEditorReactor; }

private:
    EditorReactor* m_pEditorReactor = nullptr;
};

// The one application object.
CRivletApp& RivletApp();

// The exported entry through which the host talks to the module.
ARX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt);
// The operating system's notice that the module is loaded into or removed from the process.
ARX_EXPORT int DllMain(HINSTANCE__* hInstance, unsigned reason, void* reserved);
