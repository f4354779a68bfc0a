// Point prompts answered in the view: clicks give points in the user coordinate system at
// any zoom, pan and UCS; a rubber band follows the cursor from the base of a corner or a next
// point; typed coordinates still work; Escape cancels.
#include "window_fixture.h"

#include "editor/drawing.h"

#include "arx/dbents.h"
#include "arx/dbmtext.h"

#include <QMouseEvent>
#include <QTest>

namespace {

class PointInputTest : public MainWindowTest {
protected:
    Action click(QPoint pixel) {
        return [this, pixel] { QTest::mouseClick(&view(), Qt::LeftButton, {}, pixel); };
    }
    // The cursor moves over the view (sent to it directly: a real display moves its cursor
    // in its own time).
    void moveTo(QPoint pixel) {
        QMouseEvent move(QEvent::MouseMove, pixel, view().mapToGlobal(pixel), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view(), &move);
    }
    Action type(const std::string& line) {
        return [this, line] { session().type(line); };
    }
    std::vector<AcDbObjectId> entities() { return cadhost::editor::CurrentSpaceEntities(db()); }
    // The line's ends in the world.
    std::pair<AcGePoint3d, AcGePoint3d> lineEnds(const AcDbObjectId& id) {
        AcDbLine* line = nullptr;
        EXPECT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
        if (!line)
            return {};
        auto ends = std::make_pair(line->startPoint(), line->endPoint());
        line->close();
        return ends;
    }
};

::testing::AssertionResult Near(const AcGePoint3d& p, const QPointF& expected, double tolerance) {
    double d = std::hypot(p.x - expected.x(), p.y - expected.y());
    if (d <= tolerance && std::fabs(p.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.x << ", " << p.y << ", " << p.z << ") is not ("
                                         << expected.x() << ", " << expected.y() << ", 0)";
}

TEST_F(PointInputTest, ALineOfTwoClicksLandsWhereTheyWereUnderZoomPanAndATurnedUcs) {
    run("UCS\nZ\n30\nUCS\nO\n2,1\n");
    view().transform().setCenterAndScale(QPointF(3.7, -1.2), 83.0);
    QPoint first = pixelOf(1.3, 0.4), second = pixelOf(4.1, 2.9);
    std::string log = drive({type("LINE"), click(first), click(second), type("")});
    std::vector<AcDbObjectId> ids = entities();
    ASSERT_EQ(ids.size(), 1u) << log;
    auto [start, end] = lineEnds(ids[0]);
    // Exactly the clicked pixels' world points; within a pixel of the points aimed at.
    const cadhost::gui::ViewTransform& t = view().transform();
    EXPECT_TRUE(Near(start, t.toWorld(first), 1e-6));
    EXPECT_TRUE(Near(end, t.toWorld(second), 1e-6));
    EXPECT_TRUE(Near(start, QPointF(1.3, 0.4), 1.0 / t.scale()));
    EXPECT_TRUE(Near(end, QPointF(4.1, 2.9), 1.0 / t.scale()));

    // The prompt echoed the point in the UCS, as typed coordinates would read.
    AcGePoint3d ucs = start;
    ucs.transformBy(cadhost::editor::UcsToWorld(db()).inverse());
    char echoed[64];
    std::snprintf(echoed, sizeof echoed, "Specify first point: %.10g,%.10g\n", ucs.x, ucs.y);
    EXPECT_NE(log.find(echoed), std::string::npos) << log;
}

TEST_F(PointInputTest, TheStatusBarShowsTheCursorInTheUcs) {
    run("UCS\nO\n10,20\n");
    moveTo(pixelOf(12.5, 21.25));
    QPointF world = view().transform().toWorld(pixelOf(12.5, 21.25));
    EXPECT_EQ(window().cursorPosition(),
              QString::asprintf("%.4f, %.4f", world.x() - 10.0, world.y() - 20.0));
}

TEST_F(PointInputTest, TypedAndClickedPointsMix) {
    QPoint second = pixelOf(5, 5);
    drive({type("LINE"), type("1,2"), click(second), type("")});
    std::vector<AcDbObjectId> ids = entities();
    ASSERT_EQ(ids.size(), 1u);
    auto [start, end] = lineEnds(ids[0]);
    EXPECT_TRUE(Near(start, QPointF(1, 2), 1e-12));
    EXPECT_TRUE(Near(end, view().transform().toWorld(second), 1e-6));
}

TEST_F(PointInputTest, ACornerPromptShowsARubberBandAndEscapeCancels) {
    QPoint first = pixelOf(2, 6), cursor = pixelOf(7, 3);
    QImage during, before;
    std::string log = drive({type("MTEXT"), [&] { before = viewPicture(); }, click(first),
                             [&] {
                                 moveTo(cursor);
                                 during = viewPicture();
                             },
                             [this] { QTest::keyClick(&view(), Qt::Key_Escape); }});
    // The box's corners and the middles of its sides are drawn; its inside is not.
    QPoint otherCorner(cursor.x(), first.y());
    QPoint sideMiddle((first.x() + cursor.x()) / 2, first.y());
    QPoint inside((first.x() + cursor.x()) / 2, (first.y() + cursor.y()) / 2);
    EXPECT_GT(CountPixels(during, otherCorner, 2, IsHighlight), 0);
    EXPECT_GT(CountPixels(during, sideMiddle, 2, IsHighlight), 0);
    EXPECT_GT(CountPixels(during, QPoint(first.x(), cursor.y()), 2, IsHighlight), 0);
    EXPECT_EQ(CountPixels(during, inside, 5, IsHighlight), 0);
    EXPECT_EQ(CountPixels(before, sideMiddle, 2, IsHighlight), 0) << "no band before the click";
    EXPECT_NE(log.find("Specify opposite corner: *Cancel*"), std::string::npos) << log;
    EXPECT_TRUE(entities().empty());
    EXPECT_FALSE(view().askingForPoint()) << "the band goes with the prompt";
}

TEST_F(PointInputTest, ANextPointDrawsABandFromTheLastOne) {
    QPoint first = pixelOf(1, 1), cursor = pixelOf(6, 4);
    QImage during;
    drive({type("LINE"), click(first),
           [&] {
               moveTo(cursor);
               during = viewPicture();
           },
           type("")});
    QPoint middle = (first + cursor) / 2;
    EXPECT_GT(CountPixels(during, middle, 2, IsHighlight), 0);
    QPoint aside(middle.x(), middle.y() - 40);
    EXPECT_EQ(CountPixels(during, aside, 3, IsHighlight), 0);
}

TEST_F(PointInputTest, EnterOverTheViewEndsTheCommandAsAnEmptyLineDoes) {
    std::string log = drive({type("LINE"), click(pixelOf(1, 1)), click(pixelOf(2, 3)),
                             [this] { QTest::keyClick(&view(), Qt::Key_Return); }, type("GETVAR"),
                             type("DWGNAME")});
    EXPECT_EQ(entities().size(), 1u);
    EXPECT_NE(log.find("Specify next point: \nCommand: GETVAR\n"), std::string::npos) << log;
}

TEST_F(PointInputTest, WithoutAPointPromptAClickAnswersNothing) {
    std::string log = drive({type("GETVAR"), click(pixelOf(3, 3)), type("DWGNAME")});
    EXPECT_NE(log.find("Enter variable name or [?]: DWGNAME\n"), std::string::npos) << log;
}

} // namespace
