// The binary memory filer: every kind of value comes back as written, long strings survive,
// and a buffer that ends early fails with eEndOfFile instead of handing out garbage.
#include "db/dwgfiler.h"

#include "arx/dbents.h"
#include "db_test_support.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using cadhost::db::BinaryDwgFiler;

namespace {

std::string readBack(BinaryDwgFiler& filer) {
    char* text = nullptr;
    EXPECT_EQ(filer.readString(&text), Acad::eOk);
    std::string out = text ? text : "<null>";
    acutDelString(text);
    return out;
}

class DwgFilerTest : public DrawingTest {};

TEST_F(DwgFilerTest, EveryKindOfValueRoundTrips) {
    BinaryDwgFiler out(AcDb::kUndoFiler, db());
    EXPECT_EQ(out.filerType(), AcDb::kUndoFiler);
    out.writeBool(true);
    out.writeInt8(-5);
    out.writeUInt8(250);
    out.writeInt16(std::numeric_limits<Adesk::Int16>::min());
    out.writeUInt16(65535);
    out.writeInt32(-123456789);
    out.writeUInt32(4000000000u);
    out.writeInt64(std::numeric_limits<Adesk::Int64>::min());
    out.writeUInt64(std::numeric_limits<Adesk::UInt64>::max());
    out.writeDouble(-0.1);
    out.writePoint3d(AcGePoint3d(1.5, -2.5, 3.25));
    out.writeVector3d(AcGeVector3d(0, 0, -1));
    out.writeAcDbHandle(AcDbHandle(0x1234ABCDull));
    const unsigned char chunk[] = {0, 1, 0xFF, 0};
    out.writeBytes(chunk, sizeof chunk);
    out.writeString(nullptr);
    out.writeString("a\tb");
    out.writeHardOwnershipId(db()->currentSpaceId());
    out.writeSoftPointerId(AcDbObjectId());
    ASSERT_EQ(out.filerStatus(), Acad::eOk);

    BinaryDwgFiler in(out.bytes(), AcDb::kUndoFiler, db());
    bool b = false;
    Adesk::Int8 i8 = 0;
    Adesk::UInt8 u8 = 0;
    Adesk::Int16 i16 = 0;
    Adesk::UInt16 u16 = 0;
    Adesk::Int32 i32 = 0;
    Adesk::UInt32 u32 = 0;
    Adesk::Int64 i64 = 0;
    Adesk::UInt64 u64 = 0;
    double d = 0;
    AcGePoint3d p;
    AcGeVector3d v;
    AcDbHandle h;
    unsigned char back[4] = {9, 9, 9, 9};
    in.readBool(&b);
    in.readInt8(&i8);
    in.readUInt8(&u8);
    in.readInt16(&i16);
    in.readUInt16(&u16);
    in.readInt32(&i32);
    in.readUInt32(&u32);
    in.readInt64(&i64);
    in.readUInt64(&u64);
    in.readDouble(&d);
    in.readPoint3d(&p);
    in.readVector3d(&v);
    in.readAcDbHandle(&h);
    in.readBytes(back, sizeof back);
    EXPECT_EQ(readBack(in), "");
    EXPECT_EQ(readBack(in), "a\tb");
    AcDbHardOwnershipId space;
    AcDbSoftPointerId none;
    in.readHardOwnershipId(&space);
    in.readSoftPointerId(&none);
    ASSERT_EQ(in.filerStatus(), Acad::eOk);

    EXPECT_TRUE(b);
    EXPECT_EQ(i8, -5);
    EXPECT_EQ(u8, 250);
    EXPECT_EQ(i16, std::numeric_limits<Adesk::Int16>::min());
    EXPECT_EQ(u16, 65535);
    EXPECT_EQ(i32, -123456789);
    EXPECT_EQ(u32, 4000000000u);
    EXPECT_EQ(i64, std::numeric_limits<Adesk::Int64>::min());
    EXPECT_EQ(u64, std::numeric_limits<Adesk::UInt64>::max());
    EXPECT_EQ(d, -0.1);
    EXPECT_EQ(p, AcGePoint3d(1.5, -2.5, 3.25));
    EXPECT_EQ(v, AcGeVector3d(0, 0, -1));
    EXPECT_EQ(static_cast<std::uint64_t>(h), 0x1234ABCDull);
    EXPECT_EQ(std::memcmp(back, chunk, sizeof chunk), 0);
    EXPECT_EQ(AcDbObjectId(space), db()->currentSpaceId());
    EXPECT_TRUE(none.isNull());
}

TEST_F(DwgFilerTest, LongStringsSurvive) {
    for (std::size_t length : {std::size_t{32767}, std::size_t{1} << 20}) {
        std::string text(length, 'x');
        text.front() = 'A';
        text.back() = 'Z';
        BinaryDwgFiler filer(AcDb::kFileFiler, db());
        filer.writeString(text.c_str());
        EXPECT_EQ(readBack(filer), text) << length;
    }
}

TEST_F(DwgFilerTest, TruncatedBufferFailsAndStaysFailed) {
    BinaryDwgFiler out;
    out.writeString("hello");
    out.writeInt32(7);
    std::vector<std::uint8_t> cut = out.bytes();
    cut.resize(cut.size() - 1);

    BinaryDwgFiler in(cut, AcDb::kFileFiler, nullptr);
    EXPECT_EQ(readBack(in), "hello");
    Adesk::Int32 value = 99;
    EXPECT_EQ(in.readInt32(&value), Acad::eEndOfFile);
    EXPECT_EQ(value, 0);
    // A string cut inside its text, or a length prefix larger than the buffer, reads nothing.
    std::vector<std::uint8_t> cutText = out.bytes();
    cutText.resize(10);
    BinaryDwgFiler inText(cutText, AcDb::kFileFiler, nullptr);
    char* text = nullptr;
    EXPECT_EQ(inText.readString(&text), Acad::eEndOfFile);
    EXPECT_EQ(text, nullptr);
    // Once failed, later reads keep the first error rather than resuming mid-buffer.
    Adesk::UInt8 byte = 1;
    EXPECT_EQ(inText.readUInt8(&byte), Acad::eEndOfFile);
    EXPECT_EQ(byte, 0);
}

TEST_F(DwgFilerTest, ChunkOfOtherSizeIsAnError) {
    BinaryDwgFiler filer;
    const char chunk[3] = {1, 2, 3};
    filer.writeBytes(chunk, sizeof chunk);
    char back[4] = {};
    EXPECT_EQ(filer.readBytes(back, sizeof back), Acad::eFilerError);
}

} // namespace
