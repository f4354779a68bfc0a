// Layout of large contents: the layout without runs and the layout line by line give exactly
// the lines of the full layout; the work of laying out (advances looked up, glyphs copied,
// lines finished) grows in step with the content, for ordinary paragraphs and for one word far
// longer than its box, which is still broken between characters as before.
#include "text/mtextflow.h"
#include "text/mtextlayout.h"
#include "text/mtextmeasure.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace cadhost::text;

namespace {

constexpr double kHeight = 0.25;

// Paragraphs of ordinary words with now and then a size, colour or font group, a stack, a tab,
// an over-long word, and centred and right-aligned paragraphs.
std::string Paragraphs(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const words[] = {"the",   "contractor", "shall",       "provide",
                                        "joint", "sealant",    "caf\xC3\xA9", "\xE6\x97\xA5"};
    std::string out;
    while (out.size() < size) {
        switch (pick(6)) {
        case 0:
            out += "\\P\\pxqc;";
            break;
        case 1:
            out += "\\P\\pxqr;";
            break;
        case 2:
            out += "\\P\\pi-2,l2,t2;1.^I";
            break;
        default:
            out += "\\P\\pxql;";
            break;
        }
        int count = 5 + pick(40);
        for (int w = 0; w < count; ++w) {
            switch (pick(20)) {
            case 0:
                out += "{\\H0.7x;\\C1;small red} ";
                break;
            case 1:
                out += "{\\fTimes New Roman|b1;bold} ";
                break;
            case 2:
                out += "\\S1/2; ";
                break;
            case 3:
                out += std::string(40 + pick(30), 'm') + " ";
                break;
            default:
                out += words[pick(8)];
                out += ' ';
                break;
            }
        }
    }
    return out;
}

enum class Compare { Extents, Runs, RunsWithoutLetters };

void ExpectSameLine(const LaidOutLine& a, const LaidOutLine& b, Compare what,
                    const std::string& where) {
    EXPECT_EQ(a.top, b.top) << where;
    EXPECT_EQ(a.baseline, b.baseline) << where;
    EXPECT_EQ(a.height, b.height) << where;
    EXPECT_EQ(a.pitch, b.pitch) << where;
    EXPECT_EQ(a.left, b.left) << where;
    EXPECT_EQ(a.right, b.right) << where;
    EXPECT_EQ(a.shows, b.shows) << where;
    if (what == Compare::Extents) {
        EXPECT_TRUE(a.runs.empty()) << where;
        return;
    }
    ASSERT_EQ(a.runs.size(), b.runs.size()) << where;
    for (std::size_t r = 0; r < a.runs.size(); ++r) {
        const LaidOutRun &x = a.runs[r], &y = b.runs[r];
        EXPECT_EQ(x.x, y.x) << where;
        EXPECT_EQ(x.width, y.width) << where;
        EXPECT_EQ(x.baseline, y.baseline) << where;
        EXPECT_TRUE(x.format == y.format) << where;
        EXPECT_EQ(x.lower, y.lower) << where;
        bool letters = what == Compare::Runs || x.kind == LaidOutRun::Kind::Stack;
        EXPECT_EQ(x.text, letters ? y.text : std::string()) << where;
        EXPECT_EQ(x.charX, what == Compare::Runs ? y.charX : std::vector<double>()) << where;
    }
}

TEST(MTextLayoutLarge, ExtentsAndLineByLineGiveTheLinesOfTheFullLayout) {
    const std::string content = Paragraphs(12 * 1024, 3);
    for (double width : {0.0, 2.0, 12.0}) {
        const std::string at = "width " + std::to_string(width);
        MTextLayout full = LayOutMText(content, kHeight, width, "Arial");
        MTextLayout extents = LayOutMTextExtents(content, kHeight, width, "Arial");
        ASSERT_GT(full.lines.size(), 20u) << at;
        EXPECT_EQ(extents.height, full.height) << at;
        EXPECT_EQ(extents.width, full.width) << at;
        EXPECT_EQ(extents.alignWidth, full.alignWidth) << at;
        EXPECT_EQ(extents.fonts.size(), full.fonts.size()) << at;
        ASSERT_EQ(extents.lines.size(), full.lines.size()) << at;

        std::size_t shown = 0, shifted = 0;
        for (bool letters : {true, false}) {
            std::size_t index = 0;
            ForEachMTextLine(
                content, kHeight, width, "Arial", extents,
                [&](const LaidOutLine& line) {
                    ASSERT_LT(index, full.lines.size()) << at;
                    const std::string where = at + ", line " + std::to_string(index);
                    const LaidOutLine& expected = full.lines[index];
                    ExpectSameLine(line, expected,
                                   letters ? Compare::Runs : Compare::RunsWithoutLetters, where);
                    ExpectSameLine(extents.lines[index], expected, Compare::Extents, where);
                    EXPECT_EQ(expected.shows, !expected.runs.empty()) << where;
                    shown += letters && expected.shows;
                    // centred or right-aligned
                    shifted += letters && expected.shows && expected.left > 2.5;
                    ++index;
                },
                letters);
            EXPECT_EQ(index, full.lines.size()) << at;
        }
        EXPECT_GT(shown, full.lines.size() / 2) << at;
        // Text that is not wrapped has its centred and right-aligned lines moved into the
        // widest line, line by line too.
        if (width == 0.0) {
            EXPECT_GT(full.alignWidth, 10.0);
            EXPECT_GT(shifted, 5u);
        }
    }
    // Nothing to lay out: no lines, however asked.
    int calls = 0;
    ForEachMTextLine("text", 0.0, 5.0, "Arial", MTextLayout{},
                     [&](const LaidOutLine&) { ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(LayOutMTextExtents("text", -1.0, 5.0).lines.empty());
}

// The flow's work for one layout of `content`.
MTextFlowWork WorkOf(const std::string& content, double width, bool lineByLine) {
    MTextFlowWork before = MTextFlowWorkDone();
    if (lineByLine) {
        MTextLayout extents = LayOutMTextExtents(content, kHeight, width, "Arial");
        ForEachMTextLine(content, kHeight, width, "Arial", extents, [](const LaidOutLine&) {});
    } else {
        LayOutMText(content, kHeight, width, "Arial");
    }
    MTextFlowWork after = MTextFlowWorkDone();
    return {after.advances - before.advances, after.glyphCopies - before.glyphCopies,
            after.lines - before.lines};
}

// Every figure of the work on twice the content at most a little over twice that on once.
void ExpectWorkInStep(const std::string& once, const std::string& twice, double width,
                      bool lineByLine, const std::string& what) {
    MTextFlowWork small = WorkOf(once, width, lineByLine);
    MTextFlowWork large = WorkOf(twice, width, lineByLine);
    ASSERT_GT(small.advances, 0u) << what;
    ASSERT_GT(small.lines, 0u) << what;
    EXPECT_LE(large.advances, 2 * small.advances + 64) << what;
    EXPECT_LE(large.glyphCopies, 2 * small.glyphCopies + 64) << what;
    EXPECT_LE(large.lines, 2 * small.lines + 2) << what;
    // Each character is looked up and copied into its line about once (stacks look up
    // their parts; the two layouts of the line-by-line way each do it once).
    const double passes = lineByLine ? 2.0 : 1.0;
    EXPECT_LE(static_cast<double>(large.advances), 1.2 * passes * twice.size()) << what;
    EXPECT_LE(static_cast<double>(large.glyphCopies), 1.2 * passes * twice.size()) << what;
}

TEST(MTextLayoutLarge, WorkGrowsInStepWithTheContent) {
    const std::string paragraphs = Paragraphs(64 * 1024, 5);
    for (double width : {0.0, 12.0}) {
        for (bool lineByLine : {false, true}) {
            ExpectWorkInStep(paragraphs, paragraphs + paragraphs, width, lineByLine,
                             "paragraphs, width " + std::to_string(width) +
                                 (lineByLine ? ", line by line" : ""));
        }
    }
    // One word far longer than its box, broken between characters on every line.
    for (double width : {2.0, 0.05}) {
        ExpectWorkInStep(std::string(50000, 'w'), std::string(100000, 'w'), width, false,
                         "long word, width " + std::to_string(width));
    }
    // Measuring reads the content once.
    MTextMeasurer measurer;
    MTextFlowWork before = MTextFlowWorkDone();
    measurer.measure(std::string(100000, 'w'), kHeight, 2.0, "Arial");
    EXPECT_LE(MTextFlowWorkDone().advances - before.advances, 100000u);
}

TEST(MTextLayoutLarge, LongWordInASmallBoxIsBrokenBetweenCharacters) {
    const std::size_t letters = 200000;
    const std::string word(letters, 'w');
    const double width = 2.0, height = 0.2;
    MTextLayout layout = LayOutMText(word, height, width, "Arial");
    ASSERT_GT(layout.lines.size(), 1000u);
    const LaidOutLine& first = layout.lines.front();
    ASSERT_EQ(first.runs.size(), 1u);
    const std::size_t perLine = first.runs[0].text.size();
    // As many letters as fit: one more would pass the box's edge.
    ASSERT_GT(perLine, 1u);
    const double advance = first.runs[0].charX[1] - first.runs[0].charX[0];
    EXPECT_LE(first.runs[0].width, width);
    EXPECT_GT(first.runs[0].width + advance, width);
    EXPECT_EQ(layout.lines.size(), (letters + perLine - 1) / perLine);

    std::size_t total = 0;
    double top = 0.0;
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const LaidOutLine& line = layout.lines[i];
        ASSERT_EQ(line.runs.size(), 1u) << "line " << i;
        const LaidOutRun& run = line.runs[0];
        EXPECT_EQ(run.x, 0.0) << "line " << i;
        if (i + 1 < layout.lines.size()) {
            EXPECT_EQ(run.text.size(), perLine) << "line " << i;
        } else {
            EXPECT_GE(run.text.size(), 1u);
            EXPECT_LE(run.text.size(), perLine);
        }
        EXPECT_EQ(run.text.find_first_not_of('w'), std::string::npos) << "line " << i;
        EXPECT_EQ(run.charX.size(), run.text.size()) << "line " << i;
        EXPECT_DOUBLE_EQ(line.top, top) << "line " << i;
        top -= line.pitch;
        total += run.text.size();
    }
    EXPECT_EQ(total, letters);
    EXPECT_EQ(MeasureMTextHeight(word, height, width, "Arial"), layout.height);
}

} // namespace
