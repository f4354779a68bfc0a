// The sheet dialog as a drafter uses it: its icon buttons as they paint, its tooltips,
// the host's keep-focus question, the preview document, and the folder chooser.
#include "specsheet_test_host.h"

#include "frame/commands.h"
#include "specsheet/folderdialog.h"
#include "specsheet/newspecsheet.h"
#include "specsheet/options.h"
#include "specsheet/resource.h"

#include "text/rtfconvert.h"

#include "arx/editor.h"
#include "win/paths.h"

#include <algorithm>
#include <filesystem>

namespace {

bool IsRed(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) < 90 && GetBValue(c) < 90;
}
bool IsBluish(COLORREF c) {
    return GetBValue(c) > 100 && GetRValue(c) < 100;
}

// The colours of the outermost ring of pixels of a control.
std::vector<COLORREF> Ring(const std::vector<COLORREF>& px, int cx, int cy) {
    std::vector<COLORREF> ring;
    for (int x = 0; x < cx; ++x) {
        ring.push_back(px[static_cast<std::size_t>(x)]);
        ring.push_back(px[static_cast<std::size_t>((cy - 1) * cx + x)]);
    }
    for (int y = 0; y < cy; ++y) {
        ring.push_back(px[static_cast<std::size_t>(y * cx)]);
        ring.push_back(px[static_cast<std::size_t>(y * cx + cx - 1)]);
    }
    return ring;
}

TEST_F(SpecSheetTest, TheFlatRemoveButtonShowsItsBorderAndHotIconOnlyUnderTheMouse) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Look {
        bool border = false; // anything but the face colour on the outermost ring
        bool red = false;
        COLORREF topLeft = 0, bottomRight = 0;
    };
    std::vector<Look> looks;
    auto look = [&](HWND dialog) {
        int cx = 0, cy = 0;
        std::vector<COLORREF> px = Pixels(Control(dialog, IDC_REMOVE), cx, cy);
        ASSERT_GT(cx * cy, 0);
        Look l;
        std::vector<COLORREF> ring = Ring(px, cx, cy);
        l.border = std::any_of(ring.begin(), ring.end(), [&](COLORREF c) { return c != face; });
        l.red = std::any_of(px.begin(), px.end(), IsRed);
        l.topLeft = px[0];
        l.bottomRight = px.back();
        looks.push_back(l);
    };
    Then([&](HWND d) {
        look(d);
        HWND remove = Control(d, IDC_REMOVE);
        win::UserMovesMouseTo(remove, win::ClientCentre(remove));
    });
    Then([&](HWND d) {
        look(d);
        win::UserMovesMouse(win::PointOutside(d));
    });
    Then([&](HWND d) {
        look(d);
        win::UserPressesKey(VK_ESCAPE);
    });
    CmdSheetSpec();
    ASSERT_EQ(looks.size(), 3u);
    EXPECT_FALSE(looks[0].border);
    EXPECT_FALSE(looks[0].red); // icon 109
    EXPECT_TRUE(looks[1].border);
    EXPECT_TRUE(looks[1].red);                                    // icon 110
    EXPECT_EQ(looks[1].topLeft, GetSysColor(COLOR_BTNHIGHLIGHT)); // raised
    EXPECT_EQ(looks[1].bottomRight, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_FALSE(looks[2].border);
    EXPECT_FALSE(looks[2].red);
}

TEST_F(SpecSheetTest, ADisabledIconButtonIsDrawnGreyed) {
    bool blueWhenEnabled = false, blueWhenDisabled = true, onlyGreysWhenDisabled = false;
    Then([&](HWND d) {
        HWND up = Control(d, IDC_UP);
        int cx = 0, cy = 0;
        std::vector<COLORREF> px = Pixels(up, cx, cy);
        blueWhenEnabled = std::any_of(px.begin(), px.end(), IsBluish);
        EnableWindow(up, FALSE);
        px = Pixels(up, cx, cy);
        blueWhenDisabled = std::any_of(px.begin(), px.end(), IsBluish);
        // The face, the two emboss colours and the border's light and dark greys.
        onlyGreysWhenDisabled = std::all_of(px.begin(), px.end(), [](COLORREF c) {
            return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
        });
        win::UserPressesKey(VK_ESCAPE);
    });
    CmdSheetSpec();
    EXPECT_TRUE(blueWhenEnabled);
    EXPECT_FALSE(blueWhenDisabled);
    EXPECT_TRUE(onlyGreysWhenDisabled);
}

// The tooltip window that shows now, and its text ("" when none shows).
std::string ShownTip() {
    for (HWND top : win::TopLevelWindows()) {
        win::WindowInfo info;
        if (win::GetWindowInfo(top, info) && info.className == TOOLTIPS_CLASSA && info.visible)
            return info.text;
    }
    return "";
}

