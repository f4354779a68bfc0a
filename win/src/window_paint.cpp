// Painting: the paint cycle of windows (frame, background, client) on their surfaces.
#include "window_store.h"

#include "win/paint.h"

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    win::Window* w = win::FindWindowRecord(hWnd);
    if (!w || !lpPaint)
        return nullptr;
    *lpPaint = PAINTSTRUCT{};
    if (w->frameNeedsPaint)
        SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    if ((w = win::FindWindowRecord(hWnd)) == nullptr)
        return nullptr;
    w->frameNeedsPaint = false;
    w->needsPaint = false;
    GetClientRect(hWnd, &lpPaint->rcPaint);
    HDC dc = GetDC(hWnd);
    lpPaint->hdc = dc;
    lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint && lpPaint->hdc)
        ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

HDC GetDC(HWND) {
    return nullptr;
}

HDC GetWindowDC(HWND) {
    return nullptr;
}

int ReleaseDC(HWND, HDC) {
    return 1;
}

namespace win {

HFONT DialogFont(const std::string&, int) {
    return nullptr;
}

HBITMAP WindowSurface(HWND) {
    return nullptr;
}

bool SaveWindowPicture(HWND, const std::string&, std::string* error) {
    if (error)
        *error = "no drawing layer";
    return false;
}

void PaintStandardButton(HWND, HDC, UINT) {}
void PaintStatic(HWND, HDC) {}
void PaintEdit(HWND, HDC) {}
void PaintListBox(HWND, HDC) {}
void PaintRichEdit(HWND, HDC) {}
void PaintToolTip(HWND, HDC) {}
void PaintDialogBackground(HWND, HDC) {}

} // namespace win
