// Moving about the drawing: the wheel zooms about the cursor, the middle button pans, zoom
// extents frames the drawing, and each drawing keeps its own view.  None of it lays a text out
// again.
#include "window_fixture.h"

#include <QAction>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>

namespace {

class ViewNavigationTest : public MainWindowTest {
protected:
    void wheel(QPoint at, int angle) {
        QWheelEvent event(at, view().mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view(), &event);
    }
    // Where the view's edges show the box, as shares of its width and height.
    QRectF shownAt(const QRectF& world) {
        const auto& t = view().transform();
        QPointF a = t.toScreen(world.topLeft()), b = t.toScreen(world.bottomRight());
        QSizeF size = t.viewport();
        return QRectF(QPointF(a.x() / size.width(), a.y() / size.height()),
                      QPointF(b.x() / size.width(), b.y() / size.height()))
            .normalized();
    }
    // Shown whole in the middle, as large as the margin of 5% on every side allows.
    void expectFramed(const QRectF& world) {
        QRectF shown = shownAt(world);
        EXPECT_NEAR(std::max(shown.width(), shown.height()), 0.9, 1e-6);
        EXPECT_GE(shown.left(), 0.05 - 1e-9);
        EXPECT_LE(shown.right(), 0.95 + 1e-9);
        EXPECT_GE(shown.top(), 0.05 - 1e-9);
        EXPECT_LE(shown.bottom(), 0.95 + 1e-9);
        EXPECT_NEAR(shown.center().x(), 0.5, 1e-6);
        EXPECT_NEAR(shown.center().y(), 0.5, 1e-6);
    }
};

TEST_F(ViewNavigationTest, TheWheelZoomsAboutTheCursor) {
    auto& t = view().transform();
    t.setCenterAndScale(QPointF(10, 20), 50.0);
    QPoint cursor(300, 170);
    QPointF under = t.toWorld(cursor);
    wheel(cursor, 120);
    EXPECT_NEAR(t.scale(), 50.0 * 1.25, 1e-9);
    EXPECT_NEAR(t.toWorld(cursor).x(), under.x(), 1e-9);
    EXPECT_NEAR(t.toWorld(cursor).y(), under.y(), 1e-9);
    wheel(QPoint(700, 500), -240);
    EXPECT_NEAR(t.scale(), 50.0 / 1.25, 1e-9);
    EXPECT_NE(t.toWorld(cursor), under) << "zoomed about another point";
}

TEST_F(ViewNavigationTest, TheMiddleButtonPansAndNothingIsLaidOutAgain) {
    run("MTEXT\n0,10\n8,0\nA text long enough to wrap into a few lines of the box it is in.\n");
    auto& t = view().transform();
    t.setCenterAndScale(QPointF(4, 8), 60.0);
    paintView();
    std::uint64_t layouts = session().scene().layoutCount();
    std::size_t paints = view().paintCount();
    ASSERT_EQ(layouts, 1u);
    QTest::mousePress(&view(), Qt::MiddleButton, {}, QPoint(400, 300));
    QTest::mouseMove(&view(), QPoint(460, 260));
    QTest::mouseRelease(&view(), Qt::MiddleButton, {}, QPoint(460, 260));
    // The drawing moved with the cursor: 60 pixels right, 40 up.
    EXPECT_NEAR(t.center().x(), 4.0 - 60.0 / 60.0, 1e-9);
    EXPECT_NEAR(t.center().y(), 8.0 - 40.0 / 60.0, 1e-9);
    wheel(QPoint(100, 100), 360);
    paintView();
    EXPECT_GT(view().paintCount(), paints);
    EXPECT_GT(view().painter().counts().glyphs, 0u);
    EXPECT_EQ(session().scene().layoutCount(), layouts);
}

TEST_F(ViewNavigationTest, ZoomExtentsFramesTheDrawing) {
    run("LINE\n100,50\n180,90\n\nCIRCLE\n120,60\n5\n");
    view().transform().setCenterAndScale(QPointF(0, 0), 3.0);
    // The View menu's item.
    for (QAction* menu : window().menuBar()->actions())
        if (menu->text() == "&View")
            for (QAction* item : menu->menu()->actions())
                if (item->text() == "Zoom &Extents")
                    item->trigger();
    // The circle reaches no further than the line: the line's box is the drawing's.
    expectFramed(QRectF(QPointF(100, 50), QPointF(180, 90)));

    // ZOOM's window shows the box as large as it fits.
    run("ZOOM\nW\n100,50\n120,70\n");
    QRectF shown = shownAt(QRectF(QPointF(100, 50), QPointF(120, 70)));
    EXPECT_NEAR(shown.top(), 0.0, 1e-6) << "the box is square, the view wider than tall";
    EXPECT_NEAR(shown.bottom(), 1.0, 1e-6);
    run("ZOOM\nE\n");
    expectFramed(QRectF(QPointF(100, 50), QPointF(180, 90)));
}

TEST_F(ViewNavigationTest, EachDrawingKeepsItsView) {
    run("LINE\n0,0\n1,1\n\n");
    view().transform().setCenterAndScale(QPointF(0.5, 0.5), 400.0);
    std::string path = root() + "/far.dxf";
    run("NEW\nLINE\n1000,1000\n1100,1050\n\nSAVEAS\n" + path + "\nOPEN\n" + path + "\n");
    // An opened drawing is shown whole.
    expectFramed(QRectF(QPointF(1000, 1000), QPointF(1100, 1050)));
    run("SWITCH\n1\n");
    EXPECT_EQ(view().transform().center(), QPointF(0.5, 0.5));
    EXPECT_EQ(view().transform().scale(), 400.0);
}

} // namespace
