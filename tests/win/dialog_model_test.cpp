// Dialogs of the window model as a user drives them: the modal run, the dialog keys, message
// maps, data exchange with its checks, focus, capture and pre-translation.
#include "test_front_end.h"

#include "win/controls.h"
#include "win/dialog.h"
#include "win/resource.h"
#include "win/userinput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kDialogId = 900;
constexpr int kName = 10, kList = 11, kGo = 12, kValue = 13, kNoStop = 14;

const win::ResourceScript& Script() {
    static const win::ResourceScript script{
        {{kDialogId,
          "Test dialog",
          0,
          0,
          200,
          120,
          DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU,
          "MS Sans Serif",
          8,
          {
              {WC_EDITA, kName, "", 10, 10, 80, 12, WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0},
              {WC_EDITA, kValue, "", 10, 26, 80, 12, WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0},
              {WC_STATICA, kNoStop, "label", 100, 10, 40, 8, WS_VISIBLE, 0},
              {WC_LISTBOXA, kList, "", 10, 42, 80, 50,
               WS_VISIBLE | WS_BORDER | WS_TABSTOP | LBS_NOTIFY, 0},
              {WC_BUTTONA, kGo, "Go", 100, 42, 40, 14, WS_VISIBLE | WS_TABSTOP, 0},
              {WC_BUTTONA, IDOK, "OK", 100, 80, 40, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
               0},
              {WC_BUTTONA, IDCANCEL, "Cancel", 150, 80, 40, 14, WS_VISIBLE | WS_TABSTOP, 0},
          }}},
        {},
        {}};
    return script;
}

