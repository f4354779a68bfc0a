// Line layout with Liberation Sans (Arial's stand-in): wrap positions, tabs, indents,
// alignment and the measured height, checked against advances that FreeType gives for the
// font file fontconfig picks, read here without the engine.
#include "text/mtextlayout.h"
#include "text/mtextmeasure.h"
#include "text_layout_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace cadhost::text;

namespace {

constexpr double kTiny = 1e-4; // far above float rounding of advances, far below a glyph

class TextLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_file = layout_test::FcMatchFile("Liberation Sans");
        s_probe = std::make_unique<layout_test::FreeTypeProbe>(s_file);
        s_cap = layout_test::CapHeightPerEm(s_file);
    }
    static void TearDownTestSuite() { s_probe.reset(); }
    void SetUp() override {
        if (!s_probe->ok() || s_cap <= 0.0)
            GTEST_SKIP() << "Liberation Sans is not installed (fonts-liberation)";
    }

    // The width of ASCII text at text height h: the height is the capitals' height, so the
    // font's em is h / (cap height per em).
    static double W(const std::string& text, double h = 1.0) {
        return s_probe->width(text) * h / s_cap;
    }

    static std::vector<std::string> LineTexts(const MTextLayout& layout) {
        std::vector<std::string> texts;
        for (const LaidOutLine& line : layout.lines) {
            std::string text;
            for (const LaidOutRun& run : line.runs)
                text += (text.empty() ? "" : "|") + run.text;
            texts.push_back(text);
        }
        return texts;
    }

    static const LaidOutRun& Run(const MTextLayout& layout, const std::string& text) {
        for (const LaidOutLine& line : layout.lines)
            for (const LaidOutRun& run : line.runs)
                if (run.text == text)
                    return run;
        throw std::runtime_error("no run \"" + text + "\"");
    }

    static inline std::string s_file;
    static inline std::unique_ptr<layout_test::FreeTypeProbe> s_probe;
    static inline double s_cap = 0.0;
};

TEST_F(TextLayout, WrapsAtTheLastSpaceThatFits) {
    const std::string text = "alpha beta gamma delta";
    MTextLayout roomy = LayOutMText(text, 1.0, W("alpha beta") + kTiny);
    ASSERT_GE(roomy.lines.size(), 2u);
    EXPECT_EQ(LineTexts(roomy)[0], "alpha beta");
    // The second word sits one space after the first, glyph by glyph as FreeType says.
    const LaidOutRun& first = roomy.lines[0].runs.at(0);
    EXPECT_NEAR(first.charX.at(6), W("alpha "), kTiny);
    EXPECT_NEAR(first.width, W("alpha beta"), kTiny);

    MTextLayout tight = LayOutMText(text, 1.0, W("alpha beta") - kTiny);
    EXPECT_EQ(LineTexts(tight)[0], "alpha");
    EXPECT_EQ(LineTexts(tight)[1].rfind("beta", 0), 0u);

    // Spaces at the end of a line hang past the edge instead of wrapping.
    EXPECT_EQ(LayOutMText("alpha     ", 1.0, W("alpha") + kTiny).lines.size(), 1u);
}

TEST_F(TextLayout, WordLongerThanTheWidthBreaksBetweenCharacters) {
    MTextLayout layout = LayOutMText("xy mmmmmmmmmm", 1.0, W("mmmm") + kTiny);
    EXPECT_EQ(LineTexts(layout), (std::vector<std::string>{"xy", "mmmm", "mmmm", "mm"}));
    // Narrower than one character: still one character per line, and an end.
    EXPECT_EQ(LayOutMText("abc", 1.0, 0.01).lines.size(), 3u);
}

TEST_F(TextLayout, WidthZeroDoesNotWrap) {
    std::string longText;
    for (int i = 0; i < 200; ++i)
        longText += "word ";
    EXPECT_EQ(LayOutMText(longText, 1.0, 0.0).lines.size(), 1u);
    EXPECT_EQ(LayOutMText(longText + "\\Pnext", 1.0, 0.0).lines.size(), 2u);
    EXPECT_GT(LayOutMText(longText, 1.0, 10.0).lines.size(), 10u);
}

TEST_F(TextLayout, TabsJumpToTheNextStop) {
    const double h = 0.25;
    // No stops set: every 4 text heights.
    EXPECT_NEAR(Run(LayOutMText("a^Ib", h, 0.0), "b").x, 4 * h, 1e-12);
    ASSERT_GT(W("mmmm", h), 4 * h);
    ASSERT_LT(W("mmmm", h), 8 * h);
    EXPECT_NEAR(Run(LayOutMText("mmmm\tb", h, 0.0), "b").x, 8 * h, 1e-12);
    // Stops in text heights; past the last one the default stops go on.
    MTextLayout set = LayOutMText("\\pt2,5;a^Ib^Ic^Id", h, 0.0);
    EXPECT_NEAR(Run(set, "b").x, 2 * h, 1e-12);
    EXPECT_NEAR(Run(set, "c").x, 5 * h, 1e-12);
    EXPECT_NEAR(Run(set, "d").x, 8 * h, 1e-12);
    // A tab stop past the right edge moves the tab to the next line.
    ASSERT_GT(W("abcdefgh", h), h);
    MTextLayout wrapped = LayOutMText("\\pt1,30;abcdefgh^Ic", h, 20 * h);
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_NEAR(Run(wrapped, "c").x, 1 * h, 1e-12);
}

