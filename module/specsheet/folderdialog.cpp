#include "specsheet/folderdialog.h"

#include "win/paths.h"

#include <algorithm>

namespace {

// The dialog window's own procedure while a chooser runs, and the chooser's text: one chooser
// at a time.
WNDPROC g_pfnPreviousFolderProc = nullptr;
std::string* g_pChosenFolder = nullptr;

// Select answers the folder the dialog shows, which the dialog keeps as the process's current
// folder; every other message goes on to the dialog.
LRESULT FolderProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) == IDOK) {
        char folder[MAX_PATH + 1] = "";
        GetCurrentDirectoryA(MAX_PATH, folder);
        if (g_pChosenFolder)
            *g_pChosenFolder = folder;
        EndDialog(hWnd, IDOK);
        return 0;
    }
    return CallWindowProcA(g_pfnPreviousFolderProc, hWnd, message, wParam, lParam);
}

} // namespace

CFolderDialog::CFolderDialog(std::string* pFolder, CWnd* pParent)
    : CFileDialog(TRUE, nullptr, "*..*", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, pParent),
      m_pFolder(pFolder) {}

BOOL CFolderDialog::OnInitDialog() {
    CFileDialog::OnInitDialog();
    CWnd* frame = GetParent();
    if (!frame)
        return TRUE;
    // The name and type fields go; what lay below them moves up into their place.
    const int hidden[] = {edt1, stc3, cmb1, stc2};
    LONG gapTop = 0x7FFFFFFF, gapBottom = 0;
    for (int id : hidden) {
        if (CWnd* control = frame->GetDlgItem(id)) {
            RECT r;
            control->GetWindowRect(&r);
            gapTop = std::min(gapTop, r.top);
            gapBottom = std::max(gapBottom, r.bottom);
        }
        HideControl(id);
    }
    LONG gap = gapBottom > gapTop ? gapBottom - gapTop : 0;
    for (HWND child : win::ChildWindows(frame->m_hWnd)) {
        if (!::IsWindowVisible(child))
            continue;
        RECT r;
        ::GetWindowRect(child, &r);
        if (r.top < gapBottom)
            continue; // above the gap, or beside it

        POINT topLeft{r.left, r.top - gap};
        ::ScreenToClient(frame->m_hWnd, &topLeft);
        ::MoveWindow(child, topLeft.x, topLeft.y, r.right - r.left, r.bottom - r.top, TRUE);
    }
    SetControlText(IDOK, "Select");
    frame->SetWindowText("Choose folder");
    g_pChosenFolder = m_pFolder;
    g_pfnPreviousFolderProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(frame->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FolderProc)));
    return TRUE;
}