class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(kDialogId, parent) {}

    std::string name = "start";
    double value = 1.5;
    int goClicks = 0, selections = 0, doubleClicks = 0, cancels = 0;
    std::vector<WPARAM> keysSeen; // key-downs aimed at the name field, before it saw them
    std::vector<std::string> nameWhenKeySeen;
    CListBox list;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kList, list);
        DDX_Text(pDX, kName, name);
        DDX_Text(pDX, kValue, value);
        DDV_MinMaxDouble(pDX, value, 0.001, 25.0);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.AddString("alpha");
        list.AddString("beta");
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == ::GetDlgItem(m_hWnd, kName)) {
            keysSeen.push_back(pMsg->wParam);
            std::string text;
            GetDlgItem(kName)->GetWindowText(text);
            nameWhenKeySeen.push_back(text);
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
    void OnGo() { ++goClicks; }
    void OnSelect() { ++selections; }
    void OnDouble() { ++doubleClicks; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_BN_CLICKED(kGo, OnGo)
ON_LBN_SELCHANGE(kList, OnSelect)
ON_LBN_DBLCLK(kList, OnDouble)
END_MESSAGE_MAP()

class DialogModel : public ::testing::Test {
protected:
    void SetUp() override { win::AddResourceScript(nullptr, &Script()); }
    void TearDown() override { win::RemoveResourceScript(&Script()); }

    // The user's steps, one per turn of the dialog's loop.
    void Then(std::function<void(HWND)> step) { ui.steps.push_back(std::move(step)); }
    static void ClickControl(HWND dialog, int id) {
        HWND control = GetDlgItem(dialog, id);
        win::UserMovesMouseTo(control, win::ClientCentre(control));
        win::UserClicks();
    }
    static void TypeInto(HWND dialog, int id, const std::string& text) {
        win::UserTypesOver(GetDlgItem(dialog, id), text);
    }

    TestFrontEnd ui;
};

TEST_F(DialogModel, AClickRunsTheHandlerAndOkSavesWhatWasTyped) {
    TestDialog dialog;
    Then([](HWND d) { ClickControl(d, kGo); });
    Then([](HWND d) { TypeInto(d, kName, "Roof 2"); });
    Then([](HWND d) { ClickControl(d, IDOK); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.goClicks, 1);
    EXPECT_EQ(dialog.name, "Roof 2");
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.list.m_hWnd, nullptr); // the bound control let go of its window
    ASSERT_EQ(ui.opened.size(), 1u);
    EXPECT_FALSE(IsWindow(ui.opened[0]));
}

TEST_F(DialogModel, AValueOutOfRangeIsRefusedAndTheDialogStaysAtTheField) {
    TestDialog dialog;
    Then([](HWND d) { TypeInto(d, kValue, "30"); });
    Then([](HWND d) { ClickControl(d, IDOK); });
    int focusAfterRefusal = 0;
    DWORD selectionAfterRefusal = 0;
    Then([&](HWND d) {
        focusAfterRefusal = GetDlgCtrlID(GetFocus());
        selectionAfterRefusal = static_cast<DWORD>(SendMessageA(GetFocus(), EM_GETSEL, 0, 0));
        EXPECT_TRUE(IsWindowVisible(d));
        TypeInto(d, kValue, "abc");
    });
    Then([](HWND d) { ClickControl(d, IDOK); });
    Then([](HWND d) { TypeInto(d, kValue, " 2.5 "); });
    Then([](HWND d) { ClickControl(d, IDOK); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Please enter a number between 0.001 and 25.");
    EXPECT_EQ(ui.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(ui.boxes[1].text, "Please enter a number.");
    EXPECT_EQ(focusAfterRefusal, kValue);
    EXPECT_EQ(LOWORD(selectionAfterRefusal), 0);
    EXPECT_EQ(HIWORD(selectionAfterRefusal), 2); // "30" selected
    EXPECT_DOUBLE_EQ(dialog.value, 2.5);
}

TEST_F(DialogModel, NotANumberOfAnyKindPassesTheCheck) {
    for (const char* typed : {"nan", "inf", "1e999", "2x", ""}) {
        TestDialog dialog;
        Then([typed](HWND d) { TypeInto(d, kValue, typed); });
        Then([](HWND d) { ClickControl(d, IDOK); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << typed; // refused, then nobody answers
        EXPECT_DOUBLE_EQ(dialog.value, 1.5) << typed;
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().text, "Please enter a number.") << typed;
    }
}

TEST_F(DialogModel, DialogKeysAndTheCloseBox) {
    {
        TestDialog dialog; // Enter in a field presses the default button
        Then([](HWND d) { TypeInto(d, kName, "x"); });
        Then([](HWND d) {
            SetFocus(GetDlgItem(d, kName));
            win::UserPressesKey(VK_RETURN);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.name, "x");
    }
    {
        TestDialog dialog; // Enter on a focused push button presses that button
        Then([](HWND d) {
            SetFocus(GetDlgItem(d, kGo));
            win::UserPressesKey(VK_RETURN);
        });
        Then([](HWND d) { win::UserPressesKey(VK_ESCAPE); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.goClicks, 1);
        EXPECT_EQ(dialog.cancels, 1);
    }
    {
        TestDialog dialog;
        Then([](HWND d) { win::UserClosesWindow(d); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.cancels, 1);
    }
    {
        TestDialog dialog; // nobody answers: closed as Escape closes it
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.cancels, 1);
    }
}

TEST_F(DialogModel, TabFollowsTheTabStopsAndSelectsAFieldsText) {
    TestDialog dialog;
    std::vector<int> visited;
    DWORD valueSelection = 0;
    Then([&](HWND) {
        visited.push_back(GetDlgCtrlID(GetFocus()));
        win::UserPressesKey(VK_TAB);
    });
    Then([&](HWND) {
        visited.push_back(GetDlgCtrlID(GetFocus()));
        valueSelection = static_cast<DWORD>(SendMessageA(GetFocus(), EM_GETSEL, 0, 0));
        for (int i = 0; i < 5; ++i) // round the other stops, back to the name field
            win::UserPressesKey(VK_TAB);
    });
    Then([&](HWND) {
        visited.push_back(GetDlgCtrlID(GetFocus()));
        win::UserPressesKey(VK_TAB, true); // back from the first stop to the last
    });
    Then([&](HWND) {
        visited.push_back(GetDlgCtrlID(GetFocus()));
        win::UserPressesKey(VK_ESCAPE);
    });
    dialog.DoModal();
    // The label is no tab stop; the value field comes with its text ("1.5") selected.
    EXPECT_EQ(visited, (std::vector<int>{kName, kValue, kName, IDCANCEL}));
    EXPECT_EQ(LOWORD(valueSelection), 0);
    EXPECT_EQ(HIWORD(valueSelection), 3);
}

TEST_F(DialogModel, ListClicksNotifyAndDisabledButtonsTakeNoClick) {
    TestDialog dialog;
    Then([](HWND d) {
        HWND list = GetDlgItem(d, kList);
        RECT item;
        SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
        win::UserMovesMouseTo(list, POINT{item.left + 2, item.top + 2});
        win::UserClicks();
        win::UserClicks(true);
    });
    Then([](HWND d) {
        EnableWindow(GetDlgItem(d, kGo), FALSE);
        ClickControl(d, kGo);
    });
    Then([](HWND d) { ClickControl(d, IDCANCEL); });
    dialog.DoModal();
    EXPECT_EQ(dialog.list.m_hWnd, nullptr);
    EXPECT_EQ(dialog.selections, 2); // each click on an item notifies, the same one too
    EXPECT_EQ(dialog.doubleClicks, 1);
    EXPECT_EQ(dialog.goClicks, 0);
}

TEST_F(DialogModel, TheDialogSeesAFieldsKeysBeforeTheField) {
    TestDialog dialog;
    Then([](HWND d) { TypeInto(d, kName, "ab"); });
    Then([](HWND d) { ClickControl(d, IDCANCEL); });
    dialog.DoModal();
    EXPECT_EQ(dialog.keysSeen, (std::vector<WPARAM>{'A', 'B'}));
    // The text before each key was applied: the field still held its old text, then "a".
    EXPECT_EQ(dialog.nameWhenKeySeen, (std::vector<std::string>{"start", "a"}));
}

TEST_F(DialogModel, AnInnerDialogDisablesItsOwnerWhileItRuns) {
    TestDialog outer;
    bool ownerDisabledInside = false;
    bool ownerEnabledAfter = false;
    Then([&](HWND d) {
        TestDialog inner(CWnd::FromHandle(d));
        ui.steps.push_front([&, d](HWND innerDialog) {
            ownerDisabledInside = !IsWindowEnabled(d) && GetParent(innerDialog) == d;
            ClickControl(innerDialog, IDOK);
        });
        EXPECT_EQ(inner.DoModal(), IDOK);
        ownerEnabledAfter = IsWindowEnabled(d) != FALSE;
    });
    Then([](HWND d) { ClickControl(d, IDCANCEL); });
    outer.DoModal();
    EXPECT_TRUE(ownerDisabledInside);
    EXPECT_TRUE(ownerEnabledAfter);
}

TEST_F(DialogModel, AMissingTemplateIsAFailedRun) {
    CDialog dialog(12345);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(ui.opened.empty());
}

TEST(WindowModel, CaptureFocusAndHandles) {
    HWND top = CreateWindowExA(0, "Window", "top", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200,
                               nullptr, nullptr, nullptr, nullptr);
    HWND a = CreateWindowExA(0, WC_BUTTONA, "a", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, top,
                             reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND b = CreateWindowExA(0, WC_EDITA, "b", WS_CHILD | WS_VISIBLE, 10, 40, 50, 20, top,
                             reinterpret_cast<HMENU>(2), nullptr, nullptr);
    ASSERT_TRUE(top && a && b);

    // A window that holds the capture gets the mouse wherever it is.
    SetCapture(a);
    win::UserMovesMouse(POINT{5, 5});
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_LT(GET_X_LPARAM(msg.lParam), 0); // left of the button
    SetCapture(b);
    EXPECT_EQ(GetCapture(), b);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);

    // Without the capture the mouse goes to the window under it.
    win::UserMovesMouseTo(b, POINT{3, 3});
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);

    SetFocus(b);
    EXPECT_EQ(GetFocus(), b);
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(GetFocus(), nullptr);
    HWND again = CreateWindowExA(0, "Window", "again", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_NE(again, top); // handles are never handed out twice
    EXPECT_NE(again, a);
    DestroyWindow(again);
}

} // namespace