TEST_F(TextLayout, HangingIndentPutsTheTextAtTheLeftIndent) {
    const double h = 0.25;
    const std::string item = "1.^Itext that runs on to a second line";
    double width = 2 * h + W("text that runs", h) + kTiny;
    for (const std::string& codes : {std::string("\\pi-2,l2,t2;"), std::string("\\pi-2,l2;")}) {
        MTextLayout layout = LayOutMText(codes + item, h, width);
        ASSERT_GE(layout.lines.size(), 2u) << codes;
        EXPECT_NEAR(Run(layout, "1.").x, 0.0, 1e-12) << codes;
        EXPECT_EQ(layout.lines[0].runs.at(1).text, "text that runs") << codes;
        EXPECT_NEAR(layout.lines[0].runs.at(1).x, 2 * h, 1e-12) << codes;
        EXPECT_NEAR(layout.lines[1].runs.at(0).x, 2 * h, 1e-12) << codes;
    }
}

TEST_F(TextLayout, IndentsNarrowTheLines) {
    const double h = 1.0;
    MTextLayout first = LayOutMText("\\pi3;one two\\Pthree", h, W("one two") + 3 * h + kTiny);
    EXPECT_EQ(LineTexts(first), (std::vector<std::string>{"one two", "three"}));
    EXPECT_NEAR(first.lines[0].runs[0].x, 3 * h, 1e-12);
    EXPECT_NEAR(first.lines[1].runs[0].x, 3 * h, 1e-12); // each paragraph's first line

    MTextLayout left = LayOutMText("\\pl2;one two", h, W("one") + 2 * h + kTiny);
    EXPECT_EQ(LineTexts(left), (std::vector<std::string>{"one", "two"}));
    EXPECT_NEAR(left.lines[1].runs[0].x, 2 * h, 1e-12);

    // The right indent takes room from the right edge.
    double width = W("one two") + kTiny;
    EXPECT_EQ(LayOutMText("one two", h, width).lines.size(), 1u);
    EXPECT_EQ(LayOutMText("\\pr1;one two", h, width).lines.size(), 2u);
}

TEST_F(TextLayout, EachParagraphWrapsAtItsOwnRightIndent) {
    // Narrow, wide, narrow again: each paragraph takes its right edge from its own format, also
    // when a measure resumes from a point in an earlier paragraph.
    const double h = 1.0;
    const double width = W("one two") + kTiny;
    const std::string content = "\\pr1;one two\\P\\pr0;one two\\P\\pr1;one two\\P\\pr0;one two";
    MTextLayout layout = LayOutMText(content, h, width);
    EXPECT_EQ(LineTexts(layout),
              (std::vector<std::string>{"one", "two", "one two", "one", "two", "one two"}));

    MTextMeasurer measurer;
    std::string grown;
    for (std::size_t at = 0; at < content.size();) {
        std::size_t next = content.find("\\P", at + 1);
        next = next == std::string::npos ? content.size() : next;
        grown += content.substr(at, next - at);
        at = next;
        EXPECT_EQ(measurer.measure(grown, h, width, "Arial"), LayOutMText(grown, h, width).height)
            << grown;
    }
    EXPECT_EQ(measurer.measure(content, h, width, "Arial"), layout.height);
    EXPECT_NEAR(layout.height, (5 * 5.0 / 3.0 + 1.0) * h, 1e-12);
}

TEST_F(TextLayout, ParagraphAlignment) {
    const double width = 10.0;
    EXPECT_NEAR(Run(LayOutMText("\\pxqc;ab", 1.0, width), "ab").x, (width - W("ab")) / 2, kTiny);
    EXPECT_NEAR(Run(LayOutMText("\\pxqr;ab", 1.0, width), "ab").x, width - W("ab"), kTiny);
    // Without a width, lines align within the widest one.
    MTextLayout unwrapped = LayOutMText("abcdef\\P\\pxqr;ab", 1.0, 0.0);
    EXPECT_NEAR(Run(unwrapped, "ab").x, W("abcdef") - W("ab"), kTiny);
}

TEST_F(TextLayout, WidthFactorAndTrackingScaleAdvances) {
    EXPECT_NEAR(Run(LayOutMText("\\W2;ab", 1.0, 0.0), "ab").width, 2 * W("ab"), kTiny);
    EXPECT_NEAR(Run(LayOutMText("\\T1.5;ab", 1.0, 0.0), "ab").width, 1.5 * W("ab"), kTiny);
    EXPECT_NEAR(Run(LayOutMText("\\H2;ab", 1.0, 0.0), "ab").width, W("ab", 2.0), kTiny);
}

