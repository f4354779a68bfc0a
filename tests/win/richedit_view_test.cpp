// The rich edit control as a user sees and works it: its document drawn with its formatting
// (fonts, sizes, bold, italic, underline, colours, indents, alignment), lines wrapped at its
// width, scrolling by the wheel, the keys and the scroll bar, the caret and the selection, and
// editing that keeps the formatting of the text it does not touch.
#include "win/controls.h"
#include "win/gdi.h"
#include "win/paint.h"
#include "win/richedit.h"
#include "win/userinput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Owner : public CWnd {
public:
    Owner() {
        CreateEx(0, "Window", "owner", WS_POPUP | WS_VISIBLE, RECT{50, 50, 650, 450}, nullptr, 0);
    }
};

DWORD ReadText(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* text = reinterpret_cast<std::string*>(cookie);
    LONG n = std::min<LONG>(wanted, static_cast<LONG>(text->size()));
    std::copy_n(text->begin(), n, buffer);
    text->erase(0, static_cast<std::size_t>(n));
    *given = n;
    return 0;
}

DWORD AppendText(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer),
                                                   static_cast<std::size_t>(count));
    *taken = count;
    return 0;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// What a picture shows of its text: the pixels that are not the window colour.
struct Ink {
    int count = 0;
    int left = -1, top = -1, right = -1, bottom = -1; // the box around them, edges included
    bool any() const { return count > 0; }
    int height() const { return any() ? bottom - top + 1 : 0; }
    int width() const { return any() ? right - left + 1 : 0; }
};

struct Picture {
    int cx = 0, cy = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(cx) +
                      static_cast<std::size_t>(x)];
    }
    // The ink within columns [x0, x1) and rows [y0, y1) (the whole picture by default).
    Ink InkOf(int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const {
        Ink ink;
        COLORREF background = GetSysColor(COLOR_WINDOW);
        for (int y = y0; y < (y1 < 0 ? cy : y1); ++y)
            for (int x = x0; x < (x1 < 0 ? cx : x1); ++x) {
                if (at(x, y) == background)
                    continue;
                ++ink.count;
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = ink.top < 0 ? y : std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        return ink;
    }
    int Count(bool (*wanted)(COLORREF)) const {
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), wanted));
    }
};

bool IsRed(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
}
bool IsHighlight(COLORREF c) {
    return c == GetSysColor(COLOR_HIGHLIGHT);
}

