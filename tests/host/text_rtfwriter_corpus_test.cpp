// Real documents through the Rich Text writer: for every file of the shared corpus, reading
// what the writer makes of the document gives the very document read from the file.
#include "corpus.h"
#include "text/rtfconvert.h"
#include "text/rtfreader.h"
#include "text/rtfwriter.h"
#include "text_document_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace cadhost::text;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RtfWriterCorpus, ReadingTheWrittenDocumentGivesTheSameDocument) {
    SKIP_WITHOUT_CORPUS("rtf");
    fs::path folder = rivlet_test::CorpusDir() / "rtf";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".rtf")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << folder;

    std::size_t same = 0;
    for (const auto& path : files) {
        std::string bytes = ReadFile(path);
        std::size_t start = FindRtfStart(bytes);
        ASSERT_NE(start, std::string::npos) << path;
        TextDocument original = ReadRtf(std::string_view(bytes).substr(start));
        std::string written = WriteRtf(original);
        EXPECT_TRUE(std::all_of(written.begin(), written.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            << path.filename().string() << ": a byte outside ASCII";
        TextDocument again = ReadRtf(written);
        std::string difference = text_test::FirstDifference(original, again);
        EXPECT_EQ(difference, "") << path.filename().string();
        // Writing is a function of the document alone.
        EXPECT_TRUE(WriteRtf(again) == written) << path.filename().string();
        if (difference.empty())
            ++same;
    }
    EXPECT_EQ(same, files.size());
}

} // namespace
