// What a window front end relies on in the window model: the wheel, the second press of a
// double click, keys held with control, and the picture of a window with its children as a
// screen shows it.
#include "win/controls.h"
#include "win/gdi.h"
#include "win/paint.h"
#include "win/userinput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A window that keeps the notifications and wheel turns that reach it.
class Recorder : public CWnd {
public:
    Recorder() {
        CreateEx(0, "Window", "recorder", WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300}, nullptr,
                 0);
    }
    std::vector<std::pair<int, int>> notices; // control id, code
    std::vector<int> wheel;                   // the turns
    std::vector<bool> controlHeld;            // GetKeyState(VK_CONTROL) at each key

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        notices.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MOUSEWHEEL)
            wheel.push_back(static_cast<short>(HIWORD(wParam)));
        if (message == WM_KEYDOWN && wParam == VK_HOME)
            controlHeld.push_back(GetKeyState(VK_CONTROL) < 0);
        if (message == WM_USER && lParam)
            ::SetFocus(reinterpret_cast<HWND>(lParam)); // a key that moves the focus

        return CWnd::WindowProc(message, wParam, lParam);
    }
};

HWND Child(HWND parent, const char* cls, int id, DWORD style, RECT r) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                           nullptr);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(WindowInput, TheWheelScrollsAListThreeItemsANotchAsFarAsItsLastItems) {
    Recorder parent;
    HWND list = Child(parent.m_hWnd, WC_LISTBOXA, 7, LBS_NOTIFY, RECT{10, 10, 110, 75});
    for (int i = 0; i < 12; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    int visible = 65 / static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    win::UserMovesMouseTo(list, POINT{20, 20});
    win::UserTurnsWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 3);
    win::UserTurnsWheel(-4 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 12 - visible);
    win::UserTurnsWheel(10 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_TRUE(parent.wheel.empty()); // the list took every turn
}

TEST(WindowInput, AWheelTurnOverAControlThatDoesNotScrollGoesToItsParent) {
    Recorder parent;
    HWND label = Child(parent.m_hWnd, WC_BUTTONA, 8, BS_PUSHBUTTON, RECT{10, 10, 110, 40});
    win::UserMovesMouseTo(label, POINT{5, 5});
    win::UserTurnsWheel(WHEEL_DELTA);
    Pump();
    EXPECT_EQ(parent.wheel, std::vector<int>{WHEEL_DELTA});
}

TEST(WindowInput, TheSecondPressOfADoubleClickIsADoubleClick) {
    Recorder parent;
    HWND list = Child(parent.m_hWnd, WC_LISTBOXA, 9, LBS_NOTIFY, RECT{10, 10, 110, 110});
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second"));
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    win::UserMovesMouseTo(list, POINT{20, (item.top + item.bottom) / 2});
    win::UserPressesLeftButton(true);
    win::UserPressesLeftButton(false);
    win::UserPressesLeftButtonAgain();
    win::UserPressesLeftButton(false);
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    ASSERT_FALSE(parent.notices.empty());
    EXPECT_EQ(parent.notices.back(), std::make_pair(9, static_cast<int>(LBN_DBLCLK)));
}

TEST(WindowInput, ControlIsHeldOnlyAroundTheKeyItWasPressedWith) {
    Recorder window;
    SetFocus(window.m_hWnd);
    win::UserPressesKey(VK_HOME, false, true);
    win::UserPressesKey(VK_HOME);
    Pump();
    EXPECT_EQ(window.controlHeld, (std::vector<bool>{true, false}));
    EXPECT_FALSE(GetKeyState(VK_CONTROL) < 0);
}

TEST(WindowInput, KeysGoToTheWindowThatHasTheFocusWhenTheyAreTaken) {
    Recorder parent;
    HWND first = Child(parent.m_hWnd, WC_EDITA, 12, WS_BORDER, RECT{10, 10, 110, 30});
    HWND second = Child(parent.m_hWnd, WC_EDITA, 13, WS_BORDER, RECT{10, 40, 110, 60});
    SetFocus(first);
    // Typed before the focus moves on and after it, all before the loop takes any of it.
    win::UserTypes("ab");
    PostMessageA(parent.m_hWnd, WM_USER, 0, reinterpret_cast<LPARAM>(second));
    win::UserTypes("c!");
    Pump();
    char text[16] = "";
    GetWindowTextA(first, text, sizeof text);
    EXPECT_STREQ(text, "ab");
    GetWindowTextA(second, text, sizeof text);
    EXPECT_STREQ(text, "c!");
    // Keys whose focus has gone by the time they are taken go nowhere.
    win::UserTypes("x");
    SetFocus(nullptr);
    SetActiveWindow(nullptr);
    ASSERT_EQ(GetFocus(), nullptr);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    Pump();
    GetWindowTextA(second, text, sizeof text);
    EXPECT_STREQ(text, "c!");
}

TEST(WindowInput, AWindowsPictureHasItsVisibleChildrenOverItsOwnSurface) {
    Recorder parent;
    HWND edit = Child(parent.m_hWnd, WC_EDITA, 10, WS_BORDER, RECT{20, 30, 120, 52});
    SetWindowTextA(edit, "words");
    HWND hidden = Child(parent.m_hWnd, WC_EDITA, 11, WS_BORDER, RECT{20, 80, 120, 102});
    ShowWindow(hidden, SW_HIDE);
    HBITMAP picture = win::ComposeWindowPicture(parent.m_hWnd);
    ASSERT_NE(picture, nullptr);
    int cx = 0, cy = 0;
    std::vector<COLORREF> pixels;
    ASSERT_TRUE(win::ReadPixels(picture, cx, cy, pixels));
    DeleteObject(picture);
    EXPECT_EQ(cx, 300);
    EXPECT_EQ(cy, 200);
    // The edit was painted for the picture: its pixels are in it at its place.
    std::vector<COLORREF> own;
    int ecx = 0, ecy = 0;
    ASSERT_TRUE(win::ReadPixels(win::WindowSurface(edit), ecx, ecy, own));
    ASSERT_EQ(ecx, 100);
    for (int y = 0; y < ecy; ++y)
        for (int x = 0; x < ecx; ++x)
            ASSERT_EQ(pixels[static_cast<std::size_t>((30 + y) * cx + 20 + x)],
                      own[static_cast<std::size_t>(y * ecx + x)]);
    // Where the hidden one lies, the parent's own face shows.
    EXPECT_EQ(pixels[static_cast<std::size_t>(90 * cx + 60)], GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(win::ComposeWindowPicture(reinterpret_cast<HWND>(0x12345)), nullptr);
}

} // namespace
