// The command that writes one document's MText content to C:\KSR\Rivlet\output.TXT.
#include "frame_test_host.h"

#include "conversion/rtftomtext.h"
#include "frame/commands.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/editor.h"

#include <filesystem>

namespace {

const char kWordMissing[] = "Word was not installed on this workstation. You must have at least "
                            "Word 97 installed on your workstation prior to using this "
                            "application.";

const char kHanging[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\fi-360\\li720 1.\\tab "
                        "Item\\par}";

class RtfToAcadTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_EQ(acedRegCmds->addCommand("RTFTOACADTEST", "_RtfToAcad", "RtfToAcad",
                                          ACRX_CMD_MODAL, CmdRtfToAcad),
                  Acad::eOk);
        std::filesystem::create_directories(folders.DriveC() + "/docs");
        std::filesystem::create_directories(OutputFolder());
    }
    void TearDown() override {
        acedRegCmds->removeCmd("RTFTOACADTEST", "_RtfToAcad");
        HostTest::TearDown();
    }

    std::string OutputFolder() const { return folders.DriveC() + "/KSR/Rivlet"; }
    std::string OutputFile() const { return OutputFolder() + "/output.TXT"; }
    bool OutputExists() const { return std::filesystem::exists(OutputFile()); }
    // A document in C:\docs, by its Windows path.
    std::string Document(const std::string& name, const std::string& bytes) {
        WriteBytes(folders.DriveC() + "/docs/" + name, bytes);
        return "C:\\docs\\" + name;
    }
    // Runs the command with the dialog answered, and returns the log.
    std::string Run(const std::string& answer) {
        Output();
        host->feedInput("RtfToAcad\nfiledlg " + answer + "\n");
        host->runPendingInput();
        return Output();
    }
    static std::uint64_t Handseed() {
        return static_cast<std::uint64_t>(
            acdbHostApplicationServices()->workingDatabase()->handseed());
    }
};

// The output file's bytes as the command writes them: in text mode.
std::string AsWritten(std::string text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

} // namespace

TEST_F(RtfToAcadTest, RichTextIsFixedConvertedAndWrittenWithoutTouchingTheDrawing) {
    std::uint64_t seed = Handseed();
    std::string log = Run(Document("list.rtf", kHanging));
    EXPECT_NE(log.find("\"Open specification document:\" [Documents (*.doc) *.doc; Rich Text "
                       "(*.rtf) *.rtf; Text Files (*.txt) *.txt; Word and Writer documents "
                       "(*.docx;*.odt) *.docx;*.odt]"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("MessageBox"), std::string::npos) << log;

    // The same document with the tab stop its hanging paragraph needs.
    std::string withStop = kHanging;
    withStop.insert(withStop.find("\\li720") + 6, "\\tx720");
    std::string expected = CRtfToMtext().Convert(withStop);
    ASSERT_NE(expected, CRtfToMtext().Convert(kHanging));
    EXPECT_EQ(FileBytes(OutputFile()), AsWritten(expected));
    EXPECT_EQ(Handseed(), seed);
}

TEST_F(RtfToAcadTest, TextFilesAndFilesWithoutExtensionAreReadDirectly) {
    for (const char* name : {"notes.txt", "NOTES", "notes.rev2"}) {
        SCOPED_TRACE(name);
        Run(Document(name, "First line\nSecond line\n"));
        std::string written = FileBytes(OutputFile());
        EXPECT_NE(written.find("First line\\PSecond line"), std::string::npos) << written;
    }
}

TEST_F(RtfToAcadTest, Utf16TextAndTextAfterANulByteAreConvertedWhole) {
    // "First line", "Second line" in UTF-16 without a byte order mark, as some editors save.
    std::string wide;
    for (char c : std::string("First line\r\nSecond line\r\n"))
        wide += std::string{c, '\0'};
    Run(Document("wide.txt", wide));
    std::string written = FileBytes(OutputFile());
    EXPECT_NE(written.find("First line\\PSecond line"), std::string::npos) << written;

    Run(Document("nul.rtf", std::string("{\\rtf1 before\0 after\\par next}", 30)));
    written = FileBytes(OutputFile());
    EXPECT_NE(written.find("before after\\Pnext"), std::string::npos) << written;
}

TEST_F(RtfToAcadTest, WordDocumentsGoTheWordWayInAnyLetterCase) {
    WriteBytes(OutputFile(), "earlier output");
    for (const char* name : {"painting.doc", "PAINTING.DOC", "Painting.Doc"}) {
        SCOPED_TRACE(name);
        MessageBoxRecorder boxes;
        Run(Document(name, kHanging));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, kWordMissing);
        EXPECT_EQ(FileBytes(OutputFile()), "earlier output");
    }
}

TEST_F(RtfToAcadTest, EachRunReplacesTheOutputAndAnEmptyFileGivesEmptyContent) {
    Run(Document("long.rtf", kHanging));
    ASSERT_GT(FileBytes(OutputFile()).size(), 10u);
    Run(Document("short.txt", "x"));
    EXPECT_EQ(FileBytes(OutputFile()), AsWritten(CRtfToMtext().Convert("x")));
    Run(Document("empty.rtf", ""));
    EXPECT_TRUE(OutputExists());
    EXPECT_EQ(FileBytes(OutputFile()), AsWritten(CRtfToMtext().Convert("")));
}

TEST_F(RtfToAcadTest, CancellingTheDialogEndsTheCommandQuietly) {
    MessageBoxRecorder boxes;
    std::string log = Run("cancel");
    EXPECT_NE(log.find("** FileDialog cancelled"), std::string::npos) << log;
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(OutputExists());
}

TEST_F(RtfToAcadTest, AMissingOutputFolderIsReportedAndNotCreated) {
    std::filesystem::remove_all(folders.DriveC() + "/KSR");
    MessageBoxRecorder boxes;
    Run(Document("list.rtf", kHanging));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_NE(boxes.boxes[0].text.find("output.TXT"), std::string::npos) << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[1].text, "Exception at ::saveToFile");
    EXPECT_FALSE(std::filesystem::exists(folders.DriveC() + "/KSR"));

    // The command ended normally: the next command runs.
    std::filesystem::create_directories(OutputFolder());
    Run(Document("list.rtf", kHanging));
    EXPECT_TRUE(OutputExists());
}
