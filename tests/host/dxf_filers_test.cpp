// The DXF filers over tags: what objects read from tags and what they write as tags.
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "db/dxf/filers.h"
#include "db_test_support.h"

using namespace cadhost::db::dxf;

namespace {

Tags Of(std::initializer_list<std::pair<int, const char*>> list) {
    Tags tags;
    for (auto& [code, value] : list)
        tags.push_back(Tag{code, value, 0});
    return tags;
}

class DxfFilers : public DrawingTest {};

} // namespace

TEST_F(DxfFilers, ReaderAssemblesPointsAndTurnsHandlesIntoReservedIds) {
    Tags tags = Of({{10, "1.5"},
                    {20, "2"},
                    {30, "-3"},
                    {11, "4"},
                    {21, "5"},
                    {340, "7F3"},
                    {330, "0"},
                    {1001, "APP"}});
    DxfTagReader filer(tags, db());
    resbuf item{};
    ASSERT_EQ(filer.readItem(&item), Acad::eOk);
    EXPECT_EQ(item.restype, 10);
    EXPECT_EQ(item.resval.rpoint[0], 1.5);
    EXPECT_EQ(item.resval.rpoint[2], -3.0);
    ASSERT_EQ(filer.readItem(&item), Acad::eOk);
    EXPECT_EQ(item.resval.rpoint[1], 5.0);
    EXPECT_EQ(item.resval.rpoint[2], 0.0) << "a point without z lies in the plane";
    ASSERT_EQ(filer.readItem(&item), Acad::eOk);
    AcDbObjectId id;
    acdbGetObjectId(id, item.resval.rlname);
    EXPECT_EQ(id.handle(), AcDbHandle(0x7F3u));
    EXPECT_GT(static_cast<std::uint64_t>(db()->handseed()), 0x7F3u)
        << "the reserved handle is never given to a new object";
    ASSERT_EQ(filer.readItem(&item), Acad::eOk);
    acdbGetObjectId(id, item.resval.rlname);
    EXPECT_TRUE(id.isNull());
    EXPECT_TRUE(filer.atExtendedData());
    EXPECT_EQ(filer.readItem(&item), Acad::eEndOfObject) << "extended data is not a field";
}

TEST_F(DxfFilers, PushBackAndSubclassMarkers) {
    Tags tags = Of({{100, "AcDbEntity"}, {8, "WALLS"}, {40, "oops"}});
    DxfTagReader filer(tags, db());
    EXPECT_FALSE(filer.atSubclassData("AcDbLine"));
    EXPECT_TRUE(filer.atSubclassData("AcDbEntity"));
    resbuf item{};
    ASSERT_EQ(filer.readItem(&item), Acad::eOk);
    EXPECT_STREQ(item.resval.rstring, "WALLS");
    EXPECT_EQ(filer.pushBackItem(), Acad::eOk);
    EXPECT_NE(filer.pushBackItem(), Acad::eOk) << "one item goes back, not two";
    ASSERT_EQ(filer.readItem(&item), Acad::eOk);
    EXPECT_EQ(item.restype, 8);
    EXPECT_EQ(filer.readItem(&item), Acad::eBadDxfSequence);
    EXPECT_EQ(filer.filerStatus(), Acad::eBadDxfSequence);
    EXPECT_NE(std::string(filer.errorMessage()).find("oops"), std::string::npos);
}

TEST_F(DxfFilers, WriterFilesAnEntityAsTags) {
    auto* line = new AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(4.25, 5, 6));
    line->setColorIndex(3);
    AcDbObjectId id = appendToModelSpace(line);
    AcDbLine* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, id, AcDb::kForRead), Acad::eOk);
    DxfTagWriter filer(db());
    ASSERT_EQ(open->dxfOutFields(&filer), Acad::eOk);
    open->close();
    const Tags& tags = filer.tags();
    char handle[AcDbHandle::kStrSiz], owner[AcDbHandle::kStrSiz];
    id.handle().getIntoAsciiBuffer(handle, sizeof handle);
    db()->currentSpaceId().handle().getIntoAsciiBuffer(owner, sizeof owner);
    Tags expected = Of({{5, handle},
                        {330, owner},
                        {100, "AcDbEntity"},
                        {8, "0"},
                        {62, "3"},
                        {100, "AcDbLine"},
                        {10, "1.0"},
                        {20, "2.0"},
                        {30, "3.0"},
                        {11, "4.25"},
                        {21, "5.0"},
                        {31, "6.0"}});
    EXPECT_EQ(tags, expected);
}

TEST_F(DxfFilers, AStringWithLineBreaksStaysOnOneLine) {
    DxfTagWriter filer(db());
    ASSERT_EQ(filer.writeString(AcDb::kDxfXTextString, "one\r\ntwo\nthree"), Acad::eOk);
    ASSERT_EQ(filer.writeString(AcDb::kDxfXTextString, "caret ^J as it is"), Acad::eOk);
    Tags expected = Of({{300, "one^M^Jtwo^Jthree"}, {300, "caret ^J as it is"}});
    EXPECT_EQ(filer.tags(), expected);
}

TEST_F(DxfFilers, ExtendedDataOfTagsBecomesAChain) {
    Tags tags = Of({{5, "1"},
                    {1001, "APP"},
                    {1000, "text"},
                    {1010, "1"},
                    {1020, "2"},
                    {1030, "3"},
                    {1004, "0AFF"},
                    {1071, "70000"}});
    resbuf* chain = nullptr;
    ASSERT_TRUE(XDataChainOf(ViewsOf(tags), XDataStart(ViewsOf(tags)), chain));
    ASSERT_NE(chain, nullptr);
    EXPECT_STREQ(chain->resval.rstring, "APP");
    const resbuf* point = chain->rbnext->rbnext;
    EXPECT_EQ(point->restype, 1010);
    EXPECT_EQ(point->resval.rpoint[2], 3.0);
    const resbuf* binary = point->rbnext;
    ASSERT_EQ(binary->resval.rbinary.clen, 2);
    EXPECT_EQ(static_cast<unsigned char>(binary->resval.rbinary.buf[1]), 0xFF);
    EXPECT_EQ(binary->rbnext->resval.rlong, 70000);
    acutRelRb(chain);
    Tags broken = Of({{1001, "APP"}, {1004, "0G"}});
    EXPECT_FALSE(XDataChainOf(ViewsOf(broken), 0, chain));
}