class RichEditView : public ::testing::Test {
protected:
    // A rich edit of 300 by 120 pixels without a border: its client area is all of it.
    void Make(DWORD style = ES_MULTILINE, RECT r = RECT{10, 10, 310, 130}) {
        if (edit.m_hWnd)
            edit.DestroyWindow();
        HWND h = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_CHILD | WS_VISIBLE | style, r.left,
                                 r.top, r.right - r.left, r.bottom - r.top, owner.m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(5)), nullptr,
                                 nullptr);
        ASSERT_TRUE(edit.SubclassWindow(h));
        edit.LimitText(200000);
    }
    void SetUp() override { Make(); }

    void Rtf(const std::string& body) {
        std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                           "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs20 " +
                           body + "}";
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&text), 0, ReadText};
        edit.StreamIn(static_cast<int>(SF_RTF), es);
    }
    std::string Out(WPARAM format) {
        std::string out;
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&out), 0, AppendText};
        edit.StreamOut(static_cast<int>(format), es);
        return out;
    }
    Picture Paint() {
        RedrawWindow(edit.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Picture p;
        win::ReadPixels(win::WindowSurface(edit.m_hWnd), p.cx, p.cy, p.pixels);
        return p;
    }
    // Keys and typing at the control, with the focus on it.
    void Press(UINT key, bool shift = false, bool control = false) {
        SetFocus(edit.m_hWnd);
        win::UserPressesKey(key, shift, control);
        Pump();
    }
    void Type(const std::string& text) {
        SetFocus(edit.m_hWnd);
        win::UserTypes(text);
        Pump();
    }
    std::pair<long, long> Selection() {
        DWORD from = 0, to = 0;
        SendMessageA(edit.m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        return {static_cast<long>(from), static_cast<long>(to)};
    }
    long FirstVisibleLine() {
        return static_cast<long>(SendMessageA(edit.m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    long LineCount() { return static_cast<long>(SendMessageA(edit.m_hWnd, EM_GETLINECOUNT, 0, 0)); }

    Owner owner;
    CRichEditCtrl edit;
};

// ---- Formatting ----

TEST_F(RichEditView, ColoursSizesBoldAndUnderlineShowAsTheDocumentSaysAndPlainTextAsBefore) {
    Rtf("plain {\\cf1 red}");
    EXPECT_GT(Paint().Count(IsRed), 10);
    Rtf("plain red");
    EXPECT_EQ(Paint().Count(IsRed), 0);

    Rtf("Hxg\\par");
    Ink small = Paint().InkOf();
    Rtf("\\fs40 Hxg\\par");
    Ink large = Paint().InkOf();
    EXPECT_GE(large.height(), small.height() * 3 / 2);
    EXPECT_GE(large.width(), small.width() * 3 / 2);

    Rtf("mmmmmm");
    Ink regular = Paint().InkOf();
    Rtf("\\b mmmmmm");
    Ink bold = Paint().InkOf();
    EXPECT_GT(bold.count, regular.count);
    EXPECT_GT(bold.width(), regular.width());

    Rtf("\\i WWWWWW");
    Picture italic = Paint();
    Rtf("WWWWWW");
    EXPECT_NE(italic.pixels, Paint().pixels);

    // An underline is a row of ink as wide as the word, below its letters.
    Rtf("\\ul nnnnnn");
    Ink underlined = Paint().InkOf();
    Rtf("nnnnnn");
    Ink bare = Paint().InkOf();
    EXPECT_GT(underlined.bottom, bare.bottom);
    Picture p = [&] {
        Rtf("\\ul nnnnnn");
        return Paint();
    }();
    EXPECT_GE(p.InkOf(0, underlined.bottom, -1, underlined.bottom + 1).width(), bare.width() - 2);
}

TEST_F(RichEditView, FontsOfTheDocumentAreItsFamilies) {
    Rtf("iiiiiiii");
    Ink arial = Paint().InkOf();
    Rtf("\\f1 iiiiiiii");
    Ink courier = Paint().InkOf();
    // Courier's letters are all as wide as its widest.
    EXPECT_GT(courier.width(), arial.width() * 3 / 2);
}

TEST_F(RichEditView, IndentsAndAlignmentPlaceTheLines) {
    Rtf("Text\\par");
    Ink flush = Paint().InkOf();
    // Half an inch is 48 pixels at 96 dots per inch.
    Rtf("\\li720 Text\\par");
    EXPECT_NEAR(Paint().InkOf().left - flush.left, 48, 1);
    // A hanging indent: the first line at the margin, the next ones at the indent.
    Rtf("\\fi-720\\li720 AAAA AAAA AAAA AAAA AAAA AAAA AAAA AAAA AAAA AAAA\\par");
    ASSERT_GT(LineCount(), 1);
    Picture hanging = Paint();
    EXPECT_NEAR(hanging.InkOf(0, 0, -1, 12).left, flush.left, 1);
    EXPECT_NEAR(hanging.InkOf(0, 16, -1, 30).left - flush.left, 48, 1);
    // Its indent is a tab stop: the text after the number starts where the lines below do.
    Rtf("\\fi-720\\li1440 1.\\tab Text\\par");
    Picture numbered = Paint();
    Ink number = numbered.InkOf(0, 0, 80);
    Ink text = numbered.InkOf(80);
    EXPECT_NEAR(number.left - flush.left, 48, 1);
    EXPECT_NEAR(text.left - flush.left, 96, 1);
    // A right indent keeps wrapped lines away from the right edge.
    Rtf("\\ri1440 AAAA AAAA AAAA AAAA AAAA AAAA AAAA AAAA AAAA AAAA\\par");
    EXPECT_LE(Paint().InkOf().right, 300 - 96);
    // Right and centred lines.
    Rtf("\\qr Text\\par");
    Ink right = Paint().InkOf();
    EXPECT_GE(right.right, 300 - 6);
    Rtf("\\qc Text\\par");
    Ink centred = Paint().InkOf();
    EXPECT_NEAR(centred.left + centred.right, 300, 6);
}

// ---- Lines and scrolling ----

TEST_F(RichEditView, LongParagraphsWrapAtTheControlsWidthUnlessWrappingIsOff) {
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "word ";
    Rtf(words);
    EXPECT_GT(LineCount(), 3);
    EXPECT_LT(Paint().InkOf().right, 300);
    edit.SetTargetDevice(nullptr, 1);
    EXPECT_EQ(LineCount(), 1);
    edit.SetTargetDevice(nullptr, 0);
    EXPECT_GT(LineCount(), 3);
}

TEST_F(RichEditView, ALongDocumentScrollsByWheelKeysAndMessagesWithAScrollBar) {
    Make(ES_MULTILINE | WS_VSCROLL);
    Rtf("one line\\par");
    Picture shortOne = Paint();
    std::string body;
    for (int i = 0; i < 60; ++i)
        body += "line " + std::to_string(i) + "\\par ";
    Rtf(body);
    Picture longOne = Paint();
    // The scroll bar takes the right edge only when the text is taller than the control.
    COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(shortOne.at(295, 60), window);
    EXPECT_NE(longOne.at(295, 60), window);

    EXPECT_EQ(FirstVisibleLine(), 0);
    win::UserMovesMouseTo(edit.m_hWnd, POINT{100, 60});
    win::UserTurnsWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(FirstVisibleLine(), 3);
    win::UserTurnsWheel(WHEEL_DELTA * 2);
    Pump();
    EXPECT_EQ(FirstVisibleLine(), 0);

    Press(VK_NEXT);
    long afterPage = FirstVisibleLine();
    EXPECT_GT(afterPage, 4);
    Press(VK_END, false, true);
    std::string all = Out(SF_TEXT);
    long breaks = 0;
    for (std::size_t at = all.find("\r\n"); at != std::string::npos; at = all.find("\r\n", at + 2))
        ++breaks;
    EXPECT_EQ(Selection().second, static_cast<long>(all.size()) - breaks);
    EXPECT_GT(FirstVisibleLine(), afterPage);
    Press(VK_HOME, false, true);
    EXPECT_EQ(FirstVisibleLine(), 0);
    EXPECT_EQ(Selection(), std::make_pair(0L, 0L));

    SendMessageA(edit.m_hWnd, EM_LINESCROLL, 0, 10);
    EXPECT_EQ(FirstVisibleLine(), 10);
    // The scroll bar's lower arrow scrolls a line, its track a page.
    win::UserMovesMouseTo(edit.m_hWnd, POINT{292, 115});
    win::UserClicks();
    Pump();
    EXPECT_EQ(FirstVisibleLine(), 11);
    win::UserMovesMouseTo(edit.m_hWnd, POINT{292, 100});
    win::UserClicks();
    Pump();
    EXPECT_GT(FirstVisibleLine(), 14);
}

TEST_F(RichEditView, UpAndDownKeepTheCaretsColumnAndScrollItIntoView) {
    Make(ES_MULTILINE | WS_VSCROLL);
    Rtf("\\f1 0123456789\\par 01\\par 0123456789\\par");
    SendMessageA(edit.m_hWnd, EM_SETSEL, 7, 7);
    Press(VK_DOWN);
    EXPECT_EQ(Selection().second, 13); // the end of the short line
    Press(VK_DOWN);
    EXPECT_EQ(Selection().second, 21); // column 7 again
    Press(VK_UP, true);
    EXPECT_EQ(Selection(), std::make_pair(13L, 21L));

    std::string body;
    for (int i = 0; i < 40; ++i)
        body += "line\\par ";
    Rtf(body);
    for (int i = 0; i < 30; ++i)
        Press(VK_DOWN);
    EXPECT_GT(FirstVisibleLine(), 20);
}

// ---- Caret, selection and editing ----

TEST_F(RichEditView, TheCaretShowsInAFocusedEditAndTheSelectionInHighlight) {
    Rtf("some words");
    SetFocus(owner.m_hWnd);
    Picture unfocused = Paint();
    SetFocus(edit.m_hWnd);
    SendMessageA(edit.m_hWnd, EM_SETSEL, 0, 0);
    Picture caret = Paint();
    // The caret: a column of ink at the text's left edge, as tall as the line.
    EXPECT_NE(caret.pixels, unfocused.pixels);
    EXPECT_EQ(caret.at(2, 5), RGB(0, 0, 0));
    EXPECT_EQ(caret.Count(IsHighlight), 0);
    SendMessageA(edit.m_hWnd, EM_SETSEL, 0, 4);
    EXPECT_GT(Paint().Count(IsHighlight), 40);
    SetFocus(owner.m_hWnd);
    EXPECT_EQ(Paint().Count(IsHighlight), 0);
    // A read-only edit shows no caret.
    Make(ES_MULTILINE | ES_READONLY);
    Rtf("some words");
    SetFocus(edit.m_hWnd);
    EXPECT_NE(Paint().at(2, 5), RGB(0, 0, 0));
}

TEST_F(RichEditView, ClicksPlaceTheCaretShiftClicksAndDoubleClicksSelect) {
    Rtf("\\f1 alpha beta gamma");
    win::UserMovesMouseTo(edit.m_hWnd, POINT{2, 6});
    win::UserClicks();
    Pump();
    EXPECT_EQ(Selection(), std::make_pair(0L, 0L));
    EXPECT_EQ(GetFocus(), edit.m_hWnd);
    // Courier at 10 points: 8 pixels a character.
    win::UserMovesMouseTo(edit.m_hWnd, POINT{2 + 8 * 8, 6});
    win::UserClicks();
    Pump();
    EXPECT_EQ(Selection(), std::make_pair(8L, 8L));
    // Shift held with a click stretches the selection from the caret.
    PostMessageA(edit.m_hWnd, WM_KEYDOWN, VK_SHIFT, 1);
    win::UserMovesMouseTo(edit.m_hWnd, POINT{2 + 8 * 14, 6});
    win::UserClicks();
    PostMessageA(edit.m_hWnd, WM_KEYUP, VK_SHIFT, static_cast<LPARAM>(0xC0000001u));
    Pump();
    EXPECT_EQ(Selection(), std::make_pair(8L, 14L));
    // A double click selects the word under the mouse.
    win::UserClicks(true);
    Pump();
    EXPECT_EQ(Selection(), std::make_pair(11L, 16L)); // "gamma"
}

TEST_F(RichEditView, TypingEditsInPlaceAndKeepsTheFormattingOfTheRest) {
    Rtf("{\\b Bold}{\\cf1 Red} plain\\par \\li720 second\\par");
    SendMessageA(edit.m_hWnd, EM_SETSEL, 2, 2);
    Type("LD");
    SendMessageA(edit.m_hWnd, EM_SETSEL, -1, 0);
    Press(VK_END, false, true);
    Type("!");
    EXPECT_EQ(Out(SF_TEXT), "BoLDldRed plain\r\nsecond!");
    // The typed letters took the bold of the word they went into; the red word, the plain
    // one and the indented paragraph are as they were.
    std::string rtf = Out(SF_RTF);
    EXPECT_NE(rtf.find("\\b BoLDld"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\li720"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("second!"), std::string::npos) << rtf;
    EXPECT_GT(Paint().Count(IsRed), 10);
}

TEST_F(RichEditView, EnterSplitsAParagraphAndBackspaceJoinsItAgain) {
    Rtf("\\li720 abcdef\\par");
    SendMessageA(edit.m_hWnd, EM_SETSEL, 3, 3);
    SendMessageA(edit.m_hWnd, WM_CHAR, '\r', 0);
    EXPECT_EQ(Out(SF_TEXT), "abc\r\ndef");
    // Both halves keep the paragraph's indent.
    Picture split = Paint();
    EXPECT_NEAR(split.InkOf(0, 0, -1, 14).left, split.InkOf(0, 14, -1, 30).left, 1);
    EXPECT_GT(split.InkOf(0, 14, -1, 30).left, 40);
    EXPECT_EQ(Selection(), std::make_pair(4L, 4L));
    SendMessageA(edit.m_hWnd, WM_CHAR, 0x08, 0);
    EXPECT_EQ(Out(SF_TEXT), "abcdef");
    // A typed line break at the very end gives an empty last paragraph to type in.
    SendMessageA(edit.m_hWnd, EM_SETSEL, 6, 6);
    SendMessageA(edit.m_hWnd, WM_CHAR, '\r', 0);
    SendMessageA(edit.m_hWnd, WM_CHAR, 'x', 0);
    EXPECT_EQ(Out(SF_TEXT), "abcdef\r\nx");
}

TEST_F(RichEditView, CharactersBeyondAsciiTypedByteByByteArriveWhole) {
    Rtf("ab");
    SendMessageA(edit.m_hWnd, EM_SETSEL, 1, 1);
    Type("\xC3\xA9");
    EXPECT_EQ(Out(SF_TEXT), "a\xC3\xA9"
                            "b");
    EXPECT_EQ(Selection(), std::make_pair(2L, 2L));
}

} // namespace
