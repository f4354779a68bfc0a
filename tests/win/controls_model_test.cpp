// The standard controls' own behaviour: the list box's items and selection, the edit's limit
// and notices, the tooltip's tools, and the rich edit's streams and text limit.
#include "test_front_end.h"

#include "win/controls.h"
#include "win/richedit.h"
#include "win/userinput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A parent that counts the notifications its children send it.
class Parent : public CWnd {
public:
    Parent() {
        CreateEx(0, "Window", "parent", WS_POPUP | WS_VISIBLE, RECT{100, 100, 500, 400}, nullptr,
                 0);
    }
    std::vector<std::pair<int, int>> notices; // control id, code

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        notices.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
};

HWND Child(Parent& parent, const char* cls, int id, DWORD style, RECT r = RECT{10, 10, 110, 110}) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent.m_hWnd,
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

TEST(ListBoxModel, TheSelectionFollowsItsItem) {
    Parent parent;
    CListBox list;
    ASSERT_TRUE(list.SubclassWindow(Child(parent, WC_LISTBOXA, 5, LBS_NOTIFY)));
    for (const char* item : {"a", "b", "c"})
        list.AddString(item);
    list.SetCurSel(1);
    list.InsertString(0, "first"); // before the selection: it moves down with its item
    EXPECT_EQ(list.GetCurSel(), 2);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCurSel(), 1);
    list.DeleteString(1); // the selected item itself: nothing is selected
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.SetCurSel(7), LB_ERR);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.FindStringExact(-1, "C"), 1); // letter case does not count
    std::string text = "unchanged";
    list.GetText(9, text);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(parent.notices.empty()); // changes by program send no notices

    // The arrow keys move the selection and notify.
    list.SetFocus();
    list.SetCurSel(0);
    win::UserPressesKey(VK_DOWN);
    win::UserPressesKey(VK_DOWN);
    Pump();
    EXPECT_EQ(list.GetCurSel(), 1);
    ASSERT_EQ(parent.notices.size(), 2u);
    EXPECT_EQ(parent.notices[0], std::make_pair(5, static_cast<int>(LBN_SETFOCUS)));
    EXPECT_EQ(parent.notices[1], std::make_pair(5, static_cast<int>(LBN_SELCHANGE)));
}

TEST(EditModel, TypingStopsAtTheLimitAndEveryChangeIsNoticed) {
    Parent parent;
    CEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(Child(parent, WC_EDITA, 6, WS_BORDER)));
    edit.SetLimitText(3);
    edit.SetFocus();
    win::UserTypes("abcd");
    Pump();
    std::string text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "abc");
    int changes = 0, full = 0;
    for (auto [id, code] : parent.notices) {
        changes += code == static_cast<int>(EN_CHANGE);
        full += code == static_cast<int>(EN_MAXTEXT);
    }
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(full, 1);
    win::UserPressesKey(VK_BACK);
    win::UserPressesKey(VK_HOME);
    win::UserPressesKey(VK_DELETE);
    Pump();
    edit.GetWindowText(text);
    EXPECT_EQ(text, "b");
}

TEST(ToolTipModel, ATipShowsWhileTheMouseRestsOnItsTool) {
    Parent parent;
    HWND button = Child(parent, WC_BUTTONA, 7, 0, RECT{10, 10, 60, 30});
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&parent));
    ASSERT_TRUE(tip.AddTool(CWnd::FromHandle(button), "Press me"));
    EXPECT_FALSE(tip.AddTool(CWnd::FromHandle(button), "twice")); // one tool per window
    EXPECT_EQ(tip.GetToolCount(), 1);

    auto relayMove = [&](HWND target, POINT client) {
        win::UserMovesMouseTo(target, client);
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        tip.RelayEvent(&msg);
    };
    relayMove(button, POINT{5, 5});
    std::string shown;
    tip.GetWindowText(shown);
    EXPECT_TRUE(tip.IsWindowVisible());
    EXPECT_EQ(shown, "Press me");
    relayMove(parent.m_hWnd, POINT{300, 250}); // off the tool
    EXPECT_FALSE(tip.IsWindowVisible());

    tip.Activate(FALSE);
    relayMove(button, POINT{5, 5});
    EXPECT_FALSE(tip.IsWindowVisible());
    tip.Activate(TRUE);
    relayMove(button, POINT{6, 6});
    EXPECT_TRUE(tip.IsWindowVisible());
    MSG down{button, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, POINT{}};
    tip.RelayEvent(&down); // a click pops the tip
    EXPECT_FALSE(tip.IsWindowVisible());
    Pump();
}

