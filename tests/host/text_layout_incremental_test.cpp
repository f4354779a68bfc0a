// Incremental measuring: whatever order contents come in (grown piece by piece, cut back to
// a shorter one, replaced by another, grown byte by byte through the middle of codes and
// characters), every height equals the height measured from scratch, and growing reads only
// about what was added.
#include "text/mtextlayout.h"
#include "text/mtextmeasure.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace cadhost::text;

namespace {

constexpr double kHeight = 0.25;
constexpr double kWidth = 12.0;

// A construction-sheet content of about `size` bytes in the shape the Rich Text translation
// writes: headings, body paragraphs, hanging-indent list items, size and colour groups,
// stacks, tabs, and now and then a word too long for a line.
std::string SheetContent(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const words[] = {
        "the",     "contractor", "shall", "provide", "concrete",    "reinforced",  "joints",
        "sealant", "per",        "ASTM",  "C920",    "surfaces",    "clean",       "dry",
        "and",     "free",       "of",    "dust",    "caf\xC3\xA9", "\xE6\x97\xA5"};
    std::string out = "\\fArial|b0|i0|c0|p34;\\H1x;";
    int item = 1;
    while (out.size() < size) {
        switch (pick(6)) {
        case 0:
            out += "\\P\\fArial|b1|i0|c0|p34;SECTION " + std::to_string(pick(20)) +
                   "\\fArial|b0|i0|c0|p34;";
            break;
        case 1:
            out += "\\P\\pi-2,l2,t2;" + std::to_string(item++) + ".^I";
            break;
        case 2:
            out += "\\P\\pi0,l0,t;";
            break;
        default:
            out += "\\P";
            break;
        }
        int count = 10 + pick(60);
        for (int w = 0; w < count; ++w) {
            switch (pick(25)) {
            case 0:
                out += "{\\fTimes New Roman|b0|i1|c0|p18;\\H0.8x;emphasis} ";
                break;
            case 1:
                out += "{\\C1;\\L warning\\l} ";
                break;
            case 2:
                out += "\\S1/2; ";
                break;
            case 3:
                out += "^I";
                break;
            case 4:
                out += std::string(30 + pick(40), 'w') + " ";
                break;
            case 5:
                out += "90%%d\\~";
                break;
            default:
                out += words[pick(20)];
                out += ' ';
                break;
            }
        }
    }
    return out;
}

// Cut where the column layout cuts: before every paragraph break and font code.
std::vector<std::string> Pieces(const std::string& content) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t i = 1; i + 1 < content.size(); ++i) {
        if (content[i] == '\\' && (content[i + 1] == 'P' || content[i + 1] == 'f') &&
            content[i - 1] != '\\') {
            pieces.push_back(content.substr(start, i - start));
            start = i;
        }
    }
    pieces.push_back(content.substr(start));
    return pieces;
}

double FromScratch(const std::string& content, double height = kHeight, double width = kWidth,
                   const char* style = "Arial") {
    MTextMeasurer fresh;
    return fresh.measure(content, height, width, style);
}

TEST(MTextIncremental, GrowingPieceByPieceGivesTheHeightsOfMeasuringFromScratch) {
    std::string content = SheetContent(30 * 1024, 1);
    std::vector<std::string> pieces = Pieces(content);
    ASSERT_GT(pieces.size(), 100u);
    MTextMeasurer measurer;
    std::string grown;
    double previous = 0.0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        grown += pieces[i];
        double height = measurer.measure(grown, kHeight, kWidth, "Arial");
        ASSERT_EQ(height, FromScratch(grown)) << "after piece " << i;
        EXPECT_GE(height, previous);
        previous = height;
        // Only the piece and the last word before it (at most a long word and its codes)
        // are read again.
        if (i > 0) {
            EXPECT_LE(measurer.lastBytesRead(), pieces[i].size() + 160) << "piece " << i;
        }
        if (i % 25 == 0) {
            EXPECT_EQ(height, LayOutMText(grown, kHeight, kWidth, "Arial").height);
        }
    }
    EXPECT_EQ(grown, content);
    EXPECT_GT(previous, 50 * kHeight);
}

