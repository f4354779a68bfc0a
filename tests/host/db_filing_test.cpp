// Filing: what objects write to DWG and DXF filers, and that reading it back restores them.
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "db/dwgfiler.h"
#include "db_test_support.h"
#include "one_text_object.h"

#include <string>

namespace {

using cadhost::db::BinaryDwgFiler;

using rivlet_test::OneTextObject;

class Filing : public DrawingTest {};

TEST_F(Filing, TheObjectPartIsTheHandleAndOwnerThenTheClassFields) {
    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
    auto* holder = new OneTextObject;
    holder->text = "";
    AcDbObjectId id;
    ASSERT_EQ(nod->setAt("HOLDER", holder, id), Acad::eOk);
    nod->close();

    MemoryDxfFiler out(db());
    ASSERT_EQ(holder->dxfOutFields(&out), Acad::eOk);
    EXPECT_EQ(out.codes(), (std::vector<int>{5, 330, 100, 300}));
    char handle[AcDbHandle::kStrSiz];
    id.handle().getIntoAsciiBuffer(handle, sizeof handle);
    EXPECT_EQ(out.textOf(5), handle);
    EXPECT_EQ(out.textOf(100), "OneTextObject");
    EXPECT_EQ(out.textOf(300), "") << "an empty text files as an empty 300 group";

    holder->text = "changed";
    out.rewindFiler();
    ASSERT_EQ(holder->dxfInFields(&out), Acad::eOk);
    EXPECT_EQ(holder->text, "");
    EXPECT_EQ(holder->ownerId(), db()->namedObjectsDictionaryId());

    // A wrong group after the marker is pushed back and refused.
    out.items()[3].code = 1;
    out.rewindFiler();
    EXPECT_EQ(holder->dxfInFields(&out), Acad::eBadDxfSequence);
    resbuf next;
    ASSERT_EQ(out.readItem(&next), Acad::eOk);
    EXPECT_EQ(next.restype, 1);
    holder->close();
}

TEST_F(Filing, DwgRoundTripKeepsLongTextsAndExtendedData) {
    ASSERT_EQ(acdbRegApp("KSRRivlet"), RTNORM);
    auto* holder = new OneTextObject;
    holder->text = std::string(32767, 'r');
    const double corner[3] = {1, 2, 3};
    resbuf* xdata = acutBuildList(1001, "KSRRivlet", 1070, 1, 1010, corner, 0);
    ASSERT_EQ(holder->setXData(xdata), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(db()->addAcDbObject(id, holder), Acad::eOk);

    BinaryDwgFiler filer(AcDb::kCopyFiler, db());
    ASSERT_EQ(holder->dwgOutFields(&filer), Acad::eOk);
    auto* copy = new OneTextObject;
    filer.rewind();
    ASSERT_EQ(copy->dwgInFields(&filer), Acad::eOk);
    EXPECT_EQ(copy->text, holder->text);
    resbuf* copied = copy->xData("KSRRivlet");
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->rbnext->resval.rint, 1);
    EXPECT_DOUBLE_EQ(copied->rbnext->rbnext->resval.rpoint[2], 3.0);
    acutRelRb(copied);
    acutRelRb(xdata);
    delete copy;
    holder->close();
}

TEST_F(Filing, MTextRoundTripsThroughBothFilers) {
    auto* text = new AcDbMText;
    // 600 bytes with two-byte characters straddling the 250-byte cuts of DXF lines.
    std::string contents;
    while (contents.size() < 600)
        contents += "\xC3\xA9x";
    text->setContents(contents.c_str());
    text->setLocation(AcGePoint3d(1, 2, 3));
    text->setWidth(50.0);
    text->setTextHeight(2.5);
    text->setTextStyle(db()->textstyle());
    text->setAttachment(AcDbMText::kMiddleCenter);
    text->setRotation(0.5);
    AcDbObjectId id = appendToModelSpace(text);
    ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForRead), Acad::eOk);

    MemoryDxfFiler dxf(db());
    ASSERT_EQ(text->dxfOutFields(&dxf), Acad::eOk);
    for (const auto& item : dxf.items())
        if (item.code == 1 || item.code == 3) {
            EXPECT_LE(item.text.size(), 250u);
            EXPECT_NE(static_cast<unsigned char>(item.text[0]) & 0xC0, 0x80)
                << "a line starts inside a character";
        }
    EXPECT_EQ(dxf.textOf(7), "Standard");
    EXPECT_EQ(dxf.textOf(8), "0");

    BinaryDwgFiler dwg(AcDb::kCopyFiler, db());
    ASSERT_EQ(text->dwgOutFields(&dwg), Acad::eOk);

    for (int pass = 0; pass < 2; ++pass) {
        AcDbMText copy;
        if (pass == 0) {
            dxf.rewindFiler();
            ASSERT_EQ(copy.dxfInFields(&dxf), Acad::eOk);
        } else {
            dwg.rewind();
            ASSERT_EQ(copy.dwgInFields(&dwg), Acad::eOk);
        }
        char* back = copy.contents();
        EXPECT_EQ(std::string(back), contents) << pass;
        acutDelString(back);
        EXPECT_TRUE(copy.location().isEqualTo(AcGePoint3d(1, 2, 3)));
        EXPECT_DOUBLE_EQ(copy.width(), 50.0);
        EXPECT_DOUBLE_EQ(copy.textHeight(), 2.5);
        EXPECT_EQ(copy.textStyle(), db()->textstyle());
        EXPECT_EQ(copy.attachment(), AcDbMText::kMiddleCenter);
        EXPECT_NEAR(copy.rotation(), 0.5, 1e-12);
    }
    text->close();
}

