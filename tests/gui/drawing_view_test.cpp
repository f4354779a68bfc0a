// What the view draws: texts with the text engine's own lines and glyph positions (those
// EXPORT draws and actualHeight measures), bars for letters too small to read, only what is
// in view; entities kept from another program's drawing, as EXPORT draws them too.
#include "corpus.h"
#include "window_fixture.h"

#include "editor/drawing.h"
#include "gui/preparedtext.h"
#include "gui/qtapplication.h"
#include "text/mtextlayout.h"
#include "text/mtextmeasure.h"

#include "arx/dbmtext.h"
#include "arx/docman.h"

#include <QPainter>

#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

namespace {

using cadhost::gui::PrepareText;

TEST(PreparedText, GlyphsStandWhereTheLayoutPutTheCharacters) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    cadhost::gui::TheApplication(); // faces need the application
    const std::string contents = "Plain {\\fTimes New Roman|b1|i0;bold serif} \\Lunder\\l and "
                                 "\\S1/2; a fraction, wrapped at the width of the frame.";
    auto layout = cadhost::text::LayOutMText(contents, 0.25, 3.0);
    auto prepared = PrepareText(contents, 0.25, 3.0, "Arial");
    EXPECT_DOUBLE_EQ(prepared->height,
                     cadhost::text::MeasureMTextHeight(contents, 0.25, 3.0, "Arial"));
    EXPECT_DOUBLE_EQ(prepared->height, layout.height);
    ASSERT_GT(layout.lines.size(), 1u) << "wrapped";

    std::size_t piece = 0, lines = 0;
    for (const auto& line : layout.lines) {
        if (line.runs.empty())
            continue;
        ASSERT_LT(lines, prepared->lines.size());
        const auto& preparedLine = prepared->lines[lines++];
        EXPECT_EQ(preparedLine.firstPiece, piece);
        for (const auto& run : line.runs) {
            ASSERT_LT(piece, prepared->pieces.size());
            const auto& p = prepared->pieces[piece];
            if (run.kind == cadhost::text::LaidOutRun::Kind::Text) {
                EXPECT_EQ(p.x, run.x);
                EXPECT_EQ(p.baseline, run.baseline);
                EXPECT_EQ(p.xs, run.charX) << "every glyph at its character's place";
                EXPECT_EQ(p.glyphs.size(), static_cast<qsizetype>(run.charX.size()));
                EXPECT_TRUE(p.missing.empty());
                // (The content is ASCII: one byte per character.)
                for (std::size_t i = 0; i < run.text.size(); ++i) {
                    if (run.text[i] != ' ') {
                        EXPECT_NE(p.glyphs[static_cast<qsizetype>(i)], 0u) << run.text;
                    }
                }
                ++piece;
            } else {
                // A fraction: upper and lower parts centred over the run, a bar between.
                ASSERT_LT(piece + 1, prepared->pieces.size());
                for (int part = 0; part < 2; ++part) {
                    const auto& q = prepared->pieces[piece + part];
                    EXPECT_NEAR(q.x + q.width / 2, run.x + run.width / 2, 1e-12);
                    EXPECT_DOUBLE_EQ(q.sizeScale, 0.7);
                }
                EXPECT_GT(prepared->pieces[piece].baseline, prepared->pieces[piece + 1].baseline);
                piece += 2;
            }
        }
    }
    EXPECT_EQ(piece, prepared->pieces.size());
    // The faces measured, by their files: Liberation Serif Bold for the bold serif.
    ASSERT_EQ(prepared->faceInfo.size(), layout.faces.size());
    for (std::size_t i = 0; i < layout.faces.size(); ++i)
        EXPECT_EQ(prepared->faceInfo[i].file, layout.faces[i].file);
    // An underline stroke and the fraction's bar.
    EXPECT_EQ(prepared->strokes.size(), 2u);
}

class DrawingViewTest : public MainWindowTest {};

TEST_F(DrawingViewTest, SmallLettersShowAsBarsAndLargeOnesAsGlyphs) {
    run("MTEXT\n0,10\n6,0\nSome words of a text, which wrap over a few lines in the view.\n");
    auto& t = view().transform();
    t.setCenterAndScale(QPointF(3, 9.5), 2.0); // a letter 0.5 pixel tall
    paintView();
    EXPECT_EQ(view().painter().counts().glyphs, 0u);
    EXPECT_GT(view().painter().counts().bars, 0u);
    t.setCenterAndScale(QPointF(3, 9.5), 100.0);
    paintView();
    EXPECT_GT(view().painter().counts().glyphs, 30u);
    EXPECT_EQ(view().painter().counts().bars, 0u);
    // Ink where the first letter stands, none above the text.
    QImage picture = viewPicture();
    EXPECT_GT(CountPixels(picture, pixelOf(0.08, 9.9), 4, IsInk), 0);
    EXPECT_EQ(CountPixels(picture, pixelOf(1.0, 10.5), 6, IsInk), 0);
}

