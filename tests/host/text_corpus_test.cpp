// Real documents: every Rich Text file of the shared corpus must give well-formed MText
// content holding, word for word, the text LibreOffice reads from the same file.
//
// The comparison leaves white space aside (programs break lines and separate table cells
// differently) and counts any bullet glyph as the same bullet.  Where our reading differs
// from LibreOffice's on purpose, tests/data/rtf/corpus_deviations.txt lists each differing
// place with the reason, and the comparison expects exactly those differences.
//
// As a side effect the test leaves each file's content in <build>/text-mtext/ for
// tests/host/text_ezdxf_check.py, which has ezdxf parse it.
#include "corpus.h"
#include "text/plaintextwriter.h"
#include "text/rtfconvert.h"
#include "text/utf8.h"
#include "text_mtext_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using cadhost::text::NextUtf8;

using rivlet_test::CorpusDir;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsSpace(char32_t c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F) || c == 0x85 ||
           c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsBullet(char32_t c) {
    return c == 0x2022 || c == 0x25CF || c == 0x25CB || c == 0x25E6 || c == 0x25AA || c == 0x25A0 ||
           c == 0x00B7 || c == 0xF0B7 || c == 0xF0A7;
}

std::vector<std::string> Words(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string> words;
    std::string word;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t start = pos;
        char32_t c = NextUtf8(text, pos);
        if (IsSpace(c)) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
            continue;
        }
        word.append(text.substr(start, pos - start));
    }
    if (!word.empty())
        words.push_back(std::move(word));
    for (auto& w : words) {
        std::size_t at = 0;
        if (IsBullet(NextUtf8(w, at)) && at == w.size())
            w = "\u2022";
    }
    return words;
}

// One place where two word sequences differ: these reference words stand where ours have
// those.
struct Hunk {
    std::vector<std::string> reference, ours;
    bool operator==(const Hunk&) const = default;
};

std::string Join(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

std::string Describe(const std::vector<Hunk>& hunks) {
    std::string text;
    for (const auto& hunk : hunks)
        text += "  " + Join(hunk.reference) + " => " + Join(hunk.ours) + "\n";
    return text;
}

// tests/data/rtf/corpus_deviations.txt: "[name] reason" opens a file's entry, each
// "reference words => our words" line below it is one expected difference.
std::map<std::string, std::vector<Hunk>> LoadDeviations() {
    std::map<std::string, std::vector<Hunk>> deviations;
    std::istringstream lines(
        ReadFile(fs::path(RIVLET_SOURCE_DIR) / "tests/data/rtf/corpus_deviations.txt"));
    std::string line, current;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            deviations[current];
            continue;
        }
        auto arrow = line.find(" => ");
        if (arrow == std::string::npos || current.empty())
            continue;
        deviations[current].push_back(
            {Words(line.substr(0, arrow)), Words(line.substr(arrow + 4))});
    }
    return deviations;
}

// The places where two word sequences differ.  After a mismatch both sides are searched,
// nearest first, for the point where they agree again; real differences
// are a few words long, so a window of 64 words each way is plenty (a longer difference
// shows as one hunk that runs to the end).
std::vector<Hunk> Differences(const std::vector<std::string>& reference,
                              const std::vector<std::string>& ours) {
    constexpr std::size_t kWindow = 64;
    std::vector<Hunk> hunks;
    std::size_t a = 0, b = 0;
    auto agree = [&](std::size_t i, std::size_t j) {
        if (i >= reference.size() || j >= ours.size())
            return i >= reference.size() && j >= ours.size();
        return reference[i] == ours[j];
    };
    while (a < reference.size() || b < ours.size()) {
        if (a < reference.size() && b < ours.size() && reference[a] == ours[b]) {
            ++a, ++b;
            continue;
        }
        std::size_t skipA = reference.size() - a, skipB = ours.size() - b;
        bool found = false;
        for (std::size_t total = 1; total <= 2 * kWindow && !found; ++total)
            for (std::size_t i = 0; i <= std::min(total, kWindow) && !found; ++i) {
                std::size_t j = total - i;
                if (j > kWindow || a + i > reference.size() || b + j > ours.size())
                    continue;
                if (agree(a + i, b + j)) {
                    skipA = i, skipB = j;
                    found = true;
                }
            }
        auto ra = reference.begin() + static_cast<std::ptrdiff_t>(a);
        auto ob = ours.begin() + static_cast<std::ptrdiff_t>(b);
        hunks.push_back({{ra, ra + static_cast<std::ptrdiff_t>(skipA)},
                         {ob, ob + static_cast<std::ptrdiff_t>(skipB)}});
        a += skipA, b += skipB;
    }
    return hunks;
}

