// The change count of a drawing: it grows when an object open for write is closed, and not
// when objects are only read.
#include "arx/dbents.h"
#include "db/changecount.h"
#include "db_test_support.h"

namespace {

using cadhost::db::ChangeCountOf;

class ChangeCountTest : public DrawingTest {};

TEST_F(ChangeCountTest, GrowsWithWritesAndNotWithReads) {
    EXPECT_EQ(ChangeCountOf(nullptr), 0u);
    std::uint64_t start = ChangeCountOf(db());
    AcDbObjectId id = appendToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
    std::uint64_t afterAppend = ChangeCountOf(db());
    EXPECT_GT(afterAppend, start);

    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
    line->close();
    EXPECT_EQ(ChangeCountOf(db()), afterAppend) << "reading changes nothing";

    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForWrite), Acad::eOk);
    line->setEndPoint(AcGePoint3d(2, 2, 0));
    EXPECT_EQ(ChangeCountOf(db()), afterAppend) << "counted when the change is complete";
    line->close();
    std::uint64_t afterEdit = ChangeCountOf(db());
    EXPECT_GT(afterEdit, afterAppend);

    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(line->erase(), Acad::eOk);
    line->close();
    EXPECT_GT(ChangeCountOf(db()), afterEdit);
}

TEST_F(ChangeCountTest, DowngradedOpenCountsAsAWrite) {
    AcDbObjectId id = appendToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    std::uint64_t before = ChangeCountOf(db());
    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForWrite), Acad::eOk);
    line->setStartPoint(AcGePoint3d(0, 5, 0));
    ASSERT_EQ(line->downgradeOpen(), Acad::eOk);
    EXPECT_GT(ChangeCountOf(db()), before);
    line->close();
}

TEST_F(ChangeCountTest, EachDrawingCountsItsOwn) {
    AcDbDatabase other;
    std::uint64_t otherBefore = ChangeCountOf(&other);
    appendToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    EXPECT_EQ(ChangeCountOf(&other), otherBefore);
}

} // namespace
