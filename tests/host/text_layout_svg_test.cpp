// SVG pictures of drawings: well-formed XML (read back by python3's XML parser), every MText
// run drawn where the layout put it with the face it was measured with; and PNG through
// rsvg-convert, with clear failures.
#include "text/mtextlayout.h"
#include "text/pngexport.h"
#include "text/svgexport.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace cadhost::text;
namespace fs = std::filesystem;

namespace {

class SvgExport : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& data) {
        std::string path = m_dir + "/" + name;
        std::ofstream(path, std::ios::binary) << data;
        return path;
    }

    // Parses the file with python3's XML parser and prints, for every <text>, the
    // translation of its transform, font family, weight and its text; "ERROR ..." on a
    // parse error.
    std::vector<std::string> readBack(const std::string& svgPath) {
        std::string script = write("read.py", R"PY(import sys, re
import xml.etree.ElementTree as ET
try:
    root = ET.parse(sys.argv[1]).getroot()
except ET.ParseError as e:
    print("ERROR", e); sys.exit(0)
ns = "{http://www.w3.org/2000/svg}"
print("ROOT", root.tag == ns + "svg", root.get("viewBox"))
for t in root.iter(ns + "text"):
    m = re.match(r"matrix\(([^)]*)\)", t.get("transform", ""))
    e, f = m.group(1).split()[4:6]
    print("TEXT", e, f, t.get("font-family"), t.get("font-weight", "normal"), repr(t.text))
)PY");
        std::string command = std::string(RIVLET_PYTHON) + " " + script + " " + svgPath;
        std::vector<std::string> lines;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            while (std::fgets(buffer, sizeof buffer, pipe)) {
                std::string line = buffer;
                if (!line.empty() && line.back() == '\n')
                    line.pop_back();
                lines.push_back(line);
            }
            ::pclose(pipe);
        }
        return lines;
    }

    rivlet_test::TempFolder m_folder{"cadhost-svg-test"};
    const std::string m_dir = m_folder.path();
};

DrawingItem Line(Vec3 a, Vec3 b) {
    DrawingItem item;
    item.kind = DrawingItem::Kind::Line;
    item.start = a;
    item.end = b;
    return item;
}

DrawingItem Text(Vec3 at, double height, double width, const std::string& contents) {
    DrawingItem item;
    item.kind = DrawingItem::Kind::MText;
    item.placement.location = at;
    item.placement.width = width;
    item.textHeight = height;
    item.contents = contents;
    return item;
}

TEST_F(SvgExport, TextRunsAreDrawnAtTheLayoutsPositions) {
    const std::string contents = "First line of a text that wraps\\Psecond {\\C1;red} and "
                                 "\\fTimes New Roman|b1;bold <&> \"quoted\"";
    // Two lines frame the drawing, so that its extents (0..40 by 0..20) and margin (5% of 40)
    // are known.
    std::vector<DrawingItem> items = {Line({0, 0, 0}, {40, 0, 0}), Line({0, 0, 0}, {0, 20, 0}),
                                      Text({5, 15, 0}, 1.0, 20.0, contents)};
    items[2].handle = "2A";
    std::string svg = ExportSvg(items);
    std::vector<std::string> lines = readBack(write("drawing.svg", svg));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "ROOT True 0 0 44 24");

    MTextLayout layout = LayOutMText(contents, 1.0, 20.0, "Arial");
    std::vector<const LaidOutRun*> runs;
    for (const LaidOutLine& line : layout.lines)
        for (const LaidOutRun& run : line.runs)
            runs.push_back(&run);
    ASSERT_GE(layout.lines.size(), 3u);
    ASSERT_EQ(lines.size(), runs.size() + 1);
    const double margin = 2.0, maxY = 20.0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::istringstream in(lines[i + 1]);
        std::string tag, family, weight;
        double e = 0, f = 0;
        in >> tag >> e >> f >> family;
        std::string rest;
        std::getline(in, rest);
        EXPECT_EQ(tag, "TEXT");
        EXPECT_NEAR(e, 5.0 + runs[i]->x + margin, 1e-6) << lines[i + 1];
        EXPECT_NEAR(f, maxY - (15.0 + runs[i]->baseline) + margin, 1e-6) << lines[i + 1];
        const LaidOutFace& face = layout.faces[runs[i]->format.font];
        EXPECT_EQ(family, face.family.substr(0, face.family.find(' ')));
        EXPECT_NE(rest.find(face.bold ? "bold" : "normal"), std::string::npos) << lines[i + 1];
    }
    // The characters XML reserves arrive intact, the handle is kept, the red run is red.
    EXPECT_NE(svg.find("&lt;&amp;&gt;"), std::string::npos);
    EXPECT_NE(svg.find("&quot;quoted&quot;"), std::string::npos);
    EXPECT_NE(svg.find("data-handle=\"2A\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#ffffff\""), std::string::npos); // the background
}

TEST_F(SvgExport, EmptyAndDegenerateDrawingsAreStillPictures) {
    for (const std::vector<DrawingItem>& items :
         {std::vector<DrawingItem>{}, std::vector<DrawingItem>{Line({3, 3, 0}, {3, 3, 0})},
          std::vector<DrawingItem>{Text({0, 0, 0}, 1.0, 0.0, "")},
          std::vector<DrawingItem>{Text({0, 0, 0}, 0.0, 5.0, "no height"),
                                   Text({1, 1, 0}, 1.0, 5.0, std::string("\x01\xFF<", 3))}}) {
        std::vector<std::string> lines = readBack(write("empty.svg", ExportSvg(items)));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].rfind("ROOT True", 0), 0u) << lines[0];
    }
}

TEST_F(SvgExport, PngThroughRsvgConvert) {
    std::vector<DrawingItem> items = {Text({0, 0, 0}, 2.5, 60.0, "{\\fArial|b1;Title}\\Pbody"),
                                      Line({0, -10, 0}, {60, -10, 0})};
    DrawingItem circle;
    circle.kind = DrawingItem::Kind::Circle;
    circle.start = {30, -20, 0};
    circle.radius = 5;
    circle.colorIndex = 1;
    items.push_back(circle);
    std::string svg = ExportSvg(items);
    std::string png = m_dir + "/drawing.png";
    std::string error;
    ASSERT_TRUE(SvgToPng(svg, png, error)) << error;
    std::ifstream in(png, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_FALSE(fs::exists(png + ".part"));

    // A document rsvg-convert refuses: a failure that says so, and the earlier picture kept.
    EXPECT_FALSE(SvgToPng("<svg", png, error));
    EXPECT_NE(error.find("rsvg-convert failed"), std::string::npos) << error;
    EXPECT_GT(fs::file_size(png), 8u);
}

TEST_F(SvgExport, PngWithoutRsvgConvertSaysWhatIsMissing) {
    std::string png = write("old.png", "earlier picture");
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", m_dir.c_str(), 1);
    std::string error;
    bool ok = SvgToPng(ExportSvg({}), png, error);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("rsvg-convert was not found"), std::string::npos) << error;
    EXPECT_NE(error.find("librsvg2-bin"), std::string::npos) << error;
    std::ifstream in(png);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
              "earlier picture");
}

} // namespace
