// Picking in the view: a click makes what lies under it the selection (Shift adds or takes
// away), the selection is drawn highlighted with its grips, and a double click is the
// editor's double click: the reactors hear of it, then the host edits the text.
#include "window_fixture.h"

#include "editor/documents.h"
#include "editor/drawing.h"

#include "arx/dbmtext.h"
#include "arx/editor.h"

#include <QTest>

namespace {

using cadhost::editor::Docs;

class SelectionTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        run("LINE\n1,1\n9,5\n\nCIRCLE\n3,7\n1\n");
        view().transform().setCenterAndScale(QPointF(5, 4.5), 60.0);
        ids = cadhost::editor::CurrentSpaceEntities(db());
        ASSERT_EQ(ids.size(), 2u);
    }
    Action clickAt(double x, double y, Qt::KeyboardModifiers keys = {}) {
        return
            [this, x, y, keys] { QTest::mouseClick(&view(), Qt::LeftButton, keys, pixelOf(x, y)); };
    }
    std::vector<AcDbObjectId> selected() { return Docs().current()->pickfirst(); }

    std::vector<AcDbObjectId> ids;
};

TEST_F(SelectionTest, AClickPicksAndTheSelectionIsHighlighted) {
    QImage before = viewPicture();
    drive({clickAt(5, 3)}); // on the line
    EXPECT_EQ(selected(), std::vector<AcDbObjectId>{ids[0]});
    QImage picked = viewPicture();
    QPoint middle = pixelOf(5, 3);
    EXPECT_EQ(CountPixels(before, middle, 3, IsHighlight), 0);
    EXPECT_GT(CountPixels(picked, middle, 3, IsHighlight), 0);
    // Grips at both ends; none on the circle, which is not selected.
    EXPECT_GT(CountPixels(picked, pixelOf(1, 1), 2, IsHighlight), 10);
    EXPECT_GT(CountPixels(picked, pixelOf(9, 5), 2, IsHighlight), 10);
    EXPECT_EQ(CountPixels(picked, pixelOf(3, 7), 3, IsHighlight), 0);

    drive({clickAt(7, 8)}); // nothing there
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(CountPixels(viewPicture(), middle, 3, IsHighlight), 0);
}

TEST_F(SelectionTest, ShiftAddsAndTakesAway) {
    drive({clickAt(5, 3), clickAt(4, 7, Qt::ShiftModifier)}); // the line, then the circle's edge
    EXPECT_EQ(selected().size(), 2u);
    EXPECT_GT(CountPixels(viewPicture(), pixelOf(3, 7), 3, IsHighlight), 10) << "its centre grip";
    drive({clickAt(5, 3, Qt::ShiftModifier)});
    EXPECT_EQ(selected(), std::vector<AcDbObjectId>{ids[1]});
}

TEST_F(SelectionTest, WhatSelectGivesIsHighlightedToo) {
    std::string handle = cadhost::editor::HandleText(ids[1]);
    run("SELECT\n" + handle + "\n\n");
    EXPECT_EQ(selected(), std::vector<AcDbObjectId>{ids[1]});
    EXPECT_GT(CountPixels(viewPicture(), pixelOf(4, 7), 3, IsHighlight), 0);
}

TEST_F(SelectionTest, ClicksPickOnlyAtTheCommandPrompt) {
    drive({[this] { session().type("GETVAR"); }, clickAt(5, 3),
           [this] { session().type("DWGNAME"); }});
    EXPECT_TRUE(selected().empty());
}

struct DoubleClickRecorder : AcEditorReactor {
    std::vector<AcGePoint3d> points;
    std::vector<AcDbObjectId> selectionSeen;
    void beginDoubleClick(const AcGePoint3d& point) override {
        points.push_back(point);
        AcDbObjectIdArray selection;
        if (acedGetCurrentSelectionSet(selection) == Acad::eOk)
            for (int i = 0; i < selection.length(); ++i)
                selectionSeen.push_back(selection.at(i));
    }
};

TEST_F(SelectionTest, ADoubleClickReachesTheReactorsThenTheHostsTextEdit) {
    run("MTEXTED\n.\nMTEXT\n1,12\n6,10\noriginal words\n");
    std::vector<AcDbObjectId> all = cadhost::editor::CurrentSpaceEntities(db());
    ASSERT_EQ(all.size(), 3u);
    AcDbObjectId text = all.back();
    DoubleClickRecorder recorder;
    AcEditor* editor = AcEditor::cast(acrxSysRegistry()->at(ACED_EDITOR_OBJ));
    editor->addReactor(&recorder);
    QPoint on = pixelOf(1.5, 11.8);
    std::string log = drive({[&] { QTest::mouseDClick(&view(), Qt::LeftButton, {}, on); },
                             [this] { session().type("edited words"); }});
    editor->removeReactor(&recorder);

    ASSERT_EQ(recorder.points.size(), 1u) << log;
    QPointF clicked = view().transform().toWorld(on);
    EXPECT_NEAR(recorder.points[0].x, clicked.x(), 1e-6);
    EXPECT_NEAR(recorder.points[0].y, clicked.y(), 1e-6);
    EXPECT_EQ(recorder.selectionSeen, std::vector<AcDbObjectId>{text});
    EXPECT_NE(log.find("Command: DBLCLICK "), std::string::npos) << log;
    EXPECT_NE(log.find("Enter new MText contents <keep>: edited words"), std::string::npos) << log;
    AcDbMText* mtext = nullptr;
    ASSERT_EQ(acdbOpenObject(mtext, text, AcDb::kForRead), Acad::eOk);
    char* contents = mtext->contents();
    EXPECT_STREQ(contents, "edited words");
    acutDelString(contents);
    mtext->close();
    // The view shows the edit: the text was laid out again.
    EXPECT_EQ(session().scene().layoutCount(), 2u);
}

} // namespace
