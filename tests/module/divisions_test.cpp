// The catalogue file: DIVISIONS.TXT in the installation folder, read when a CDivisionFile is
// made and written back, whole or not at all, when it is destroyed.
#include "specsheet/divisions.h"

#include "frame_test_host.h"

#include "frame/rivletapp.h"
#include "specsheet/preferences.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class DivisionFileTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        Output();
    }

    // The installation folder C:\Rivlet\, made when asked.
    void Install(bool makeFolder = true) {
        ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, INSTALL_KEY, "location", "C:\\Rivlet\\"));
        if (makeFolder)
            fs::create_directories(Folder());
    }
    std::string Folder() const { return folders.DriveC() + "/Rivlet"; }
    std::string Catalogue() const { return Folder() + "/DIVISIONS.TXT"; }

    // The names of the files under a folder, for seeing that a save leaves nothing behind.
    static std::vector<std::string> FilesUnder(const std::string& folder) {
        std::vector<std::string> names;
        if (fs::exists(folder))
            for (const auto& entry : fs::recursive_directory_iterator(folder))
                names.push_back(fs::relative(entry.path(), folder).string());
        return names;
    }

    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < TheDivisionTable().Count(); ++i)
            names.push_back(TheDivisionTable().Name(i));
        return names;
    }
    static std::vector<std::string> Headings() {
        std::vector<std::string> headings;
        for (int i = 0; i < TheDivisionTable().Count(); ++i)
            headings.push_back(TheDivisionTable().Heading(i));
        return headings;
    }

    // The command-line text since the last call, without the line feed it starts with.
    std::string Printed() {
        std::string text = Output();
        while (!text.empty() && text.front() == '\n')
            text.erase(0, 1);
        return text;
    }

    static std::string BuiltInFile() {
        std::string bytes;
        for (std::size_t i = 0; i < kBuiltInDivisionCount; ++i)
            bytes += BuiltInDivisionHeading(i) + "\r\n";
        return bytes;
    }
};

} // namespace

TEST_F(DivisionFileTest, WithoutInstallationFolderTheBuiltInsServeAndNothingIsWritten) {
    {
        CDivisionFile file;
        EXPECT_EQ(file.m_Path, "");
        ASSERT_EQ(TheDivisionTable().Count(), 18);
        EXPECT_EQ(Names().front(), "DIVISION 0 - AGREEMENTS");
        EXPECT_EQ(Names().back(), "DIVISION 17 - STRUCTURAL ELEMENTS");
    }
    EXPECT_EQ(FilesUnder(folders.DriveC()), std::vector<std::string>{});
    EXPECT_EQ(Printed(), "");
}

TEST_F(DivisionFileTest, FirstUseCreatesTheFileWithTheBuiltInHeadings) {
    Install();
    {
        CDivisionFile file;
        EXPECT_EQ(file.m_Path, "C:\\Rivlet\\DIVISIONS.TXT");
        EXPECT_EQ(TheDivisionTable().Count(), 18);
    }
    EXPECT_EQ(FileBytes(Catalogue()), BuiltInFile());
    EXPECT_EQ(FilesUnder(Folder()), std::vector<std::string>{"DIVISIONS.TXT"});
    EXPECT_EQ(Printed(), "");
}

TEST_F(DivisionFileTest, TheFileReplacesTheBuiltInsAndEditsAreWrittenBack) {
    Install();
    WriteBytes(Catalogue(), "  {\\C1;ROOFING}\t\r\n\r\n{\\P}\r\n\t{\\C2;SITE WORK}");
    {
        CDivisionFile file;
        EXPECT_EQ(Headings(), (std::vector<std::string>{"{\\C1;ROOFING}", "{\\C2;SITE WORK}"}));
        EXPECT_EQ(Names(), (std::vector<std::string>{"ROOFING", "SITE WORK"}));
        file.ReplaceFromText("{\\C1;ONE}{\\C2;TWO}\r\n{\\C3;THREE} dropped");
    }
    EXPECT_EQ(FileBytes(Catalogue()), "{\\C1;ONE}\r\n{\\C2;TWO}\r\n{\\C3;THREE}\r\n");
    {
        CDivisionFile again;
        EXPECT_EQ(Names(), (std::vector<std::string>{"ONE", "TWO", "THREE"}));
        again.ResetToDefaults();
    }
    EXPECT_EQ(FileBytes(Catalogue()), BuiltInFile());
    EXPECT_EQ(Printed(), "");
}

