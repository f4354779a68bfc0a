#include "specsheet/fileutils.h"

#include "frame_test_folders.h"

#include "win/fileapi.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>
#include <vector>

namespace {

// Folder | name | extension | has-folder, as one text to compare.
std::string Split(const char* path) {
    CPathParts p(path);
    EXPECT_EQ(p.m_FullPath, path);
    return p.m_Folder + "|" + p.m_Name + "|" + p.m_Ext + "|" + std::to_string(p.m_HasFolder);
}

TEST(PathPartsTest, SplitsFolderNameAndExtension) {
    EXPECT_EQ(Split("C:\\Specs\\Roof.rtf"), "C:\\Specs\\|Roof.rtf|rtf|1");
    EXPECT_EQ(Split("C:/Specs\\a.b.DOC"), "C:/Specs\\|a.b.DOC|DOC|1");
    EXPECT_EQ(Split("C:\\Specs\\Roof"), "C:\\Specs\\|Roof|Roof|1");
    EXPECT_EQ(Split("README"), "|README|README|0");
    EXPECT_EQ(Split("C:\\Specs\\"), "C:\\Specs|||1");
    EXPECT_EQ(Split(".profile"), "|.profile||0");
    EXPECT_EQ(Split("C:\\Specs\\Roof."), "C:\\Specs\\|Roof.||1");
}

TEST(PathPartsTest, ChangeExtensionRebuildsTheFullPath) {
    CPathParts doc("C:\\Specs\\Roof.doc");
    ASSERT_TRUE(doc.ChangeExtension("rtf"));
    EXPECT_EQ(doc.m_Name + "|" + doc.m_Ext + "|" + doc.m_FullPath,
              "Roof.rtf|rtf|C:\\Specs\\Roof.rtf");
    ASSERT_TRUE(doc.ChangeExtension());
    EXPECT_EQ(doc.m_Name + "|" + doc.m_FullPath, "Roof|C:\\Specs\\Roof.rtf");
    EXPECT_FALSE(doc.ChangeExtension("rtf"));
    EXPECT_EQ(doc.m_Name + "|" + doc.m_FullPath, "Roof|C:\\Specs\\Roof.rtf");
}

class FileSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folders.DriveC() + "/Specs/X.rtf");
        std::filesystem::create_directories(folders.DriveC() + "/More");
        for (const char* name : {"Roof.RTF", "Wall.rtf", "Note.b.rtf", "NoDot", "Plan.txt"})
            WriteBytes(folders.DriveC() + "/Specs/" + name, name);
        WriteBytes(folders.DriveC() + "/More/Door.rtf", "door");
        ASSERT_EQ(mkfifo((folders.DriveC() + "/Specs/pipe.rtf").c_str(), 0600), 0);
    }
    static std::multiset<std::string> Names(const CFileSearch& search, int from = 0) {
        std::multiset<std::string> names;
        for (int i = from; i < search.m_Files.GetSize(); ++i)
            names.insert(search.m_Files[i].m_FullPath);
        return names;
    }
    FreshFolders folders;
};

TEST_F(FileSearchTest, ListsOnlyFilesWhoseLastExtensionMatches) {
    CFileSearch search;
    for (const char* folder : {"C:\\Specs", "C:\\NoSuchFolder", ""})
        search.m_Folders.Add(folder);
    EXPECT_EQ(search.FindFiles("*.rtf", false), 3);
    EXPECT_EQ(Names(search),
              (std::multiset<std::string>{"C:\\Specs\\Note.b.rtf", "C:\\Specs\\Roof.RTF",
                                          "C:\\Specs\\Wall.rtf"}));

    const CFileDat& roof = search.m_Files[search.m_Files[0].m_Name == "Roof.RTF" ? 0 : 1];
    EXPECT_EQ(roof.m_Folder + "|" + roof.m_Name + "|" + roof.m_Ext, "C:\\Specs\\|Roof.RTF|RTF");
    EXPECT_EQ(roof.m_Size, 8u);
    FILETIME written{};
    ASSERT_TRUE(win::GetFileStatus("C:\\Specs\\Roof.RTF", nullptr, &written));
    EXPECT_EQ(roof.m_Time.dwLowDateTime, written.dwLowDateTime);
    EXPECT_EQ(roof.m_Time.dwHighDateTime, written.dwHighDateTime);
}

TEST_F(FileSearchTest, SuccessiveCallsAppendAndDuplicatesAreKeptOnlyWhenAllowed) {
    CFileSearch search;
    search.m_Folders.Add("C:\\Specs");
    search.m_Folders.Add("C:\\More\\");
    EXPECT_EQ(search.FindFiles("*.rtf", false), 4);
    EXPECT_EQ(search.FindFiles("*.TXT", false), 5);
    EXPECT_EQ(search.m_Files[4].m_FullPath, "C:\\Specs\\Plan.txt");

    // The drive letter in another case names the same folder.
    search.m_Folders.Add("c:\\Specs");
    EXPECT_EQ(search.FindFiles("*.rtf", false), 5);
    EXPECT_EQ(search.FindFiles("*.rtf", true), 12);
    EXPECT_EQ(Names(search, 5),
              (std::multiset<std::string>{"C:\\Specs\\Note.b.rtf", "C:\\Specs\\Roof.RTF",
                                          "C:\\Specs\\Wall.rtf", "C:\\More\\Door.rtf",
                                          "c:\\Specs\\Note.b.rtf", "c:\\Specs\\Roof.RTF",
                                          "c:\\Specs\\Wall.rtf"}));
}

TEST_F(FileSearchTest, ExistsReportsSizeAndTimeOfAnExistingFileOnly) {
    DWORD size = 77;
    FILETIME time{1, 2}, written{};
    EXPECT_FALSE(CPathParts("C:\\Specs\\Gone.rtf").Exists(&size, &time));
    EXPECT_FALSE(CPathParts("C:\\Specs\\*.rtf").Exists(&size, &time));
    EXPECT_EQ(size + time.dwLowDateTime, 78u);

    ASSERT_TRUE(CPathParts("C:\\Specs\\Wall.rtf").Exists(&size, &time));
    ASSERT_TRUE(win::GetFileStatus("C:\\Specs\\Wall.rtf", nullptr, &written));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(time.dwLowDateTime, written.dwLowDateTime);
    EXPECT_EQ(time.dwHighDateTime, written.dwHighDateTime);
}

} // namespace

TEST_F(FileSearchTest, AFoldersFilesComeByNameInAnyLetterCase) {
    for (const char* name : {"b.rtf", "C.rtf", "a.rtf", "Zed.rtf"})
        WriteBytes(folders.DriveC() + "/More/" + name, name);
    CFileSearch search;
    search.m_Folders.Add("C:\\More\\"); // a trailing separator names the same folder
    search.m_Folders.Add("C:\\Specs");
    search.FindFiles("*.rtf", false);
    std::vector<std::string> names;
    for (int i = 0; i < search.m_Files.GetSize(); ++i)
        names.push_back(search.m_Files[i].m_Name);
    // Folder by folder, as the folders are listed; each one's names in order.
    EXPECT_EQ(names, (std::vector<std::string>{"a.rtf", "b.rtf", "C.rtf", "Door.rtf", "Zed.rtf",
                                               "Note.b.rtf", "Roof.RTF", "Wall.rtf"}));
}
