// A small module for the loader's tests: it reports every message it gets on the command line
// and, built as probe_locked.arx, never allows itself to be unloaded.
#include "arx/arxapp.h"
#include "arx/docman.h"

namespace {

void CmdProbe() {
    acutPrintf("\nprobe: command");
}

const AcRxCommandEntry kCommands[] = {
    {"PROBE", "_PROBE", "PROBE", ACRX_CMD_MODAL, CmdProbe, nullptr},
};

class ProbeApp : public AcRxArxApp {
public:
    ProbeApp() : AcRxArxApp(nullptr, PROBE_UNLOCKABLE, true, kCommands, 1) {}
    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override {
        AcRx::AppRetCode result = AcRxArxApp::On_kInitAppMsg(pkt);
        acutPrintf("\nprobe: init");
        return result;
    }
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override {
        acutPrintf("\nprobe: unload");
        return AcRxArxApp::On_kUnloadAppMsg(pkt);
    }
    AcRx::AppRetCode On_kLoadDwgMsg(void* pkt) override {
        acutPrintf("\nprobe: drawing %s", static_cast<AcApDocument*>(pkt)->fileName());
        return AcRx::kRetOK;
    }
    AcRx::AppRetCode On_kUnloadDwgMsg(void* pkt) override {
        acutPrintf("\nprobe: closing %s", static_cast<AcApDocument*>(pkt)->fileName());
        return AcRx::kRetOK;
    }
};

ProbeApp theApp;

} // namespace

ARX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return theApp.Dispatch(msg, pkt);
}

ARX_EXPORT int DllMain(HINSTANCE__*, unsigned reason, void*) {
    acutPrintf(reason == DLL_PROCESS_ATTACH ? "\nprobe: attach" : "\nprobe: detach");
    return 1;
}
