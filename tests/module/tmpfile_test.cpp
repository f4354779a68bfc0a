#include "frame/tmpfile.h"

#include "frame_test_folders.h"

#include "win/fileapi.h"
#include "win/handles.h"
#include "win/paths.h"

#include <gtest/gtest.h>

namespace {

class TmpFileTest : public ::testing::Test {
protected:
    std::string Host(const std::string& name) { return win::ToHostPath(winTmp + name); }
    FreshFolders folders;
    MessageBoxRecorder recorder;
    std::string winTmp = win::ToWindowsPath(folders.Tmp()) + "\\";
};

TEST_F(TmpFileTest, TakenNameIsFollowedByOneMarkedWithX) {
    // The runtime's names count up by one per call, so the next ones are known in advance.
    char* probe = _tempnam(winTmp.c_str(), "ksr");
    std::string last = probe;
    free(probe);
    std::string stem = last.substr(0, last.rfind('-') + 1);
    long n = std::stol(last.substr(stem.size()));
    ASSERT_EQ(stem.rfind(winTmp + "ksr", 0), 0u) << stem;

    CTmpFileName name(".rtf");
    EXPECT_EQ(name.Folder(), winTmp);
    EXPECT_EQ(name.Path(), stem + std::to_string(n + 1) + ".rtf");
    EXPECT_EQ(GetFileAttributesA(name.Path().c_str()), INVALID_FILE_ATTRIBUTES);

    WriteBytes(win::ToHostPath(stem + std::to_string(n + 2) + ".rtf"), "taken");
    EXPECT_EQ(CTmpFileName(".rtf").Path(), stem + std::to_string(n + 3) + "X.rtf");
}

TEST_F(TmpFileTest, TemporaryFolderLongerThanThreeHundredCharactersIsKeptWhole) {
    std::string deep = folders.Tmp();
    while (deep.size() < 400)
        deep += "/a-rather-long-folder-name";
    std::filesystem::create_directories(deep);
    setenv("TMPDIR", deep.c_str(), 1);
    CTmpFileName name(".rtf");
    EXPECT_EQ(name.Folder(), win::ToWindowsPath(deep) + "\\");
    EXPECT_TRUE(saveToFile(name.Path().c_str(), "x"));
}

TEST_F(TmpFileTest, SaveWritesLineEndsAsCrLfAndReplacesTheFile) {
    ASSERT_TRUE(saveToFile((winTmp + "out.txt").c_str(), "one\ntwo\n\nthree"));
    EXPECT_EQ(FileBytes(Host("out.txt")), "one\r\ntwo\r\n\r\nthree");
    ASSERT_TRUE(saveToFile((winTmp + "out.txt").c_str(), "4\n"));
    EXPECT_EQ(FileBytes(Host("out.txt")), "4\r\n");
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(TmpFileTest, SaveIntoMissingFolderShowsTheErrorThenItsOwnMessage) {
    EXPECT_FALSE(saveToFile((winTmp + "missing\\out.txt").c_str(), "text"));
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_NE(recorder.boxes[0].text.find("out.txt"), std::string::npos);
    EXPECT_EQ(recorder.boxes[1].text, "Exception at ::saveToFile");
}

TEST_F(TmpFileTest, ReadGivesTheTextWithoutZeroBytesOrLeavesTheTextAlone) {
    std::string text = "kept";
    WriteBytes(Host("empty.rtf"), "");
    EXPECT_FALSE(ReadWholeFile((winTmp + "empty.rtf").c_str(), text));
    EXPECT_FALSE(ReadWholeFile((winTmp + "none.rtf").c_str(), text));

    // A file that someone holds open without sharing cannot be read.
    WriteBytes(Host("in.rtf"), std::string("{\\rtf1 a\r\n}\0after", 17));
    HANDLE holder = CreateFileA((winTmp + "in.rtf").c_str(), GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(ReadWholeFile((winTmp + "in.rtf").c_str(), text));
    CloseHandle(holder);
    EXPECT_EQ(text, "kept");

    ASSERT_TRUE(ReadWholeFile((winTmp + "in.rtf").c_str(), text));
    EXPECT_EQ(text, "{\\rtf1 a\r\n}after") << "nothing after the zero byte is lost";

    // UTF-16, with or without its byte order mark, is read as its text.
    WriteBytes(Host("wide.txt"), std::string("\xFF\xFEO\0n\0e\0\r\0\n\0\x19 t\0w\0o\0", 20));
    ASSERT_TRUE(ReadWholeFile((winTmp + "wide.txt").c_str(), text));
    EXPECT_EQ(text, "\xEF\xBB\xBFOne\r\n\xE2\x80\x99two");
    WriteBytes(Host("wide.rtf"), std::string("{\0\\\0r\0t\0f\0\x31\0 \0x\0}\0", 18));
    ASSERT_TRUE(ReadWholeFile((winTmp + "wide.rtf").c_str(), text));
    EXPECT_EQ(text, "{\\rtf1 x}");
    EXPECT_TRUE(recorder.boxes.empty());
}

} // namespace
