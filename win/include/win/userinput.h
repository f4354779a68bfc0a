// What a user does, as front ends report it: the mouse moves, its left button goes down and
// up, keys are pressed, a window's close box is clicked.  Each posts the messages Windows
// would post (to the window under the cursor, or to the one that holds the capture; keys to
// the window with the focus) for the running modal loop to pre-translate and dispatch.
#pragma once

#include "win/geometry.h"
#include "win/types.h"

#include <string>

namespace win {

// The cursor moves to a point of the screen.
void UserMovesMouse(POINT screen);
// The cursor moves to a point of a window's client area.
void UserMovesMouseTo(HWND window, POINT client);
// The left button goes down or up where the cursor is.
void UserPressesLeftButton(bool down);
// The second press of a double click where the cursor is: the left button goes down again
// and the window hears a double click (WM_LBUTTONDBLCLK in place of WM_LBUTTONDOWN).
void UserPressesLeftButtonAgain();
// A whole click (down and up) where the cursor is; with double, the second click of a
// double click follows.
void UserClicks(bool twice = false);
// The mouse wheel turns by delta (WHEEL_DELTA a notch, positive away from the user) over the
// window under the cursor.
void UserTurnsWheel(int delta);
// A key goes down and up at the window with the focus.  Letters are given as their capital
// virtual key (shift says whether a capital is typed); shift and control are held down around
// the key when asked.
void UserPressesKey(UINT virtualKey, bool shift = false, bool control = false);
// Types text into the window with the focus, a key per character.
void UserTypes(const std::string& text);
// The focus goes to an edit field, its whole text is selected and the text typed over it;
// an empty text deletes what the field holds.
void UserTypesOver(HWND field, const std::string& text);
// The close box of a top-level window.
void UserClosesWindow(HWND window);
// The centre of a window's client area, in client coordinates.
POINT ClientCentre(HWND window);
// A screen point that lies on no window of the dialog (outside it, beside it).
POINT PointOutside(HWND dialog);

} // namespace win
