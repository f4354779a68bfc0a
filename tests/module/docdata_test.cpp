#include "frame/docdata.h"

#include "frame_test_host.h"

namespace {

void SetBox(CDocData& data, double x) {
    data.m_UpperLeft = AcGePoint3d(x, 2 * x, 0);
    data.m_LowerRight = AcGePoint3d(2 * x, x, 0);
}

TEST(DocDataBoxTest, AnyNonZeroCoordinateMakesABox) {
    CDocData data;
    EXPECT_FALSE(HasBox(data));
    for (int corner = 0; corner < 2; ++corner)
        for (int axis = 0; axis < 3; ++axis) {
            CDocData one;
            (corner ? one.m_LowerRight : one.m_UpperLeft)[axis] = corner ? 10 : -1e-300;
            EXPECT_TRUE(HasBox(one)) << "corner " << corner << " axis " << axis;
        }
    data.m_LowerRight = AcGePoint3d(-0.0, 0, -0.0);
    EXPECT_FALSE(HasBox(data));
}

using DocDataTest = HostTest;

TEST_F(DocDataTest, EachDocumentKeepsItsOwnBox) {
    AcApDocument* first = acDocManager->curDocument();
    AcApDocument* second = host->newDocument();
    EXPECT_FALSE(HasBox(docData()));
    CDocData& secondData = docData();
    SetBox(secondData, 5);

    EXPECT_FALSE(HasBox(docData(first)));
    ASSERT_EQ(acDocManager->setCurDocument(first), Acad::eOk);
    EXPECT_FALSE(HasBox(docData()));
    SetBox(docData(), 1);

    // The reference handed out earlier still is the second document's record.
    EXPECT_EQ(&docData(second), &secondData);
    EXPECT_EQ(docData(second).m_UpperLeft.y, 10.0);
    EXPECT_EQ(docData(first).m_UpperLeft.y, 2.0);
}

TEST_F(DocDataTest, ClosedDocumentLosesItsRecordAndAReusedAddressStartsFresh) {
    AcApDocument* doc = host->newDocument();
    SetBox(docData(doc), 3);
    ASSERT_TRUE(host->closeDocument(doc));
    EXPECT_FALSE(g_DocDataManager.hasDocData(doc));
    AcApDocument* next = host->newDocument();
    EXPECT_FALSE(HasBox(docData(next))) << "reused address " << (next == doc);
}

TEST_F(DocDataTest, RecordsEndWithTheHostSessionAndANewSessionIsFollowed) {
    AcApDataManager<CDocData> local;
    AcApDocument* doc = acDocManager->curDocument();
    SetBox(local.docData(doc), 7);
    SetBox(docData(doc), 7);

    cadhost::Host::stop();
    EXPECT_FALSE(local.hasDocData(doc));
    EXPECT_FALSE(g_DocDataManager.hasDocData(doc));
    host = &cadhost::Host::start();

    AcApDocument* fresh = acDocManager->curDocument();
    EXPECT_FALSE(HasBox(docData()));
    SetBox(docData(), 8);
    SetBox(local.docData(fresh), 8);
    ASSERT_TRUE(host->closeDocument(fresh));
    EXPECT_FALSE(g_DocDataManager.hasDocData(fresh));
    EXPECT_FALSE(local.hasDocData(fresh));
}

} // namespace
