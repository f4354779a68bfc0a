#include "win/cmdline.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Words = std::vector<std::string>;

struct SplitCase {
    const char* commandLine;
    Words words;
};

TEST(CommandLineSplit, FollowsTheWindowsRules) {
    const SplitCase cases[] = {
        {"", {}},
        {"prog a  b\tc ", {"prog", "a", "b", "c"}},
        {"prog \"a b\" c", {"prog", "a b", "c"}},
        {"prog \"\" \"\" x", {"prog", "", "", "x"}},
        {"prog a\"\"b", {"prog", "ab"}},
        {"prog \"unclosed quote", {"prog", "unclosed quote"}},
        // Backslashes are literal unless a double quote follows them.
        {"prog C:\\dir\\file a\\\\b", {"prog", "C:\\dir\\file", "a\\\\b"}},
        // 2n backslashes and a quote: n backslashes, the quote groups.
        {"prog a\\\\\\\\\"b c\" d", {"prog", "a\\\\b c", "d"}},
        // 2n+1 backslashes and a quote: n backslashes and a literal quote.
        {"prog a\\\\\\\"b c", {"prog", "a\\\"b", "c"}},
        {"prog \"ab\\\"c\" \"\\\\\" d", {"prog", "ab\"c", "\\", "d"}},
        // Inside quotes a doubled quote is one literal quote, and the group goes on.
        {"prog a\"b\"\" c d", {"prog", "ab\" c d"}},
        // The program name knows no escapes: the quote after the backslash ends it.
        {"\"C:\\Program Files\\dir\\\" next", {"C:\\Program Files\\dir\\", "next"}},
        {"\"C:\\My Tools\\ed.exe\"arg", {"C:\\My Tools\\ed.exe", "arg"}},
        {"ed\"it\" x", {"ed\"it\"", "x"}},
        {" a b", {"", "a", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win::SplitCommandLine(c.commandLine), c.words) << "[" << c.commandLine << "]";
}

TEST(CommandLineSplit, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(win::QuoteArgument("plain"), "plain");
    EXPECT_EQ(win::QuoteArgument("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(win::QuoteArgument(""), "\"\"");
    EXPECT_EQ(win::QuoteArgument("a b\\"), "\"a b\\\\\"");
    EXPECT_EQ(win::QuoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(win::JoinCommandLine({"C:\\My Tools\\", "x y"}), "\"C:\\My Tools\\\" \"x y\"");
    EXPECT_EQ(win::JoinCommandLine({""}), "\"\"");
}

TEST(CommandLineSplit, JoinAndSplitRoundTrip) {
    // Random words over the characters that matter to the rules; the program name takes no
    // quotes, which it cannot carry.
    const std::string alphabet = "ab \t\"\\";
    std::mt19937 random(20240611);
    auto word = [&](bool programName) {
        std::string w;
        std::size_t length = random() % 7;
        for (std::size_t i = 0; i < length; ++i) {
            char c = alphabet[random() % alphabet.size()];
            if (!(programName && c == '"'))
                w += c;
        }
        return w;
    };
    for (int round = 0; round < 3000; ++round) {
        Words words{word(true)};
        std::size_t count = random() % 5;
        for (std::size_t i = 0; i < count; ++i)
            words.push_back(word(false));
        std::string line = win::JoinCommandLine(words);
        ASSERT_EQ(win::SplitCommandLine(line), words) << "[" << line << "]";
    }
}

TEST(CommandLineSplit, ProgramNameLosesQuotesItCannotCarry) {
    EXPECT_EQ(win::SplitCommandLine(win::JoinCommandLine({"\"odd name", "x"})),
              (Words{"odd name", "x"}));
}

TEST(ProcessCommandLine, BuiltFromArgumentsWhenNotHandedDown) {
    const char* argv[] = {"/opt/my tools/prog", "a b", "c\"d", nullptr};
    win::SetProcessCommandLine(3, argv);
    std::string line = GetCommandLineA();
    EXPECT_EQ(line, "\"/opt/my tools/prog\" \"a b\" \"c\\\"d\"");
    EXPECT_EQ(win::SplitCommandLine(line), (Words{"/opt/my tools/prog", "a b", "c\"d"}));
}

TEST(ProcessCommandLine, IgnoresAHandedDownLineMeantForAnotherProcess) {
    // What a grandchild started by other means inherits: the pid is not its own.
    setenv(win::kCommandLineVariable, "1:not mine", 1);
    const char* argv[] = {"prog", "x", nullptr};
    win::SetProcessCommandLine(2, argv);
    EXPECT_STREQ(GetCommandLineA(), "prog x");
    EXPECT_EQ(getenv(win::kCommandLineVariable), nullptr);
}

TEST(ProcessCommandLine, TakesTheLineHandedDownToThisProcess) {
    std::string handed = std::to_string(getpid()) + ":prog  \"exact\"   spacing";
    setenv(win::kCommandLineVariable, handed.c_str(), 1);
    const char* argv[] = {"prog", "exact", "spacing", nullptr};
    win::SetProcessCommandLine(3, argv);
    EXPECT_STREQ(GetCommandLineA(), "prog  \"exact\"   spacing");
    EXPECT_EQ(getenv(win::kCommandLineVariable), nullptr);
}

} // namespace