TEST(MTextIncremental, GrowingByteByByteThroughCodesAndCharacters) {
    // Every prefix, including those that end inside a code, an escape, a caret, a "%%" or a
    // multi-byte character, whose meaning the next byte changes.
    const std::string content =
        "{\\fArial|b1|i0;Head\\H1.5x;ing}\\P\\pi-2,l2,t2;1.^Ione two \\C1;three\\~four "
        "\\S12/34;five\\H2;big\\H0.5x;small{\\W2;wide}{\\T1.5;spaced} 100%%d caf\xC3\xA9 "
        "\xE6\x97\xA5\xE6\x9C\xAC\\\\back\\{brace\\} \\U+00B1 ^J^ x\tnext\\Pmmmmmmmmmmmmmmmmmmmm"
        "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm \\pxqc;centred words here\\P\\pxsm1.5;spaced out "
        "lines of text that wrap\\P\\P\\A1;{\\H0.3;a}b\\Lu\\l\\Oo\\o\\Kk\\kend";
    for (double width : {0.0, 2.0, 6.0}) {
        MTextMeasurer measurer;
        for (std::size_t cut = 0; cut <= content.size(); ++cut) {
            std::string prefix = content.substr(0, cut);
            ASSERT_EQ(measurer.measure(prefix, kHeight, width, "Arial"),
                      FromScratch(prefix, kHeight, width))
                << "width " << width << ", first " << cut << " bytes";
        }
    }
}

TEST(MTextIncremental, ShorterAndDifferentContentsMeasureRight) {
    // The column layout's order: a trial grows, falls back to the last content that fitted,
    // a new column starts with the rest, then a new trial grows from carried codes.
    std::string content = SheetContent(8 * 1024, 2);
    std::vector<std::string> pieces = Pieces(content);
    MTextMeasurer measurer;
    std::string trial;
    std::string fitted;
    auto check = [&](const std::string& text, const char* what) {
        ASSERT_EQ(measurer.measure(text, kHeight, kWidth, "Arial"), FromScratch(text)) << what;
    };
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        fitted = trial;
        trial += pieces[i];
        check(trial, "trial");
        if (i % 7 == 6) {
            check(fitted, "fitted");
            std::string rest;
            for (std::size_t j = i; j < pieces.size(); ++j)
                rest += pieces[j];
            check(rest, "rest");
            trial = "{\\fArial|b0|i0|c0|p34;\\H1x;\\pi-2,t2,l2;";
            check(trial, "carried codes");
        }
    }
    // Other parameters with the same contents, interleaved with the kept ones.
    check(trial, "again");
    EXPECT_EQ(measurer.measure(trial, 0.5, kWidth, "Arial"), FromScratch(trial, 0.5));
    EXPECT_EQ(measurer.measure(trial, kHeight, 4.0, "Arial"), FromScratch(trial, kHeight, 4.0));
    EXPECT_EQ(measurer.measure(trial, kHeight, kWidth, "Times New Roman"),
              FromScratch(trial, kHeight, kWidth, "Times New Roman"));
    check(trial + pieces[0], "grown after the others");
    // A change early in a long content: from scratch, and still right.
    std::string changed = content;
    changed[10] = 'X';
    check(content, "original");
    check(changed, "changed early");
    EXPECT_GT(measurer.lastBytesRead(), content.size() - 100);
}

TEST(MTextIncremental, AChangeAtAnyByteIsSeen) {
    // The kept content is compared in blocks and words: a change in any byte of a word, at
    // either end of a content or just past a block, must stop the resume before it.  A break
    // written over two letters of a line adds a line, which a resume past it would miss.
    std::string content;
    while (content.size() < 4096 + 64)
        content += "mmm nnn ";
    const double width = 1.5;
    const double whole = FromScratch(content, kHeight, width);
    std::vector<std::size_t> positions;
    for (std::size_t at = 0; at < 40; ++at)
        positions.push_back(at);
    for (std::size_t at = 4096 - 12; at < 4096 + 12; ++at)
        positions.push_back(at);
    for (std::size_t at = content.size() - 12; at + 2 <= content.size(); ++at)
        positions.push_back(at);
    MTextMeasurer measurer;
    int changedHeights = 0;
    for (std::size_t at : positions) {
        std::string changed = content;
        changed.replace(at, 2, "\\P");
        ASSERT_EQ(measurer.measure(content, kHeight, width, "Arial"), whole);
        double height = measurer.measure(changed, kHeight, width, "Arial");
        ASSERT_EQ(height, FromScratch(changed, kHeight, width)) << "changed at " << at;
        changedHeights += height != whole;
    }
    EXPECT_GT(changedHeights, static_cast<int>(positions.size()) / 2);
}

TEST(MTextIncremental, TheSharedMeasurerAgreesWithTheLayout) {
    std::string content = SheetContent(4 * 1024, 3);
    std::string grown;
    for (const std::string& piece : Pieces(content)) {
        grown += piece;
        EXPECT_EQ(MeasureMTextHeight(grown, kHeight, kWidth, "Arial"),
                  LayOutMText(grown, kHeight, kWidth, "Arial").height);
    }
}

} // namespace