// Streams a string into the control in pieces of a few bytes, as a slow source would.
struct Source {
    std::string text;
    std::size_t at = 0;
    std::size_t piece = 7;
    int calls = 0;
    DWORD failAt = 0; // the call that reports an error, 0 for none
};

DWORD ReadSource(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* s = reinterpret_cast<Source*>(cookie);
    if (++s->calls == static_cast<int>(s->failAt))
        return 5;
    std::size_t n = std::min({s->piece, s->text.size() - s->at, static_cast<std::size_t>(wanted)});
    std::copy_n(s->text.data() + s->at, n, buffer);
    s->at += n;
    *given = static_cast<LONG>(n);
    return 0;
}

DWORD AppendTo(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), count);
    *taken = count;
    return 0;
}

class RichEditModel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(edit.SubclassWindow(Child(parent, RICHEDIT_CLASSA, 8, ES_MULTILINE)));
    }
    long In(const std::string& text, WPARAM format, Source* source = nullptr) {
        Source local{text};
        Source& s = source ? *source : local;
        s.text = text;
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&s), 0, ReadSource};
        long n = edit.StreamIn(static_cast<int>(format), es);
        lastError = es.dwError;
        return n;
    }
    std::string Out(WPARAM format) {
        std::string out;
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&out), 0, AppendTo};
        edit.StreamOut(static_cast<int>(format), es);
        return out;
    }

    Parent parent;
    CRichEditCtrl edit;
    DWORD lastError = 0;
};

TEST_F(RichEditModel, RichTextInFormattedOutAndBack) {
    In("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Bold\\b0  plain\\par second}", SF_RTF);
    EXPECT_EQ(Out(SF_TEXT), "Bold plain\r\nsecond");
    std::string rtf = Out(SF_RTF);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("\\b"), std::string::npos);
    // What went out as Rich Text comes back the same.
    In(rtf, SF_RTF);
    EXPECT_EQ(Out(SF_RTF), rtf);
    // Rich Text asked for but plain text given is taken as text; plain text is never read as
    // Rich Text.
    In("just words", SF_RTF);
    EXPECT_EQ(Out(SF_TEXT), "just words");
    In("{\\rtf1 \\b x}", SF_TEXT);
    EXPECT_EQ(Out(SF_TEXT), "{\\rtf1 \\b x}");
}

TEST_F(RichEditModel, TheTextLimitCutsLongDocumentsUntilItIsRaised) {
    std::string line(99, 'x');
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += line + "\n"; // 400 lines of 100 characters with their breaks: 40,000
    EXPECT_EQ(edit.GetLimitText(), kRichEditDefaultLimit);
    EXPECT_EQ(In(text, SF_TEXT), kRichEditDefaultLimit);
    edit.LimitText(100000);
    EXPECT_EQ(In(text, SF_TEXT), 40000 - 1);                // no break after the last line
    EXPECT_EQ(Out(SF_TEXT).size(), 400u * 99u + 399u * 2u); // CR LF between lines
}

TEST_F(RichEditModel, ASourceThatFailsStopsTheStream) {
    Source source;
    source.failAt = 3;
    long n = In("0123456789abcdefghij", SF_TEXT, &source);
    EXPECT_EQ(lastError, 5u);
    EXPECT_EQ(n, 14); // the two pieces read before
    EXPECT_EQ(Out(SF_TEXT), "0123456789abcd");
}

TEST_F(RichEditModel, ChangesAreNoticedOnlyWhenAskedFor) {
    In("a", SF_TEXT);
    EXPECT_TRUE(parent.notices.empty());
    edit.SetEventMask(ENM_CHANGE);
    In("b", SF_TEXT);
    ASSERT_EQ(parent.notices.size(), 1u);
    EXPECT_EQ(parent.notices[0], std::make_pair(8, static_cast<int>(EN_CHANGE)));
}

} // namespace
