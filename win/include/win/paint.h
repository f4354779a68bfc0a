// Painting windows: every window has a surface of its size that its painting draws into, and
// that front ends show and scripts save as pictures.
#pragma once

#include "win/geometry.h"
#include "win/types.h"

#include <string>

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// Starts painting the client area: sends WM_NCPAINT when the frame needs painting and
// WM_ERASEBKGND, validates the window and returns a DC on its client area.
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
// A DC on the client area / on the whole window (frame included).
HDC GetDC(HWND hWnd);
HDC GetWindowDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);

namespace win {

// The window's surface (its whole rectangle), made or resized as needed; nullptr for a
// handle that is not a window.
HBITMAP WindowSurface(HWND hWnd);
// Paints the window now (frame and client, and its children) and writes its surface as a
// PNG file.
bool SaveWindowPicture(HWND hWnd, const std::string& unixPath, std::string* error);
// The window as a screen shows it now: its surface with the surfaces of its visible children
// over it, each painted first where it needs painting (as the message loop paints).  A new
// bitmap of the window's size that the caller deletes; nullptr for a handle that is not a
// window.
HBITMAP ComposeWindowPicture(HWND hWnd);

} // namespace win
