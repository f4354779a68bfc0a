// The box prompt and the texts placed in the current space.
#include "frame_test_host.h"

#include "frame/doclock.h"
#include "placement/mtextplacement.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "arx/editor.h"

#include <cmath>

namespace {

bool g_Picked = false;
AcGePoint3d g_CornerA(-1, -1, -1);
AcGePoint3d g_CornerB(-1, -1, -1);

void PickCommand() {
    g_Picked = PickBoxCorners(g_CornerA, g_CornerB);
}

class PlacementTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        g_Picked = false;
        g_CornerA = g_CornerB = AcGePoint3d(-1, -1, -1);
        ASSERT_EQ(acedRegCmds->addCommand("PLACEMENTTEST", "_PICKBOX", "PICKBOX", ACRX_CMD_MODAL,
                                          PickCommand),
                  Acad::eOk);
    }
    void TearDown() override {
        acedRegCmds->removeCmd("PLACEMENTTEST", "_PICKBOX");
        HostTest::TearDown();
    }
    std::string Pick(const std::string& answers) {
        Output();
        host->feedInput("PICKBOX\n" + answers);
        host->runPendingInput();
        return Output();
    }
    static AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }
};

bool Near(const AcGePoint3d& p, double x, double y, double z) {
    return std::fabs(p.x - x) < 1e-9 && std::fabs(p.y - y) < 1e-9 && std::fabs(p.z - z) < 1e-9;
}

} // namespace

TEST_F(PlacementTest, PickingBothCornersGivesTheBox) {
    std::string log = Pick("1,8\n6,2\n");
    EXPECT_TRUE(g_Picked);
    EXPECT_TRUE(Near(g_CornerA, 1, 8, 0));
    EXPECT_TRUE(Near(g_CornerB, 6, 2, 0));
    EXPECT_NE(log.find("Select the corners UPPERLEFT & LOWERRIGHT for the MTEXT box size:"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Select first corner(NODE): "), std::string::npos) << log;
    EXPECT_NE(log.find("Select second corner(NODE): "), std::string::npos) << log;

    // A lower-right corner up and to the left is the user's box all the same.
    Pick("6,2\n1,8\n");
    EXPECT_TRUE(g_Picked);
    EXPECT_TRUE(Near(g_CornerB, 1, 8, 0));
}

TEST_F(PlacementTest, AnythingButTwoPointsLeavesTheCornersAlone) {
    for (const char* answers : {"*Cancel*\n", "\n", "1,1\n*Cancel*\n", "1,1\n\n", "1,1\nabc\n"}) {
        SCOPED_TRACE(answers);
        g_Picked = true;
        Pick(answers);
        EXPECT_FALSE(g_Picked);
        EXPECT_TRUE(Near(g_CornerA, -1, -1, -1));
        EXPECT_TRUE(Near(g_CornerB, -1, -1, -1));
    }
}

TEST_F(PlacementTest, CreatedTextCarriesItsBoxAndStyleInTheCurrentSpace) {
    CDocLock lock;
    const AcGePoint3d box[2] = {AcGePoint3d(1, 8, 0), AcGePoint3d(6, 2, 0.5)};
    AcDbMText* text = CreateMText(AcGePoint3d(1, 8, 0), 2.5, "Doors\\PWindows", 0.2, box);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->ownerId(), db()->currentSpaceId());
    EXPECT_TRUE(Near(text->location(), 1, 8, 0));
    EXPECT_DOUBLE_EQ(text->width(), 2.5);
    EXPECT_DOUBLE_EQ(text->textHeight(), 0.2);
    char* contents = text->contents();
    EXPECT_STREQ(contents, "Doors\\PWindows");
    acutDelString(contents);
    // The drawing's own style is spelt "Standard".
    EXPECT_EQ(text->textStyle(), GetTextStyleId("STANDARD"));
    EXPECT_EQ(text->textStyle(), GetTextStyleId("standard"));
    EXPECT_FALSE(text->textStyle().isNull());

    resbuf* xdata = text->xData("KSRRivlet");
    text->close();
    ASSERT_NE(xdata, nullptr);
    const resbuf* rb = xdata;
    ASSERT_EQ(rb->restype, 1001);
    EXPECT_STREQ(rb->resval.rstring, "KSRRivlet");
    ASSERT_NE(rb = rb->rbnext, nullptr);
    EXPECT_EQ(rb->restype, 1070);
    EXPECT_EQ(rb->resval.rint, 1);
    ASSERT_NE(rb = rb->rbnext, nullptr);
    EXPECT_EQ(rb->restype, 1010);
    EXPECT_TRUE(Near(AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]),
                     1, 8, 0));
    ASSERT_NE(rb = rb->rbnext, nullptr);
    EXPECT_EQ(rb->restype, 1070);
    EXPECT_EQ(rb->resval.rint, 2);
    ASSERT_NE(rb = rb->rbnext, nullptr);
    EXPECT_EQ(rb->restype, 1010);
    EXPECT_TRUE(Near(AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]),
                     6, 2, 0.5));
    EXPECT_EQ(rb->rbnext, nullptr);
    acutRelRb(xdata);

    AcDbMText* plain = CreateMText(AcGePoint3d(0, 0, 0), 1, "x", 1);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->xData("KSRRivlet"), nullptr);
    plain->close();
    EXPECT_EQ(Output(), "");
}

TEST_F(PlacementTest, TextsLieInARotatedUcsAtThePickedPoints) {
    CDocLock lock;
    // The UCS is turned a quarter turn and moved to (10, 0, 0).
    ASSERT_EQ(db()->setUcs(AcGePoint3d(10, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0)),
              Acad::eOk);
    const AcGePoint3d box[2] = {AcGePoint3d(1, 2, 0), AcGePoint3d(4, -3, 0)};
    AcDbMText* text = CreateMText(AcGePoint3d(1, 2, 0), 3, "x", 0.5, box);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(Near(text->location(), 8, 1, 0));
    AcGeVector3d direction = text->direction();
    EXPECT_NEAR(direction.x, 0, 1e-9);
    EXPECT_NEAR(direction.y, 1, 1e-9);
    EXPECT_DOUBLE_EQ(text->width(), 3);
    // The box stays in the coordinates it was picked in.
    resbuf* xdata = text->xData("KSRRivlet");
    text->close();
    ASSERT_NE(xdata, nullptr);
    ASSERT_NE(xdata->rbnext, nullptr);
    ASSERT_NE(xdata->rbnext->rbnext, nullptr);
    const double* a = xdata->rbnext->rbnext->resval.rpoint;
    EXPECT_TRUE(Near(AcGePoint3d(a[0], a[1], a[2]), 1, 2, 0));
    acutRelRb(xdata);
}

TEST_F(PlacementTest, ASpaceThatRefusesTheEntityIsReported) {
    CDocLock lock;
    AcDbMText* text = CreateMText(AcGePoint3d(0, 0, 0), 1, "x", 1);
    ASSERT_NE(text, nullptr);
    Output();
    // The same text a second time: it is already in the drawing.
    EXPECT_NE(AddToCurrentSpace(text, db()), Acad::eOk);
    EXPECT_EQ(Output(), "ERROR: could not add entity to current space");
    text->close();

    auto* loose = new AcDbMText;
    EXPECT_EQ(AddToCurrentSpace(loose, nullptr), Acad::eInvalidInput);
    EXPECT_EQ(Output(), "");
    delete loose;
}
