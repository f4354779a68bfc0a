// Pictures of large texts: numbers are written as "%.10g" writes them; a document written to a
// stream piece by piece is the whole document; a picture of pixels draws a normal drawing as
// the full picture does, but text smaller than a pixel as grey bands that keep its ink, colour
// and place, so that its document stays the same size however long the text grows; EXPORT
// writes both kinds of picture of an imported text.
#include "editor/drawing.h"
#include "editor/drawingitems.h"
#include "host_fixture.h"
#include "text/mtextlayout.h"
#include "text/svgexport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace cadhost::text;
namespace fs = std::filesystem;

namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Paragraphs of ordinary words, as a text file's lines become them.
std::string Words(std::size_t size, unsigned seed, const std::string& paragraphBreak = "\\P") {
    std::mt19937 random(seed);
    static const char* const words[] = {"the",     "contractor", "shall", "provide",  "concrete",
                                        "joints",  "sealant",    "ASTM",  "surfaces", "clean",
                                        "and",     "free",       "of",    "dust",     "per",
                                        "section", "work"};
    std::string out;
    while (out.size() < size) {
        int count = 10 + static_cast<int>(random() % 70);
        for (int w = 0; w < count; ++w) {
            out += words[random() % 17];
            out += w + 1 < count ? " " : "";
        }
        out += paragraphBreak;
    }
    return out;
}

DrawingItem Text(Vec3 at, double height, double width, std::string contents) {
    DrawingItem item;
    item.kind = DrawingItem::Kind::MText;
    item.placement.location = at;
    item.placement.width = width;
    item.textHeight = height;
    item.contents = std::move(contents);
    item.handle = "2B";
    return item;
}

DrawingItem Line(Vec3 a, Vec3 b) {
    DrawingItem item;
    item.kind = DrawingItem::Kind::Line;
    item.start = a;
    item.end = b;
    return item;
}

// The bands of a picture of pixels: their colour, opacity, outline's area and bounding box.
struct Band {
    std::string color;
    double opacity = 0.0, area = 0.0;
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
};

std::vector<Band> Bands(const std::string& svg) {
    std::vector<Band> bands;
    for (std::size_t at = svg.find("<path "); at != std::string::npos;
         at = svg.find("<path ", at + 1)) {
        double x[4], y[4];
        char color[8] = {};
        Band band;
        int read = std::sscanf(svg.c_str() + at,
                               "<path d=\"M %lf %lf L %lf %lf L %lf %lf L %lf %lf Z\" "
                               "fill=\"%7[#0-9a-f]\" fill-opacity=\"%lf\"/>",
                               &x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3], color,
                               &band.opacity);
        EXPECT_EQ(read, 10) << svg.substr(at, 200);
        band.color = color;
        for (int i = 0; i < 4; ++i)
            band.area += (x[i] * y[(i + 1) % 4] - x[(i + 1) % 4] * y[i]) / 2.0;
        band.area = std::fabs(band.area);
        band.minX = *std::min_element(x, x + 4);
        band.maxX = *std::max_element(x, x + 4);
        band.minY = *std::min_element(y, y + 4);
        band.maxY = *std::max_element(y, y + 4);
        bands.push_back(band);
    }
    return bands;
}

// The area of the bands of the runs up to a text height, from the baseline to the text
// height: what the letters ink a share of.
double RunArea(const DrawingItem& item, double upToHeight) {
    double area = 0.0;
    MTextLayout layout = LayOutMText(item.contents, item.textHeight, item.placement.width);
    for (const LaidOutLine& line : layout.lines)
        for (const LaidOutRun& run : line.runs)
            if (run.format.height <= upToHeight)
                area += run.width * run.format.height;
    return area;
}

double Ink(const std::vector<Band>& bands) {
    double ink = 0.0;
    for (const Band& band : bands)
        ink += band.area * band.opacity;
    return ink;
}

