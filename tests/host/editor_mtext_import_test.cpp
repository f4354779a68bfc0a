// MTEXT's Import: the text of a Rich Text or text file, in whatever encoding, becomes the new
// MText's contents; what is no text file is refused with one line and makes nothing.
#include "host_fixture.h"

#include "file_bytes.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

class MTextImport : public HostSessionTest {
protected:
    // A file of the test's own folder, by its path.
    std::string File(const std::string& name, const std::string& bytes) {
        std::string path = root() + "/" + name;
        rivlet_test::WriteBytes(path, bytes);
        return path;
    }
    // Runs MTEXT Import on the path and answers the log.
    std::string Import(const std::string& path) {
        return run("MTEXT\n0,0\n4,-2\nImport\n" + path + "\n");
    }
    // The contents of every MText in the drawing, as LIST shows them.
    std::vector<std::string> Contents() {
        std::string log = run("LIST\nALL\n\n");
        std::vector<std::string> contents;
        const std::string label = "  Contents: ";
        for (std::size_t at = log.find(label); at != std::string::npos;
             at = log.find(label, at + 1)) {
            std::size_t start = at + label.size();
            contents.push_back(log.substr(start, log.find('\n', start) - start));
        }
        return contents;
    }
};

// The text as UTF-16 bytes.
std::string Utf16(const std::u16string& text, bool little) {
    std::string out;
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF);
        char high = static_cast<char>(unit >> 8);
        out += little ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

const std::u16string kText = u"First line\r\nSecond line\r\n";

TEST_F(MTextImport, Utf16TextFilesAreImportedAsTheirText) {
    Import(File("marked-le.txt", Utf16(u"\uFEFF" + kText, true)));
    Import(File("marked-be.txt", Utf16(u"\uFEFF" + kText, false)));
    Import(File("unmarked.txt", Utf16(kText, true)));
    Import(File("unmarked.rtf", Utf16(u"{\\rtf1 First line\\par Second line}", true)));
    std::vector<std::string> contents = Contents();
    ASSERT_EQ(contents.size(), 4u);
    for (const std::string& content : contents)
        EXPECT_NE(content.find("First line\\PSecond line"), std::string::npos) << content;
}

TEST_F(MTextImport, TextAfterANulByteIsKept) {
    Import(File("nul.txt", "before\0after\r\nnext line\r\n"s));
    Import(File("nul.rtf", "{\\rtf1 before\0 after\\par next line}"s));
    std::vector<std::string> contents = Contents();
    ASSERT_EQ(contents.size(), 2u);
    EXPECT_NE(contents[0].find("beforeafter\\Pnext line"), std::string::npos) << contents[0];
    EXPECT_NE(contents[1].find("before after\\Pnext line"), std::string::npos) << contents[1];
}

TEST_F(MTextImport, FoldersAndBinaryFilesAreRefusedWithOneLine) {
    std::string folder = root() + "/walls.rtf";
    std::filesystem::create_directories(folder);
    std::string log = Import(folder);
    EXPECT_NE(log.find("\n" + folder + " is a folder, not a text file.\n"), std::string::npos)
        << log;

    std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    std::string doc = File("painting.doc", compound + std::string(504, '\0') + "Walls: two coats");
    log = Import(doc);
    EXPECT_NE(log.find("\n" + doc + " is not a text or Rich Text file.\n"), std::string::npos)
        << log;

    std::mt19937 random(11);
    std::string noise;
    for (int i = 0; i < 2048; ++i)
        noise += static_cast<char>(random() & 0xFF);
    std::string bin = File("noise.txt", noise);
    log = Import(bin);
    EXPECT_NE(log.find("\n" + bin + " is not a text or Rich Text file.\n"), std::string::npos)
        << log;

    EXPECT_TRUE(Contents().empty()) << "nothing was made";
    Import(File("plain.txt", "Still works\r\n"));
    std::vector<std::string> contents = Contents();
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_NE(contents[0].find("Still works"), std::string::npos) << contents[0];
}

} // namespace
