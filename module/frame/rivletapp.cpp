#include "frame/rivletapp.h"

#include "arx/dbservices.h"
#include "frame/commands.h"
#include "frame/resourcescript.h"
#include "roundtrip/editorreactor.h"
#include "specsheet/divisions.h"
#include "specsheet/preferences.h"
#include "storage/dictdatawrapper.h"

#include "win/afxmodule.h"
#include "win/msgbox.h"

std::string g_InstallFolder;

namespace {

const char* const kVersionText = "1.02";

// The framework's record of this module, kept from attach to detach.
AFX_EXTENSION_MODULE g_RivletModule;

} // namespace

CRivletApp::CRivletApp()
    : AcRxArxApp(nullptr, /*unlockable=*/true, /*mdiAware=*/true, g_RivletCommands,
                 g_RivletCommandCount) {}

CRivletApp::~CRivletApp() {
    delete m_pEditorReactor;
}

AcRx::AppRetCode CRivletApp::On_kInitAppMsg(void* pkt) {
    AcRx::AppRetCode result = AcRxArxApp::On_kInitAppMsg(pkt);
    acutPrintf("\nKestrune - VIZUDaro Version %s", kVersionText);
    m_pEditorReactor = new EditorReactor(true);
    KSRxDictDataWrapper::rxInit();
    acrxBuildClassHierarchy();
    ReadRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location", g_InstallFolder);
    acdbRegApp("KSRRivlet");
    {
        // Loads the preferences and writes every value back, so that after the first start the
        // preferences key holds them all.
        CMtextVars preferences;
    }
    return result;
}

AcRx::AppRetCode CRivletApp::On_kUnloadAppMsg(void* pkt) {
    // The class goes with the custom-class table, ahead of the commands.
    KSRxDictDataWrapper::rxUninit();
    AcRx::AppRetCode result = AcRxArxApp::On_kUnloadAppMsg(pkt);
    delete m_pEditorReactor;
    m_pEditorReactor = nullptr;
    return result;
}

// The module defines no Lisp functions for a drawing.
AcRx::AppRetCode CRivletApp::On_kLoadDwgMsg(void*) {
    return AcRx::kRetOK;
}
AcRx::AppRetCode CRivletApp::On_kUnloadDwgMsg(void* pkt) {
    return On_kLoadDwgMsg(pkt);
}

void CRivletApp::RegisterServerComponents() {}

namespace {
// The one application object, built when the module is loaded.
CRivletApp theApp;
} // namespace

CRivletApp& RivletApp() {
    return theApp;
}

AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return RivletApp().Dispatch(msg, pkt);
}

int DllMain(HINSTANCE__* hInstance, unsigned reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        AfxInitExtensionModule(g_RivletModule, hInstance);
        // The framework finds the module's dialogs and icons from now on.
        win::AddResourceScript(hInstance, &RivletResourceScript());
        InitAcUiDLL();
        // Rich edit controls for the dialogs, then automation for the Word bridge.
        if (!AfxInitRichEdit2())
            AfxMessageBox("Nope");
        AfxOleInitModule();
        CreateDivisionTable();
    } else if (reason == DLL_PROCESS_DETACH) {
        DestroyDivisionTable();
        win::RemoveResourceScript(&RivletResourceScript());
        AfxTermExtensionModule(g_RivletModule);
    }
    return TRUE;
}