TEST(SvgNumbers, WrittenAsPrintfWritesThemWithTenDigits) {
    std::mt19937_64 random(11);
    std::vector<double> values = {1.0,          -1.0,    0.5,          100.0, 1e10,
                                  1e-10,        1e-5,    123456789012, 0.1,   1.0 / 3.0,
                                  9999999999.5, 2.5e-11, -7.25e15,     1e21,  4.2949673e9,
                                  0.0001234,    1e-12,   0.99999999995};
    for (int i = 0; i < 20000; ++i) {
        double mantissa = static_cast<double>(random() % 2000000001) / 1e9 - 1.0;
        int exponent = static_cast<int>(random() % 41) - 20;
        values.push_back(mantissa * std::pow(10.0, exponent));
    }
    for (double value : values) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.10g", value);
        if (std::fabs(value) < 1e-12)
            std::snprintf(expected, sizeof expected, "0");
        ASSERT_EQ(SvgNumber(value), expected) << value;
    }
    EXPECT_EQ(SvgNumber(std::nan("")), "0");
    EXPECT_EQ(SvgNumber(-INFINITY), "0");
    EXPECT_EQ(SvgNumber(-1e-13), "0");
}

TEST(LargePictures, DocumentWrittenPieceByPieceIsTheWholeDocument) {
    // Far more than one piece, with a text in both kinds of detail.
    std::vector<DrawingItem> items = {Text({0, 0, 0}, 0.2, 40.0, Words(200 * 1024, 1)),
                                      Line({0, 0, 0}, {40, -5, 0}),
                                      Text({50, 0, 0}, 30.0, 0.0, "{\\C1;Title}")};
    for (PictureDetail detail : {PictureDetail::Full, PictureDetail::Pixels}) {
        std::string whole = ExportSvg(items, detail);
        std::ostringstream out;
        EXPECT_TRUE(WriteSvg(items, out, detail));
        EXPECT_EQ(out.str(), whole);
        EXPECT_GT(Count(whole, "<text "), 0u);
    }
    EXPECT_GT(ExportSvg(items).size(), 1000000u);
    // A stream that fails says so.
    std::ofstream closed;
    EXPECT_FALSE(WriteSvg(items, closed));
}

TEST(LargePictures, PictureOfPixelsOfANormalDrawingIsTheFullPicture) {
    // Texts whose letters take several pixels, a stack, decorations, a rotated text, lines.
    DrawingItem rotated = Text({10, 10, 0}, 0.5, 12.0, "turned \\S1/2; {\\Lunder\\l}");
    rotated.placement.direction = {0.6, 0.8, 0.0};
    std::vector<DrawingItem> items = {
        Text({0, 0, 0}, 0.5, 20.0, Words(600, 2)), rotated, Line({0, 0, 0}, {30, 20, 0}),
        Text({0, 25, 0}, 1.0, 0.0, "\\pxqc;{\\C3;centred}\\Pand a longer line")};
    std::string full = ExportSvg(items, PictureDetail::Full);
    EXPECT_EQ(ExportSvg(items, PictureDetail::Pixels), full);
    EXPECT_EQ(Count(full, "<path"), 0u);
}