TEST_F(Filing, DictionariesFileTheirEntriesInKeyOrder) {
    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId b, a;
    auto* first = new AcDbDictionary;
    nod->setAt("B", first, b);
    first->close();
    auto* second = new AcDbDictionary;
    nod->setAt("a", second, a);
    second->close();
    MemoryDxfFiler out(db());
    ASSERT_EQ(nod->dxfOutFields(&out), Acad::eOk);
    EXPECT_EQ(out.textOf(3, 0), "a");
    EXPECT_EQ(out.textOf(3, 1), "B");

    BinaryDwgFiler dwg(AcDb::kCopyFiler, db());
    ASSERT_EQ(nod->dwgOutFields(&dwg), Acad::eOk);
    AcDbDictionary copy;
    dwg.rewind();
    ASSERT_EQ(copy.dwgInFields(&dwg), Acad::eOk);
    AcDbObjectId found;
    EXPECT_EQ(copy.getAt("A", found), Acad::eOk);
    EXPECT_EQ(found, a);
    AcDbDictionaryIterator* it = copy.newIterator(AcRx::kDictCollated);
    EXPECT_STREQ(it->name(), "B") << "stored order survives the copy";
    delete it;
    nod->close();
}

TEST_F(Filing, AFilerThatReadsWhatWasNotWrittenIsCaught) {
    // A circle files fewer values than a line reads: the binary filer runs out.
    AcDbCircle circle(AcGePoint3d(5, 5, 5), AcGeVector3d::kZAxis, 3.0);
    BinaryDwgFiler dwg(AcDb::kCopyFiler, db());
    ASSERT_EQ(circle.dwgOutFields(&dwg), Acad::eOk);
    AcDbLine line(AcGePoint3d(1, 1, 1), AcGePoint3d(2, 2, 2));
    dwg.rewind();
    EXPECT_NE(line.dwgInFields(&dwg), Acad::eOk);
    EXPECT_TRUE(line.startPoint().isEqualTo(AcGePoint3d(1, 1, 1)))
        << "a failed read leaves the fields alone";
}

} // namespace
