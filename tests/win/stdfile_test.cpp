#include "test_front_end.h"

#include "fresh_prefix.h"
#include "win/msgbox.h"
#include "win/paths.h"
#include "win/stdfile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using wintest::FreshPrefix;
using wintest::ReadBytes;
using wintest::WriteBytes;
namespace fs = std::filesystem;

class StdFile : public FreshPrefix {
protected:
    void SetUp() override {
        FreshPrefix::SetUp();
        fs::create_directories(DriveC() + "/Specs");
    }
    std::string Unix(const char* name) { return DriveC() + "/Specs/" + name; }
};

std::vector<std::string> ReadLines(const char* path, UINT flags = 0) {
    CStdioFile file(path, CFile::modeRead | CFile::shareDenyNone | flags);
    std::vector<std::string> lines;
    std::string line = "sentinel";
    while (file.ReadString(line))
        lines.push_back(line);
    EXPECT_EQ(line, "") << "a failed read leaves an empty line";
    return lines;
}

TEST_F(StdFile, TextModeWritesCrLfAndReadsItBackAsLf) {
    {
        CStdioFile out("C:\\Specs\\a.txt", CFile::modeCreate | CFile::modeWrite);
        out.WriteString("first\nsecond\n\nlone\rcr\nlast");
    }
    EXPECT_EQ(ReadBytes(Unix("a.txt")), "first\r\nsecond\r\n\r\nlone\rcr\r\nlast");
    EXPECT_EQ(ReadLines("C:\\Specs\\a.txt"),
              (std::vector<std::string>{"first", "second", "", "lone\rcr", "last"}));

    // Saving again replaces the file, it does not append.
    {
        CStdioFile out("C:\\Specs\\a.txt", CFile::modeCreate | CFile::modeWrite);
        out.WriteString("x\n");
    }
    EXPECT_EQ(ReadBytes(Unix("a.txt")), "x\r\n");

    {
        CStdioFile out("C:\\Specs\\b.txt",
                       CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        out.WriteString("raw\n");
    }
    EXPECT_EQ(ReadBytes(Unix("b.txt")), "raw\n");
    WriteBytes(Unix("c.txt"), "one\r\ntwo");
    EXPECT_EQ(ReadLines("C:\\Specs\\c.txt", CFile::typeBinary),
              (std::vector<std::string>{"one\r", "two"}));
}

TEST_F(StdFile, CrLfSplitAcrossReadChunksIsStillOneLineEnd) {
    for (std::size_t before : {65535u, 65536u, 131071u}) {
        WriteBytes(Unix("big.txt"), std::string(before, 'x') + "\r\ny\r\n");
        std::vector<std::string> lines = ReadLines("C:\\Specs\\big.txt");
        ASSERT_EQ(lines.size(), 2u) << before;
        EXPECT_EQ(lines[0].size(), before);
        EXPECT_EQ(lines[1], "y");
    }
}

TEST_F(StdFile, ReadTranslatesAndPositionCountsBytesOnDisk) {
    WriteBytes(Unix("p.txt"), "ab\r\ncd\r\n");
    CStdioFile file("C:\\Specs\\p.txt", CFile::modeReadWrite);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "ab\n");
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(file.GetLength(), 8u);
    // Writing after reading goes where the reader stopped, not after the read-ahead.
    file.WriteString("X");
    file.Close();
    EXPECT_EQ(ReadBytes(Unix("p.txt")), "ab\r\nXd\r\n");
}

TEST_F(StdFile, FailuresBecomeFileExceptionsNamingTheFile) {
    CFileException error;
    CFile file;
    EXPECT_FALSE(file.Open("C:\\Specs\\missing.txt", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(error.m_strFileName, "C:\\Specs\\missing.txt");
    EXPECT_FALSE(file.Open("C:\\NoFolder\\x.txt", CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    try {
        CStdioFile thrown("C:\\Specs\\missing.txt", CFile::modeRead);
        ADD_FAILURE() << "opening a missing file must throw";
    } catch (CFileException* e) {
        char text[256];
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
        EXPECT_NE(std::string(text).find("C:\\Specs\\missing.txt"), std::string::npos) << text;
        EXPECT_NE(std::string(text).find("not found"), std::string::npos) << text;
        char tiny[8];
        e->GetErrorMessage(tiny, sizeof tiny);
        EXPECT_EQ(std::string(tiny).size(), 7u) << "cut to the buffer";
        e->Delete();
    }

    CFile holder("C:\\Specs\\held.txt",
                 CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    try {
        CFile second("C:\\Specs\\held.txt", CFile::modeRead | CFile::shareDenyNone);
        ADD_FAILURE() << "an exclusive file must not open twice";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::sharingViolation);
        e->Delete();
    }
}

TEST_F(StdFile, ReportErrorShowsTheMessageInAMessageBox) {
    TestFrontEnd frontEnd;
    std::vector<win::MessageBoxRequest>& shown = frontEnd.boxes;
    CFileException error(CFileException::accessDenied, ERROR_ACCESS_DENIED, "C:\\Specs\\x.rtf");
    EXPECT_EQ(error.ReportError(MB_OK | MB_ICONEXCLAMATION), IDOK);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, error.ErrorText());
    EXPECT_NE(shown[0].text.find("C:\\Specs\\x.rtf"), std::string::npos);
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
}

TEST_F(StdFile, WritingToAFullDiskThrowsDiskFull) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    CStdioFile full("Z:\\dev\\full", CFile::modeWrite | CFile::shareDenyNone);
    try {
        full.WriteString("text\n");
        ADD_FAILURE() << "a write to a full disk must throw";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::diskFull);
        e->Delete();
    }
}

TEST_F(StdFile, StaticRemoveRenameAndStatus) {
    WriteBytes(Unix("r.txt"), "12345");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus("C:\\Specs\\r.txt", status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_EQ(status.m_attribute, CFile::archive);
    EXPECT_EQ(status.m_szFullName, "C:\\Specs\\r.txt");
    EXPECT_GT(status.m_mtime, 0);
    EXPECT_FALSE(CFile::GetStatus("C:\\Specs\\none.txt", status));

    CFile::Rename("C:\\Specs\\r.txt", "C:\\Specs\\s.txt");
    EXPECT_EQ(ReadBytes(Unix("s.txt")), "12345");
    WriteBytes(Unix("t.txt"), "t");
    try {
        CFile::Rename("C:\\Specs\\s.txt", "C:\\Specs\\t.txt");
        ADD_FAILURE() << "rename must not replace an existing file";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::accessDenied);
        e->Delete();
    }
    CFile::Remove("C:\\Specs\\s.txt");
    EXPECT_FALSE(fs::exists(Unix("s.txt")));
    try {
        CFile::Remove("C:\\Specs\\s.txt");
        ADD_FAILURE() << "removing a missing file must throw";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
        e->Delete();
    }
}

} // namespace