TEST_F(TextLayout, HeightOfLines) {
    const double h = 0.25, pitch = 5.0 / 3.0 * h;
    auto height = [&](const std::string& contents) {
        return MeasureMTextHeight(contents, h, 20.0, "Arial");
    };
    EXPECT_DOUBLE_EQ(height("one"), h);
    EXPECT_DOUBLE_EQ(height("one\\Ptwo\\Pthree"), 2 * pitch + h);
    EXPECT_DOUBLE_EQ(height("one^Jtwo"), pitch + h);
    EXPECT_DOUBLE_EQ(height("one\\P"), pitch + h); // the empty last line counts
    EXPECT_DOUBLE_EQ(height("one\\P\\Ptwo"), 2 * pitch + h);
    EXPECT_DOUBLE_EQ(height(""), 0.0);
    EXPECT_DOUBLE_EQ(height("{\\C1;\\H3;}"), 0.0);
    EXPECT_DOUBLE_EQ(height(" "), h);
    // The tallest text of a line sets its height and its pitch.
    EXPECT_DOUBLE_EQ(height("a{\\H0.5;b}c\\Pd"), 5.0 / 3.0 * 0.5 + h);
    EXPECT_DOUBLE_EQ(height("a\\P{\\H0.5;b}"), pitch + 0.5);
    // An empty line takes the height in force where it ends.
    EXPECT_DOUBLE_EQ(height("a\\P\\H0.5;\\Pb"), pitch + 5.0 / 3.0 * 0.5 + 0.5);
    // Line spacing: a multiple, and an "at least" of the entity's own pitch.
    EXPECT_DOUBLE_EQ(height("\\pxsm2;a\\Pb"), 2 * pitch + h);
    EXPECT_DOUBLE_EQ(height("\\pxsa2;{\\H0.1;a}\\Pb"), 2 * pitch + h);
    EXPECT_DOUBLE_EQ(height("\\pxsa0.5;{\\H1;a}\\Pb"), 5.0 / 3.0 + h);
    // Wrapped lines count like broken ones, and the layout agrees with the measure.
    double widest = std::max({W("alpha", h), W("beta", h), W("gamma", h)});
    MTextLayout wrapped = LayOutMText("alpha beta gamma", h, widest + kTiny);
    ASSERT_EQ(wrapped.lines.size(), 3u);
    EXPECT_DOUBLE_EQ(wrapped.height, 2 * pitch + h);
    EXPECT_DOUBLE_EQ(wrapped.lines[2].baseline, -(2 * pitch + h));
    // Not a height: nothing to measure.
    EXPECT_DOUBLE_EQ(MeasureMTextHeight("one", 0.0, 20.0, "Arial"), 0.0);
    EXPECT_DOUBLE_EQ(MeasureMTextHeight("one", std::nan(""), 20.0, "Arial"), 0.0);
}

TEST_F(TextLayout, FontsResolveToTheirStandIns) {
    auto face = [](const std::string& contents) {
        MTextLayout layout = LayOutMText(contents, 1.0, 0.0);
        return layout.faces.at(layout.lines.at(0).runs.at(0).format.font);
    };
    auto fcFamily = [](const std::string& pattern) {
        std::string out;
        if (FILE* pipe = ::popen(("fc-match -f '%{family[0]}' '" + pattern + "'").c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, pipe))
                out += buffer;
            ::pclose(pipe);
        }
        return out;
    };
    EXPECT_EQ(face("x").family, fcFamily("Arial"));
    EXPECT_EQ(face("\\fTimes New Roman|b1|i0;x").family, fcFamily("Times New Roman"));
    EXPECT_TRUE(face("\\fTimes New Roman|b1|i0;x").bold);
    EXPECT_TRUE(face("\\fCourier New|b0|i1;x").italic);
    EXPECT_EQ(face("\\fCourier New;x").family, fcFamily("Courier New"));
    // The file measured, which a window draws the glyphs from.
    auto fcFile = [&](const std::string& pattern) {
        std::string out;
        if (FILE* pipe = ::popen(("fc-match -f '%{file}' '" + pattern + "'").c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, pipe))
                out += buffer;
            ::pclose(pipe);
        }
        return out;
    };
    EXPECT_EQ(face("x").file, fcFile("Arial"));
    EXPECT_EQ(face("\\fTimes New Roman|b1|i0;x").file, fcFile("Times New Roman:bold"));
    // A family that is not installed still measures, with a sans font.
    LaidOutFace unknown = face("\\fNo Such Family 123;x");
    EXPECT_FALSE(unknown.family.empty());
    EXPECT_EQ(unknown.family, fcFamily("sans-serif"));
    EXPECT_GT(LayOutMText("\\fNo Such Family 123;x", 1.0, 0.0).lines[0].runs[0].width, 0.0);
}

} // namespace
