// Start-up and shut-down of the dialog framework inside a module (an extension module of the
// framework) and of the framework's optional parts that dialogs and automation need.
#pragma once

#include "win/types.h"

// The framework's record of one extension module.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

// Records the module with the framework.  FALSE when it was initialised already.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Ends the framework's record of the module.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);
// Makes the rich edit 2.0 control available to dialogs.  TRUE when it is.
BOOL AfxInitRichEdit2();
// Prepares the framework's automation (OLE) support for a module.  TRUE when it is ready.
BOOL AfxOleInitModule();

namespace win {
// Whether AfxInitRichEdit2 / AfxOleInitModule have run successfully in this process.
bool RichEdit2Ready();
bool OleReady();
} // namespace win
