// The control words the Rich Text reader knows by name.
#include "text/rtfkeywords.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

namespace {

using cadhost::text::LookupRtfKeyword;
using cadhost::text::RtfKeyword;
using cadhost::text::RtfKeywordNames;

// What the lookup must answer, from the list of names it is built from.
std::map<std::string, RtfKeyword> Reference() {
    std::map<std::string, RtfKeyword> names;
    for (const auto& [name, keyword] : RtfKeywordNames())
        names.emplace(std::string(name), keyword);
    return names;
}

TEST(TextRtfKeywords, EveryNameFindsItsKeyword) {
    auto names = RtfKeywordNames();
    EXPECT_GT(names.size(), 250u);
    std::set<std::string_view> seen;
    for (const auto& [name, keyword] : names) {
        EXPECT_TRUE(seen.insert(name).second) << name << " is listed twice";
        EXPECT_EQ(LookupRtfKeyword(name), keyword) << name;
        EXPECT_NE(keyword, RtfKeyword::Unknown) << name;
    }
    EXPECT_EQ(LookupRtfKeyword("par"), RtfKeyword::Par);
    EXPECT_EQ(LookupRtfKeyword("u"), RtfKeyword::Unicode);
    EXPECT_EQ(LookupRtfKeyword("ud"), RtfKeyword::UnicodeVersion);
    EXPECT_EQ(LookupRtfKeyword("uc"), RtfKeyword::UnicodeSkip);
    EXPECT_EQ(LookupRtfKeyword("pict"), RtfKeyword::SkippedDestination);
    EXPECT_EQ(LookupRtfKeyword("colorschememapping"), RtfKeyword::SkippedDestination);
    EXPECT_EQ(LookupRtfKeyword("ulthdashdd"), RtfKeyword::Underline);
}

TEST(TextRtfKeywords, OtherNamesAreUnknown) {
    for (std::string_view name :
         {"", "PAR", "Par", "pa", "parx", "insrsid", "rsid", "widctlpar", "aspalpha", "pictx",
          "colorschememappin", "colorschememappings", "abcdefghijklmnopqrstuvwxyzabcdefgh"})
        EXPECT_EQ(LookupRtfKeyword(name), RtfKeyword::Unknown) << name;
    // A view into a longer text is read for its own letters only.
    std::string_view text = "pardplain";
    EXPECT_EQ(LookupRtfKeyword(text.substr(0, 4)), RtfKeyword::ParagraphDefault);
    EXPECT_EQ(LookupRtfKeyword(text.substr(4)), RtfKeyword::Plain);
    EXPECT_EQ(LookupRtfKeyword(text.substr(0, 3)), RtfKeyword::Par);
}

TEST(TextRtfKeywords, NamesNearKnownOnesAndRandomOnesAgreeWithTheList) {
    auto reference = Reference();
    auto expect = [&](const std::string& name) {
        auto found = reference.find(name);
        RtfKeyword wanted = found == reference.end() ? RtfKeyword::Unknown : found->second;
        EXPECT_EQ(LookupRtfKeyword(name), wanted) << name;
    };
    for (const auto& [name, keyword] : reference) {
        // One letter fewer, more or changed: a neighbour that is itself a word must give
        // its own keyword, every other one none.
        for (std::size_t i = 0; i < name.size(); ++i) {
            expect(name.substr(0, i) + name.substr(i + 1));
            for (char c : std::string("aenrtxz")) {
                std::string changed = name;
                changed[i] = c;
                expect(changed);
            }
        }
        for (char c : std::string("abdnrst"))
            expect(name + c);
    }
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        std::string name(1 + random() % 24, 'a');
        for (char& c : name)
            c = static_cast<char>('a' + random() % 26);
        expect(name);
    }
}

} // namespace