TEST_F(DrawingViewTest, OnlyWhatIsInViewIsDrawn) {
    run("MTEXT\n0,100\n3,0\nline one\\Pline two\\Pline three\\Pline four\n"
        "CIRCLE\n50,50\n1\n");
    auto& t = view().transform();
    t.setCenterAndScale(QPointF(1.5, 99.0), 100.0); // the whole text
    paintView();
    EXPECT_EQ(view().painter().counts().entities, 1u) << "the circle is far away";
    EXPECT_EQ(view().painter().counts().glyphs, 35u) << "four lines of 8, 8, 10 and 9";
    t.setCenterAndScale(QPointF(1.5, 99.85), 1500.0); // the first line
    paintView();
    std::size_t top = view().painter().counts().glyphs;
    EXPECT_GE(top, 8u);
    EXPECT_LE(top, 16u) << "lines out of view are passed over";
}

TEST_F(DrawingViewTest, TurnedTextsDrawAlongTheirDirection) {
    // A text turned a quarter to the left reads upwards from its top left corner at (2, 2).
    auto* text = new AcDbMText;
    text->setLocation(AcGePoint3d(2, 2, 0));
    text->setTextHeight(0.4);
    text->setRotation(std::numbers::pi / 2);
    text->setContents("UPWARDS");
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    EXPECT_TRUE(cadhost::editor::AppendToCurrentSpace(db(), text));
    acDocManager->unlockDocument(doc);
    run("");
    auto& t = view().transform();
    t.setCenterAndScale(QPointF(1.5, 4), 60.0);
    paintView();
    EXPECT_GT(view().painter().counts().glyphs, 0u);
    QImage picture = viewPicture();
    // Letters stand left of the location, going up from it.
    EXPECT_GT(CountPixels(picture, pixelOf(1.9, 2.6), 8, IsInk), 0);
    EXPECT_EQ(CountPixels(picture, pixelOf(3.0, 2.6), 8, IsInk), 0);
}

TEST_F(DrawingViewTest, TextsDifferingOnlyInATinyHeightAreLaidOutEach) {
    // Heights that agree in their first six decimals: each text keeps its own layout.
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    for (double height : {1e-7, 3e-7}) {
        auto* text = new AcDbMText;
        text->setLocation(AcGePoint3d(0, height * 1e7, 0));
        text->setTextHeight(height);
        text->setContents("SAME WORDS");
        EXPECT_TRUE(cadhost::editor::AppendToCurrentSpace(db(), text));
    }
    acDocManager->unlockDocument(doc);
    run("");
    std::vector<double> heights;
    for (const auto& entity : session().scene().entities())
        for (const auto& shape : entity.shapes)
            if (shape.kind == cadhost::gui::SceneShape::Kind::Text)
                heights.push_back(shape.text->height);
    ASSERT_EQ(heights.size(), 2u);
    EXPECT_NEAR(heights[1] / heights[0], 3.0, 1e-6);
    EXPECT_EQ(session().scene().layoutCount(), 2u);
}

TEST_F(DrawingViewTest, KeptEntitiesOfAnotherProgramsDrawingDrawAndExport) {
    SKIP_WITHOUT_CORPUS("dxf");
    std::string path = (rivlet_test::CorpusDir() / "dxf" / "hatches_1.dxf").string();
    std::string svg = root() + "/hatches.svg";
    std::string log = run("OPEN\n" + path + "\nEXPORT\n" + svg + "\n");
    int arcs = 0, polylineSegments = 0;
    for (const auto& entity : session().scene().entities())
        for (const auto& shape : entity.shapes) {
            arcs += shape.kind == cadhost::gui::SceneShape::Kind::Arc;
            polylineSegments += shape.kind == cadhost::gui::SceneShape::Kind::Polyline;
        }
    EXPECT_EQ(arcs, 6) << log;
    EXPECT_GE(polylineSegments, 16);
    // The arc 2A2 runs from about (95.50, 25.25) to (94.77, 27.39): ink along it, in the
    // drawing shown whole.
    paintView();
    QImage picture = viewPicture();
    EXPECT_GT(CountPixels(picture, pixelOf(95.50, 25.26), 2, IsInk), 0);
    // A box of the sheet's corner (polyline 2D7) too.
    EXPECT_GT(CountPixels(picture, pixelOf(145.9905, 28.0), 2, IsInk), 0);
    std::ifstream in(svg);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("<path data-handle=\"2A2\""), std::string::npos);
}

} // namespace