std::string FirstDifference(const std::vector<std::string>& ours,
                            const std::vector<std::string>& expected) {
    std::size_t i = 0;
    while (i < ours.size() && i < expected.size() && ours[i] == expected[i])
        ++i;
    auto context = [&](const std::vector<std::string>& words) {
        std::string text;
        for (std::size_t k = i; k < words.size() && k < i + 8; ++k)
            text += words[k] + " ";
        return text;
    };
    return "word " + std::to_string(i) + " of " + std::to_string(ours.size()) + "/" +
           std::to_string(expected.size()) + "\n  ours:     " + context(ours) +
           "\n  expected: " + context(expected);
}

std::vector<std::string> CorpusNames(const char* folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(CorpusDir() / folder, error))
        if (entry.path().extension() == ".rtf")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class TextRtfCorpus : public testing::TestWithParam<std::string> {};

TEST_P(TextRtfCorpus, GivesWellFormedContentWithLibreOfficesWords) {
    const std::string& name = GetParam();
    std::string rtf = ReadFile(CorpusDir() / "rtf" / (name + ".rtf"));
    ASSERT_FALSE(rtf.empty());

    std::string content = cadhost::text::RtfToMText(rtf);
    auto reading = text_test::ReadMText(content);
    EXPECT_TRUE(reading.wellFormed) << reading.error;
    // The module cuts only at depth 0 and 1 below the outer group.
    EXPECT_LE(reading.maxDepth, 2);
    EXPECT_TRUE(content.starts_with("{\\f")) << content.substr(0, 40);
    EXPECT_TRUE(content.ends_with("}"));
    EXPECT_GE(reading.heightCodes, 1);
    // Every inner group starts with a font code, so that the piece the module cuts there
    // carries the group's whole formatting.
    for (std::size_t at = content.find('{', 1); at != std::string::npos;
         at = content.find('{', at + 1))
        if (content[at - 1] != '\\') {
            EXPECT_EQ(content.compare(at + 1, 2, "\\f"), 0) << content.substr(at, 40);
        }

    auto document = cadhost::text::ReadDocument(rtf);
    std::string visible = cadhost::text::WritePlainText(document);
    std::string all = cadhost::text::WritePlainText(document, {.includeHidden = true});
    // The content carries exactly the visible text of the document.
    auto contentWords = Words(reading.plain);
    auto visibleWords = Words(visible);
    EXPECT_EQ(contentWords, visibleWords) << FirstDifference(contentWords, visibleWords);

    // LibreOffice's text export keeps hidden text, so that is what it is compared with.
    static const auto deviations = LoadDeviations();
    auto reference = Words(ReadFile(CorpusDir() / "rtf-text" / (name + ".txt")));
    auto ours = Words(all);
    std::vector<Hunk> expected;
    if (auto found = deviations.find(name); found != deviations.end())
        expected = found->second;
    auto hunks = Differences(reference, ours);
    EXPECT_EQ(hunks, expected) << "LibreOffice's words => ours:\n"
                               << Describe(hunks) << "expected:\n"
                               << Describe(expected);

    const char* chosen = std::getenv("RIVLET_MTEXT_OUT"); // a folder of the caller's own
    fs::path out = chosen ? fs::path(chosen) : fs::path(RIVLET_BINARY_DIR) / "text-mtext";
    fs::create_directories(out);
    std::ofstream(out / (name + ".mtext"), std::ios::binary) << content;
    std::ofstream(out / (name + ".txt"), std::ios::binary) << visible;
}

INSTANTIATE_TEST_SUITE_P(Corpus, TextRtfCorpus, testing::ValuesIn(CorpusNames("rtf")), TestName);
// Without the corpus there are none; TextRtfCorpusFiles says that they are skipped.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TextRtfCorpus);

class TextRtfMalformed : public testing::TestWithParam<std::string> {};

TEST_P(TextRtfMalformed, StillGivesWellFormedContent) {
    std::string rtf = ReadFile(CorpusDir() / "rtf-malformed" / (GetParam() + ".rtf"));
    std::string content = cadhost::text::RtfToMText(rtf);
    if (rtf.empty()) {
        EXPECT_EQ(content, "");
        return;
    }
    auto reading = text_test::ReadMText(content);
    EXPECT_TRUE(reading.wellFormed) << reading.error << "\n" << content;
}

INSTANTIATE_TEST_SUITE_P(Corpus, TextRtfMalformed, testing::ValuesIn(CorpusNames("rtf-malformed")),
                         TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TextRtfMalformed);

TEST(TextRtfCorpusFiles, AreAllThere) {
    // Missing corpus files would make the parameterised tests vanish instead of fail; a
    // missing corpus skips them.
    SKIP_WITHOUT_CORPUS("rtf");
    SKIP_WITHOUT_CORPUS("rtf-malformed");
    EXPECT_EQ(CorpusNames("rtf").size(), 110u);
    EXPECT_EQ(CorpusNames("rtf-malformed").size(), 7u);
}

} // namespace
