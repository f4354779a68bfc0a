#include "win/userinput.h"

#include "window_store.h"

#include "win/gdi.h"

#include <cctype>

namespace win {

namespace {

// The window that receives mouse input at a screen point: the capture window, else the
// window under the point; a disabled control passes it to its parent, as Windows does.
HWND MouseTarget(POINT screen) {
    WindowStore& store = WindowStore::instance();
    if (store.capture)
        return store.capture;
    HWND h = WindowFromPoint(screen);
    while (h && !IsWindowEnabled(h) && (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
        h = GetParent(h);
    if (h && !IsWindowEnabled(h))
        return nullptr; // a disabled top-level window (the owner of a modal dialog)
    return h;
}

WPARAM KeyFlags() {
    WindowStore& store = WindowStore::instance();
    WPARAM flags = 0;
    if (store.leftButtonDown)
        flags |= MK_LBUTTON;
    if (store.rightButtonDown)
        flags |= MK_RBUTTON;
    if (store.shiftDown)
        flags |= 0x0004; // MK_SHIFT
    if (store.controlDown)
        flags |= 0x0008; // MK_CONTROL
    return flags;
}

void PostMouse(UINT message) {
    WindowStore& store = WindowStore::instance();
    HWND target = MouseTarget(store.cursor);
    if (!target)
        return;
    POINT client = store.cursor;
    ScreenToClient(target, &client);
    PostMessageA(target, message, KeyFlags(), PointToLParam(client));
}

} // namespace

void UserMovesMouse(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    ToolTipsFollowCursor();
    PostMouse(WM_MOUSEMOVE);
}

void UserMovesMouseTo(HWND window, POINT client) {
    POINT screen = client;
    ClientToScreen(window, &screen);
    UserMovesMouse(screen);
}

void UserPressesLeftButton(bool down) {
    WindowStore& store = WindowStore::instance();
    store.leftButtonDown = down;
    PostMouse(down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
}

void UserPressesLeftButtonAgain() {
    WindowStore::instance().leftButtonDown = true;
    PostMouse(WM_LBUTTONDBLCLK);
}

void UserClicks(bool twice) {
    UserPressesLeftButton(true);
    UserPressesLeftButton(false);
    if (twice) {
        UserPressesLeftButtonAgain();
        UserPressesLeftButton(false);
    }
}

void UserTurnsWheel(int delta) {
    WindowStore& store = WindowStore::instance();
    HWND target = MouseTarget(store.cursor);
    if (!target)
        return;
    // The key flags in the low word, the turn in the high word; the point in screen
    // coordinates, as the wheel's message carries it.
    WPARAM w =
        MAKEWPARAM(static_cast<WORD>(KeyFlags()), static_cast<WORD>(static_cast<short>(delta)));
    PostMessageA(target, WM_MOUSEWHEEL, w, PointToLParam(store.cursor));
}

namespace {

HWND KeyTarget() {
    WindowStore& store = WindowStore::instance();
    return store.focus ? store.focus : store.active;
}

// Keys go to the window that has the focus when the loop takes them, so that a key that moves
// the focus (Tab) sends the keys typed after it to the next field.
void PostToFocus(UINT message, WPARAM wParam, LPARAM lParam) {
    WindowStore& store = WindowStore::instance();
    store.queue.push_back(
        MSG{kKeyboardFocus, message, wParam, lParam, ++store.clock, store.cursor});
}

void PostKey(UINT vk, bool down) {
    PostToFocus(down ? WM_KEYDOWN : WM_KEYUP, vk, down ? 1 : static_cast<LPARAM>(0xC0000001u));
}

} // namespace

void UserPressesKey(UINT virtualKey, bool shift, bool control) {
    HWND target = KeyTarget();
    if (!target)
        return;
    // The shift and control keys go down and up around the key, as the keyboard sends them;
    // the loop takes the key state from the messages as it retrieves them.
    if (control)
        PostKey(VK_CONTROL, true);
    if (shift)
        PostKey(VK_SHIFT, true);
    PostKey(virtualKey, true);
    PostKey(virtualKey, false);
    if (shift)
        PostKey(VK_SHIFT, false);
    if (control)
        PostKey(VK_CONTROL, false);
}

void UserTypes(const std::string& text) {
    HWND target = KeyTarget();
    if (!target)
        return;
    for (unsigned char c : text) {
        if (std::isalpha(c)) {
            UserPressesKey(static_cast<UINT>(std::toupper(c)), std::isupper(c) != 0);
        } else if (std::isdigit(c) || c == ' ') {
            UserPressesKey(c);
        } else {
            // A character without a key of its own here (punctuation, bytes of letters
            // beyond ASCII) arrives as the character alone, as an input method sends it.
            PostToFocus(WM_CHAR, c, 1);
        }
    }
}

void UserTypesOver(HWND field, const std::string& text) {
    SetFocus(field);
    // Queued like the keys, so that a click into the field before it places the caret first
    // and the whole text is selected after it.
    PostMessageA(field, EM_SETSEL, 0, -1);
    if (text.empty())
        UserPressesKey(VK_DELETE);
    else
        UserTypes(text);
}

void UserClosesWindow(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

POINT ClientCentre(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT PointOutside(HWND dialog) {
    RECT r{};
    GetWindowRect(dialog, &r);
    // Left of the dialog when there is room, else below it.
    if (r.left > 0)
        return POINT{r.left - 1, r.top};
    return POINT{r.left, std::min<LONG>(r.bottom, kScreenHeight - 1)};
}

} // namespace win