TEST_F(DivisionFileTest, AFileOfBlankLinesEmptiesTheCatalogue) {
    Install();
    WriteBytes(Catalogue(), "\r\n   \r\n\t\r\n{\\C1;}\r\n");
    {
        CDivisionFile file;
        EXPECT_EQ(TheDivisionTable().Count(), 0);
    }
    ASSERT_TRUE(fs::exists(Catalogue()));
    EXPECT_EQ(FileBytes(Catalogue()), "");
    EXPECT_EQ(Printed(), "");
}

TEST_F(DivisionFileTest, AFailedSaveKeepsTheOldFileAndSaysSoOnce) {
    Install();
    // Neither the bytes nor the line ends of this file are what a save would write.
    const std::string old = "{\\C1;KEPT}\n\n  {\\C2;AS IT WAS}  ";
    WriteBytes(Catalogue(), old);
    // A file without write permission is read-only to the platform, for root as well.
    ASSERT_EQ(chmod(Catalogue().c_str(), 0444), 0);
    {
        CDivisionFile file;
        EXPECT_EQ(Names(), (std::vector<std::string>{"KEPT", "AS IT WAS"}));
        file.ReplaceFromText("{\\C1;LOST EDIT}");
    }
    EXPECT_EQ(FileBytes(Catalogue()), old);
    EXPECT_EQ(FilesUnder(Folder()), std::vector<std::string>{"DIVISIONS.TXT"});
    EXPECT_EQ(Printed(), "The division catalogue could not be saved to C:\\Rivlet\\DIVISIONS.TXT: "
                         "Access to \"C:\\Rivlet\\DIVISIONS.TXT\" was denied.");
}

TEST_F(DivisionFileTest, AFolderInPlaceOfTheFileIsLeftAndReported) {
    Install();
    fs::create_directories(Catalogue());
    WriteBytes(Catalogue() + "/inside", "x");
    {
        CDivisionFile file;
        EXPECT_EQ(file.m_Path, "C:\\Rivlet\\DIVISIONS.TXT");
        EXPECT_EQ(TheDivisionTable().Count(), 18);
    }
    EXPECT_TRUE(fs::is_directory(Catalogue()));
    EXPECT_EQ(FilesUnder(Folder()),
              (std::vector<std::string>{"DIVISIONS.TXT", "DIVISIONS.TXT/inside"}));
    std::string printed = Printed();
    EXPECT_TRUE(printed.starts_with(
        "The division catalogue could not be saved to C:\\Rivlet\\DIVISIONS.TXT: "))
        << printed;
    EXPECT_EQ(printed.find('\n'), std::string::npos) << printed;
}

TEST_F(DivisionFileTest, AMissingInstallationFolderIsReportedAndNotMade) {
    Install(/*makeFolder=*/false);
    {
        CDivisionFile file;
        EXPECT_EQ(TheDivisionTable().Count(), 18);
    }
    EXPECT_FALSE(fs::exists(Folder()));
    EXPECT_EQ(Printed(), "The division catalogue could not be saved to C:\\Rivlet\\DIVISIONS.TXT: "
                         "The path of \"C:\\Rivlet\\DIVISIONS.TXT\" is not valid, or one of its "
                         "folders does not exist.");
}

TEST_F(DivisionFileTest, TheModuleHasAFreshEmptyTableFromAttachToDetach) {
    TheDivisionTable().ResetToDefaults();
    DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
    DivisionTable* table = &TheDivisionTable();
    EXPECT_EQ(table->Count(), 0);
    {
        CDivisionFile dialogsFile;
        EXPECT_EQ(&TheDivisionTable(), table);
        EXPECT_EQ(table->Count(), 18);
    }
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
    EXPECT_EQ(TheDivisionTable().Count(), 0);
}
