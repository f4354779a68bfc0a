// Whole documents in and out of the rich edit controls of the sheet dialogs, and the Rich
// Text viewer that shows them.
#include "specsheet_test_host.h"

#include "specsheet/divisions.h"
#include "specsheet/resource.h"
#include "specsheet/rtfviewer.h"

#include "win/richedit.h"

namespace {

class RichEditStreams : public SpecSheetTest {
protected:
    // What the viewer shows of a file, and the boxes it raised.
    std::string Shown(const char* path) {
        CRtfViewer viewer(path, nullptr);
        std::string text;
        Then([&](HWND d) {
            text = win::RichEditPlainText(Control(d, IDC_VIEWER_TEXT));
            win::UserPressesKey(VK_ESCAPE);
        });
        viewer.DoModal();
        return text;
    }
};

TEST_F(RichEditStreams, FilesShowAsRichTextOnlyWhenTheyAreRichText) {
    WriteBytes(folders.DriveC() + "/upper.rtf", "{\\RTF1\\ANSI \\b Bold\\b0  text\\par}");
    EXPECT_EQ(Shown("C:\\upper.rtf"), "Bold text");
    WriteBytes(folders.DriveC() + "/plain.txt", "{\\b not rich}\r\nsecond line");
    EXPECT_EQ(Shown("C:\\plain.txt"), "{\\b not rich}\nsecond line");
    EXPECT_TRUE(ui().boxes.empty());
}

TEST_F(RichEditStreams, AFolderOrAMissingFileIsAnInvalidName) {
    EXPECT_EQ(Shown("C:\\"), "");
    EXPECT_EQ(Shown("C:\\nothing.rtf"), "");
    ASSERT_EQ(ui().boxes.size(), 2u);
    EXPECT_EQ(ui().boxes[0].text, "Invalid filename.");
    EXPECT_EQ(ui().boxes[1].text, "Invalid filename.");
}

TEST_F(RichEditStreams, TheViewerShowsALongDocumentWhole) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 500; ++i)
        rtf += std::string(79, 'a' + i % 26) + "\\par ";
    rtf += "end}";
    WriteBytes(folders.DriveC() + "/long.rtf", rtf);
    std::string shown = Shown("C:\\long.rtf");
    EXPECT_EQ(shown.size(), 500u * 80u + 3u); // far past the control's own 32767
    EXPECT_EQ(shown.substr(shown.size() - 3), "end");
}

TEST_F(RichEditStreams, StringsFileOutputAndTheirFailures) {
    CRtfViewer viewer(TheDivisionTable(), nullptr);
    std::string five, six, saved;
    Then([&](HWND) {
        CRichEditCtrlGS& edit = viewer.m_Edit;
        edit.StreamInText("{\\rtf"); // five characters: not Rich Text
        edit.StreamOutText(five, false);
        edit.StreamInText("{\\rtf1 \\i six}");
        edit.StreamOutText(six, false);
        edit.StreamOutFile("C:\\out.rtf", true);
        edit.StreamOutFile("C:\\no such folder\\out.rtf", true);
        edit.StreamInText("");
        edit.StreamInFile("C:\\out.rtf", true);
        edit.StreamOutText(saved, false);
        win::UserPressesKey(VK_ESCAPE);
    });
    viewer.DoModal();
    EXPECT_EQ(five, "{\\rtf");
    EXPECT_EQ(six, "six");
    EXPECT_EQ(saved, "six");
    EXPECT_EQ(FileBytes(folders.DriveC() + "/out.rtf").rfind("{\\rtf1", 0), 0u);
    ASSERT_EQ(ui().boxes.size(), 1u);
    EXPECT_EQ(ui().boxes[0].text, "Failed to save document.");
}

TEST_F(RichEditStreams, TheCatalogueEditorAnswersSaveDefaultsOrCancel) {
    struct Case {
        int button;
        INT_PTR result;
    };
    for (Case c : {Case{IDC_VIEWER_SAVE, 84}, Case{IDC_VIEWER_DEFAULTS, 85}, Case{IDCANCEL, 2}}) {
        DivisionTable table;
        table.ReplaceFromText("{DIVISION 1 - ONE}{DIVISION 2 - TWO}");
        CRtfViewer viewer(table, nullptr);
        EXPECT_EQ(viewer.m_Text, "{DIVISION 1 - ONE}\n{DIVISION 2 - TWO}\n");
        Then([&](HWND d) { win::UserTypesOver(Control(d, IDC_VIEWER_TEXT), "{X}"); });
        Then([&](HWND d) { Click(d, c.button); });
        EXPECT_EQ(viewer.DoModal(), c.result);
        // Save and Cancel take the text as it was edited; Defaults leaves it.
        EXPECT_EQ(viewer.m_Text,
                  c.result == 85 ? "{DIVISION 1 - ONE}\n{DIVISION 2 - TWO}\n" : "{X}");
    }
}

} // namespace
