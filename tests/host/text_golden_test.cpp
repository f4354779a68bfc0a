// Hand-written specification documents with the exact MText content they must give:
// tests/data/rtf/NAME.rtf beside NAME.mtext (one trailing line feed there is not part of the
// content).  Add a pair to add a case.
#include "text/rtfconvert.h"
#include "text_mtext_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(RIVLET_SOURCE_DIR) / "tests" / "data" / "rtf";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kData))
        if (entry.path().extension() == ".rtf")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TextRtfGolden : public testing::TestWithParam<std::string> {};

TEST_P(TextRtfGolden, GivesTheExpectedContent) {
    fs::path expectedFile = kData / (GetParam() + ".mtext");
    ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile;
    std::string expected = ReadFile(expectedFile);
    if (expected.ends_with("\n"))
        expected.pop_back();
    std::string content = cadhost::text::RtfToMText(ReadFile(kData / (GetParam() + ".rtf")));
    EXPECT_EQ(content, expected);
    auto reading = text_test::ReadMText(content);
    EXPECT_TRUE(reading.wellFormed) << reading.error;
}

INSTANTIATE_TEST_SUITE_P(Documents, TextRtfGolden, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(TextRtfGoldenFiles, AreThere) {
    EXPECT_GE(Cases().size(), 5u);
}

} // namespace
