#include "win/afxmodule.h"

#include <atomic>

namespace {
std::atomic<bool> g_richEdit{false};
std::atomic<bool> g_ole{false};
} // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    if (state.bInitialized)
        return FALSE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL) {
    state.bInitialized = FALSE;
    state.hModule = nullptr;
    state.hResource = nullptr;
}

// The rich edit control of this platform is part of its dialog model and always present.
BOOL AfxInitRichEdit2() {
    g_richEdit = true;
    return TRUE;
}

BOOL AfxOleInitModule() {
    g_ole = true;
    return TRUE;
}

namespace win {
bool RichEdit2Ready() {
    return g_richEdit;
}
bool OleReady() {
    return g_ole;
}
} // namespace win