TEST_F(SpecSheetTest, TooltipsComeWithTheFirstFramePaintAndKeepTheirFirstText) {
    std::vector<std::string> tips;
    NewSpecSheet dialog;
    Then([&](HWND d) {
        // The banner has no tip text: resting on it shows nothing.
        win::UserMovesMouseTo(Control(d, IDC_BANNER), POINT{5, 5});
    });
    Then([&](HWND d) {
        tips.push_back(ShownTip());
        // The folder field's tooltip exists since its first paint; a text changed afterwards is
        // not what it shows.
        dialog.m_FolderField.m_TipText = "changed";
        RedrawWindow(Control(d, IDC_RTF_FOLDER), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        win::UserMovesMouseTo(Control(d, IDC_RTF_FOLDER), POINT{4, 4});
    });
    Then([&](HWND d) {
        tips.push_back(ShownTip());
        win::UserMovesMouseTo(Control(d, IDC_SHEET_LIST), POINT{6, 6});
    });
    Then([&](HWND) {
        tips.push_back(ShownTip());
        win::UserPressesKey(VK_ESCAPE);
    });
    dialog.DoModal();
    ASSERT_EQ(tips.size(), 3u);
    EXPECT_EQ(tips[0], "");
    EXPECT_EQ(tips[1], "Either key in a path  to the rtf files (and hit return) or click the "
                       "button and browse to it.");
    EXPECT_EQ(tips[2], "This is the list which will be placed into MTEXT");
}

TEST_F(SpecSheetTest, ALateTipTextAppearsAfterTheNextFramePaint) {
    CEditTips field;
    std::vector<bool> made;
    COptions options(nullptr);
    Then([&](HWND d) {
        ASSERT_TRUE(field.SubclassDlgItem(IDC_OPT_SPACER, CWnd::FromHandle(d)));
        RedrawWindow(field.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        made.push_back(field.m_pToolTip != nullptr); // no text: no tooltip
        field.m_TipText = "late";
        RedrawWindow(field.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        made.push_back(field.m_pToolTip != nullptr); // the client alone: still none
        RedrawWindow(field.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        made.push_back(field.m_pToolTip != nullptr);
        win::UserPressesKey(VK_ESCAPE);
    });
    options.DoModal();
    EXPECT_EQ(made, (std::vector<bool>{false, false, true}));
}

TEST_F(SpecSheetTest, TheDialogKeepsTheFocusWhileTheMouseIsOverIt) {
    std::vector<LRESULT> answers;
    Then([&](HWND d) {
        win::UserMovesMouseTo(d, POINT{10, 10});
        answers.push_back(SendMessageA(d, WM_ACAD_KEEPFOCUS, 0, 0));
        win::UserMovesMouse(win::PointOutside(d));
        answers.push_back(SendMessageA(d, WM_ACAD_KEEPFOCUS, 0, 0));
        win::UserPressesKey(VK_ESCAPE);
    });
    CmdSheetSpec();
    EXPECT_EQ(answers, (std::vector<LRESULT>{TRUE, FALSE}));
}

TEST_F(SpecSheetTest, ThePreviewIsOneRichTextDocumentOfTheWholeList) {
    std::string spec = folders.DriveC() + "/Roof.rtf";
    WriteBytes(spec, "  {\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Roof membrane.\\par}\r\n");
    SetPreference("GENERATE", "DIVISION 7 - THERMAL & MOISTURE PROTECTION;C:\\Roof.rtf;"
                              "C:\\Gone\\{Old}.rtf;");
    NewSpecSheet dialog;
    std::string preview;
    Then([&](HWND) {
        preview = dialog.BuildPreviewDocument();
        win::UserPressesKey(VK_ESCAPE);
    });
    dialog.DoModal();
    EXPECT_EQ(preview.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(preview.back(), '}');
    // Inner documents lose their own "{\rtf1" and closing brace: the preview is one group.
    EXPECT_EQ(preview.find("{\\rtf1", 1), std::string::npos);
    int depth = 0, closedAt = -1;
    for (std::size_t i = 0; i < preview.size(); ++i) {
        if (preview[i] == '\\') {
            ++i;
            continue;
        }
        depth += preview[i] == '{' ? 1 : preview[i] == '}' ? -1 : 0;
        if (depth == 0 && closedAt < 0)
            closedAt = static_cast<int>(i);
    }
    EXPECT_EQ(closedAt, static_cast<int>(preview.size()) - 1);
    std::string text = cadhost::text::RtfToPlainText(preview);
    EXPECT_NE(text.find("DIVISION 7 - THERMAL & MOISTURE PROTECTION"), std::string::npos);
    EXPECT_NE(text.find("Roof membrane."), std::string::npos);
    EXPECT_NE(text.find("C:\\Gone\\{Old}.rtf"), std::string::npos) << preview << "\n" << text;
}

TEST_F(SpecSheetTest, TheFolderChooserAnswersTheFolderItShows) {
    namespace fs = std::filesystem;
    fs::create_directories(folders.DriveC() + "/Specs/Roofing");
    std::string folder = "unchanged";
    win::FileDialogRequest asked;
    {
        TestFrontEnd chooser;
        chooser.fileDialogs = [&](const win::FileDialogRequest& request) {
            asked = request;
            return std::optional<std::string>("C:\\Specs");
        };
        CFolderDialog dialog(&folder);
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    EXPECT_EQ(folder, "C:\\Specs");
    EXPECT_EQ(asked.title, "Choose folder");
    EXPECT_EQ(asked.okText, "Select");
    EXPECT_TRUE(asked.foldersOnly);
    // The dialog put back the folder the process had.
    EXPECT_NE(win::ToWindowsPath(fs::current_path().string()), "C:\\Specs");

    {
        // A subfolder merely selected (its name in the name field, not opened) is not what
        // Select answers: the folder shown is, the current folder when the dialog opens.
        fs::path saved = fs::current_path();
        fs::current_path(folders.DriveC() + "/Specs");
        TestFrontEnd chooser;
        chooser.fileDialogs = [&](const win::FileDialogRequest& request) {
            SetDlgItemTextA(request.dialog, edt1, "Roofing");
            return std::optional<std::string>("");
        };
        CFolderDialog dialog(&folder);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(folder, "C:\\Specs");
        EXPECT_EQ(fs::current_path(), fs::path(folders.DriveC() + "/Specs"));
        fs::current_path(saved);
    }
    {
        TestFrontEnd chooser; // cancelled: the text stays
        chooser.fileAnswers = {std::nullopt};
        folder = "kept";
        CFolderDialog dialog(&folder);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(folder, "kept");
    }
}

} // namespace