TEST(LargePictures, TextSmallerThanAPixelIsDrawnAsBandsThatKeepItsInkColourAndPlace) {
    // 400 KB at width 40 under a title of full size: a column hundreds of units tall in a
    // picture 1000 pixels high, so the letters of the body are well under a pixel; a red text
    // beside it.
    DrawingItem body = Text({0, 0, 0}, 0.2, 40.0, "{\\H60x;TOP}\\P" + Words(400 * 1024, 3));
    DrawingItem red = Text({50, 0, 0}, 0.2, 20.0, "{\\C1;" + Words(20 * 1024, 4) + "}");
    std::vector<DrawingItem> items = {body, red};
    std::string svg = ExportSvg(items, PictureDetail::Pixels);
    // The title alone is drawn in letters.
    EXPECT_EQ(Count(svg, "<text "), 1u);
    EXPECT_NE(svg.find(">TOP</text>"), std::string::npos);

    std::vector<Band> bands = Bands(svg);
    ASSERT_GT(bands.size(), 100u);
    std::vector<Band> black, reds;
    for (const Band& band : bands) {
        EXPECT_GT(band.opacity, 0.0);
        EXPECT_LE(band.opacity, 1.0);
        (band.color == "#ff0000" ? reds : black).push_back(band);
    }
    ASSERT_FALSE(reds.empty());
    EXPECT_EQ(black.size() + reds.size(), bands.size());
    for (const Band& band : black)
        EXPECT_EQ(band.color, "#000000");

    // The picture's frame, from its view box: 1000 pixels along the longer side, which is the
    // drawing's larger extent and a margin of 5% of it on both sides.
    double width = 0.0, height = 0.0;
    ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("viewBox=\"0 0 "), "viewBox=\"0 0 %lf %lf", &width,
                          &height),
              2);
    double pixel = std::max(width, height) / 1000.0;
    double margin = 0.05 * std::max(width, height) / 1.1;
    // A band holds the lines whose baselines share a row of pixels: no more bands than rows.
    MTextLayout layout = LayOutMTextExtents(body.contents, 0.2, 40.0);
    double rows = (layout.height - layout.lines[0].pitch) / pixel;
    EXPECT_LE(static_cast<double>(black.size()), rows + 2.0);
    EXPECT_GT(static_cast<double>(black.size()), rows / 2.0);
    // Each text's bands lie where its lines are: the body's in x 0..40, the red text's 50
    // units to the right.
    for (const Band& band : black) {
        EXPECT_GE(band.minX, margin - 1e-6);
        EXPECT_LE(band.maxX, margin + 40.0 + 1e-6);
        EXPECT_LE(band.maxY - band.minY, 2.0 * pixel);
    }
    for (const Band& band : reds) {
        EXPECT_GE(band.minX, margin + 50.0 - 1e-6);
        EXPECT_LE(band.maxX, margin + 70.0 + 1e-6);
        EXPECT_LE(band.maxY - band.minY, 2.0 * pixel);
    }
    // The ink is the same share of the runs' area whether a band holds one line or many.
    double blackShare = Ink(black) / RunArea(body, 1.0);
    double redShare = Ink(reds) / RunArea(red, 1.0);
    EXPECT_GT(blackShare, 0.2);
    EXPECT_LT(blackShare, 0.4);
    EXPECT_NEAR(redShare, blackShare, 0.01 * blackShare);
}

TEST(LargePictures, PictureOfPixelsStaysTheSameSizeAsTheTextGrows) {
    std::vector<std::size_t> sizes;
    std::size_t textBytes = 400 * 1024;
    for (int step = 0; step < 3; ++step, textBytes *= 2) {
        std::vector<DrawingItem> items = {Text({0, 0, 0}, 0.2, 40.0, Words(textBytes, 5))};
        std::string svg = ExportSvg(items, PictureDetail::Pixels);
        EXPECT_EQ(Count(svg, "<text "), 0u) << textBytes;
        EXPECT_LT(Count(svg, "<path"), 1100u) << textBytes;
        sizes.push_back(svg.size());
    }
    EXPECT_LT(sizes[1], sizes[0] * 5 / 4);
    EXPECT_LT(sizes[2], sizes[0] * 5 / 4);
    EXPECT_LT(sizes[2], 200u * 1024u);
}

class ExportCommand : public HostSessionTest {};

TEST_F(ExportCommand, LargeImportedTextAsSvgAndPng) {
    // A text file of 1 MB: each line a paragraph.
    std::string txt = root() + "/large.txt";
    std::ofstream(txt, std::ios::binary) << Words(1024 * 1024, 6, "\n");
    std::string svg = root() + "/large.svg", png = root() + "/large.png";
    std::string log =
        run("MTEXT\n0,0\n40,-2\nImport\n" + txt + "\nEXPORT\n" + svg + "\nEXPORT\n" + png + "\n");
    EXPECT_NE(log.find("Picture written to " + svg + "."), std::string::npos) << log;
    EXPECT_NE(log.find("Picture written to " + png + "."), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(svg + ".part"));
    EXPECT_FALSE(fs::exists(png + ".part"));

    // The file written as it was made is the whole document of the drawing.
    std::vector<DrawingItem> items =
        cadhost::editor::DrawingItemsOf(cadhost::editor::CurrentDatabase());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_GT(items[0].contents.size(), 1000000u);
    std::ifstream in(svg, std::ios::binary);
    std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, ExportSvg(items));

    std::ifstream picture(png, std::ios::binary);
    char signature[8] = {};
    picture.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");

    // A folder that is not there: nothing written, and the log says so.
    std::string missing = root() + "/no/such/folder/large.svg";
    log = run("EXPORT\n" + missing + "\n");
    EXPECT_NE(log.find("Cannot write " + missing + "."), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(missing + ".part"));
}

} // namespace
