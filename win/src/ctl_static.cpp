// The static class: labels, frames and lines.  Static controls let the mouse through to what
// lies under them unless they ask for notifications.
#include "window_store.h"

#include "win/paint.h"

namespace win {

LRESULT StaticProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_NCHITTEST:
        return (GetWindowLongPtrA(h, GWL_STYLE) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONDOWN:
        if (GetWindowLongPtrA(h, GWL_STYLE) & SS_NOTIFY)
            NotifyParent(h, 0); // STN_CLICKED
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps))
            PaintStatic(h, dc);
        EndPaint(h, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace win
