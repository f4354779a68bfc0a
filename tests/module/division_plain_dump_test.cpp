// Leaves MText contents with the plain text MTextToPlain makes of them, for
// tests/module/division_plain_ezdxf.py to hold against ezdxf's plain_mtext: the built-in
// headings, the content the host makes of every Rich Text file of the shared corpus, and
// each such content again without the codes that the two read differently on purpose.
// tests/e2e/test_division_plain_ezdxf.sh runs it with RIVLET_DIVISION_PLAIN_OUT set to the
// folder to write; without it there is nothing to do.
#include "corpus.h"
#include "specsheet/divisiontext.h"

#include "text/rtfconvert.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The content without the codes MTextToPlain reads differently from other MText readers:
// the escapes "\\", "\{", "\}" and the no-break space "\~" (MTextToPlain drops them, the
// second backslash of "\\" even opening a code), the alignment and stacking codes with their
// arguments (it keeps the alignment's argument as text and drops the stacked text), and the
// letter codes its table does not have (it keeps the letter).  What is left both should read
// alike.
std::string WithoutCodesReadDifferently(const std::string& content) {
    const std::string tableLetters = "OoLlpfAPWQTSHFC";
    std::string kept;
    for (std::size_t i = 0; i < content.size(); ++i) {
        char next = i + 1 < content.size() ? content[i + 1] : '\0';
        if (content[i] != '\\') {
            kept += content[i];
        } else if (next == '\\' || next == '{' || next == '}' || next == '~') {
            ++i;
        } else if (next == 'A' || next == 'S') {
            std::size_t end = content.find(';', i);
            i = end == std::string::npos ? content.size() : end;
        } else if (IsLetter(next) && tableLetters.find(next) == std::string::npos) {
            ++i;
        } else {
            kept += content[i];
        }
    }
    return kept;
}

void Dump(const fs::path& folder, const std::string& name, const std::string& content) {
    std::ofstream(folder / (name + ".mtext"), std::ios::binary) << content;
    std::ofstream(folder / (name + ".plain"), std::ios::binary) << MTextToPlain(content);
    ASSERT_TRUE(fs::exists(folder / (name + ".plain"))) << name;
}

} // namespace

TEST(DivisionPlainDump, HeadingsAndCorpusContents) {
    const char* out = std::getenv("RIVLET_DIVISION_PLAIN_OUT");
    if (!out || !*out)
        GTEST_SKIP() << "skipped: RIVLET_DIVISION_PLAIN_OUT names no folder to write to";
    fs::path folder = out;
    fs::create_directories(folder);

    for (std::size_t i = 0; i < kBuiltInDivisionCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "heading-%02zu", i);
        Dump(folder, name, BuiltInDivisionHeading(i));
    }

    fs::path corpus = rivlet_test::CorpusDir() / "rtf";
    if (!fs::is_directory(corpus)) {
        std::printf("skipped: no Rich Text corpus at %s\n", corpus.string().c_str());
        return;
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".rtf")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        std::string content = cadhost::text::RtfToMText(bytes.str());
        Dump(folder, "corpus-" + entry.path().stem().string(), content);
        Dump(folder, "neutral-" + entry.path().stem().string(),
             WithoutCodesReadDifferently(content));
        ++files;
    }
    EXPECT_GT(files, 0) << "the corpus folder holds no Rich Text file";
}
