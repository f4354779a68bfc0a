// The parser's plain text of every MText content in the DXF corpus against the plain text
// that ezdxf makes of it (tests/data/mtext, written by make_fixtures.py).
#include "text/mtextparse.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace cadhost::text;

namespace {

const std::filesystem::path kFixtures =
    std::filesystem::path(RIVLET_SOURCE_DIR) / "tests" / "data" / "mtext";

struct Sample {
    std::string contents;
    std::string plain;
};

// Reads "tag <length>\n<bytes>\n" records.
std::vector<Sample> ReadFixture(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Sample> samples;
    std::size_t pos = 0;
    auto block = [&](const std::string& tag, std::string& out) {
        std::size_t eol = data.find('\n', pos);
        if (eol == std::string::npos || data.compare(pos, tag.size() + 1, tag + " ") != 0)
            return false;
        std::size_t length =
            std::stoul(data.substr(pos + tag.size() + 1, eol - pos - tag.size() - 1));
        if (eol + 1 + length + 1 > data.size())
            return false;
        out = data.substr(eol + 1, length);
        pos = eol + 1 + length + 1;
        return true;
    };
    while (pos < data.size() && data[pos] == '#')
        pos = data.find('\n', pos) + 1;
    while (pos < data.size()) {
        Sample sample;
        if (!block("content", sample.contents) || !block("plain", sample.plain)) {
            ADD_FAILURE() << file << ": bad record at byte " << pos;
            break;
        }
        samples.push_back(std::move(sample));
    }
    return samples;
}

// ezdxf's plain text writes tabs as four spaces and the non-breaking space as a space, and
// leaves out a last paragraph that is empty; the comparison follows it there.
std::string AsEzdxfWrites(ParsedMText parsed) {
    if (!parsed.paragraphs.empty() && parsed.paragraphs.back().runs.empty())
        parsed.paragraphs.pop_back();
    std::string plain = PlainText(parsed);
    std::string out;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '\t')
            out += "    ";
        else if (plain.compare(i, 2, "\xC2\xA0") == 0) {
            out += ' ';
            ++i;
        } else
            out += plain[i];
    }
    return out;
}

class MTextCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(MTextCorpus, PlainTextMatchesEzdxf) {
    std::vector<Sample> samples = ReadFixture(kFixtures / (GetParam() + ".txt"));
    ASSERT_FALSE(samples.empty());
    for (const Sample& sample : samples)
        EXPECT_EQ(AsEzdxfWrites(ParseMText(sample.contents, 2.5, "Arial")), sample.plain)
            << "content: " << sample.contents;
}

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kFixtures))
        if (entry.path().extension() == ".txt")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Drawings, MTextCorpus, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(MTextCorpusFixtures, AllDrawingsWithMTextAreThere) {
    // The generator writes one file per drawing that has MText; the corpus has eleven.
    EXPECT_EQ(FixtureNames().size(), 11u);
}

} // namespace
