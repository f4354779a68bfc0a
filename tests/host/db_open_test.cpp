// The open protocol: modes, their conflicts, upgrade and downgrade, erase, and the host
// stopping on use of an object outside its open span.
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "db_test_support.h"

namespace {

class OpenProtocol : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        m_text = appendToModelSpace(new AcDbMText);
    }
    AcDbObjectId text() const { return m_text; }

    AcDbMText* open(AcDb::OpenMode mode, bool openErased = false) {
        AcDbMText* object = nullptr;
        EXPECT_EQ(acdbOpenObject(object, m_text, mode, openErased), Acad::eOk);
        return object;
    }
    Acad::ErrorStatus tryOpen(AcDb::OpenMode mode, bool openErased = false) {
        AcDbObject* object = nullptr;
        Acad::ErrorStatus es = acdbOpenObject(object, m_text, mode, openErased);
        if (es == Acad::eOk)
            object->close();
        EXPECT_EQ(es == Acad::eOk, object != nullptr);
        return es;
    }

private:
    AcDbObjectId m_text;
};

TEST_F(OpenProtocol, ConflictingOpensAreRefusedWithTheirStatus) {
    AcDbMText* writer = open(AcDb::kForWrite);
    EXPECT_TRUE(writer->isWriteEnabled());
    AcDbObject* other = nullptr;
    EXPECT_EQ(acdbOpenObject(other, text(), AcDb::kForRead), Acad::eWasOpenForWrite);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(acdbOpenObject(other, text(), AcDb::kForWrite), Acad::eWasOpenForWrite);
    writer->close();

    AcDbMText* reader = open(AcDb::kForRead);
    EXPECT_TRUE(reader->isReadEnabled());
    EXPECT_FALSE(reader->isWriteEnabled());
    EXPECT_EQ(tryOpen(AcDb::kForWrite), Acad::eWasOpenForRead);
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eOk);
    reader->close();
    // Closed again: every mode opens.
    EXPECT_EQ(tryOpen(AcDb::kForWrite), Acad::eOk);

    AcDbMText* notified = open(AcDb::kForNotify);
    EXPECT_EQ(tryOpen(AcDb::kForWrite), Acad::eWasOpenForNotify);
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eOk);
    notified->close();
}

TEST_F(OpenProtocol, UpTo256ReadersAtOnce) {
    std::vector<AcDbMText*> readers;
    for (int i = 0; i < 256; ++i)
        readers.push_back(open(AcDb::kForRead));
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eAtMaxReaders);
    readers.back()->close();
    readers.pop_back();
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eOk);
    for (AcDbMText* reader : readers)
        reader->close();
    EXPECT_FALSE(readers.front()->isReadEnabled());
}

TEST_F(OpenProtocol, UpgradeNeedsTheOnlyReaderAndDowngradeTheWriter) {
    AcDbMText* first = open(AcDb::kForRead);
    AcDbMText* second = open(AcDb::kForRead);
    EXPECT_EQ(first->upgradeOpen(), Acad::eHadMultipleReaders);
    second->close();
    ASSERT_EQ(first->upgradeOpen(), Acad::eOk);
    EXPECT_TRUE(first->isWriteEnabled());
    EXPECT_EQ(first->upgradeOpen(), Acad::eWasOpenForWrite);
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eWasOpenForWrite);
    ASSERT_EQ(first->downgradeOpen(), Acad::eOk);
    EXPECT_FALSE(first->isWriteEnabled());
    EXPECT_EQ(first->downgradeOpen(), Acad::eWasNotOpenForWrite);
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eOk);
    first->close();
    EXPECT_FALSE(first->isReadEnabled());
}

TEST_F(OpenProtocol, EraseMarksAndUnerases) {
    AcDbMText* reader = open(AcDb::kForRead);
    EXPECT_EQ(reader->erase(), Acad::eNotOpenForWrite);
    reader->close();

    AcDbMText* writer = open(AcDb::kForWrite);
    EXPECT_EQ(writer->erase(false), Acad::eWasNotErased);
    ASSERT_EQ(writer->erase(), Acad::eOk);
    EXPECT_EQ(writer->erase(), Acad::eWasErased);
    writer->close();
    EXPECT_TRUE(text().isErased());
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eWasErased);

    writer = open(AcDb::kForWrite, true);
    EXPECT_TRUE(writer->isErased());
    ASSERT_EQ(writer->erase(false), Acad::eOk);
    writer->close();
    EXPECT_FALSE(text().isErased());
    EXPECT_EQ(tryOpen(AcDb::kForRead), Acad::eOk);
}

TEST_F(OpenProtocol, NullAndForeignIdsAndWrongClasses) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
    AcDbLine* line = nullptr;
    EXPECT_EQ(acdbOpenObject(line, text(), AcDb::kForRead), Acad::eNotThatKindOfClass);
    EXPECT_EQ(line, nullptr);
    // The refused typed open did not leave the object open.
    EXPECT_EQ(tryOpen(AcDb::kForWrite), Acad::eOk);
    AcDbEntity* entity = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(entity, db()->namedObjectsDictionaryId(), AcDb::kForRead),
              Acad::eNotAnEntity);
    ASSERT_EQ(acdbOpenAcDbEntity(entity, text(), AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(AcDbMText::cast(entity));
    entity->close();
}

TEST_F(OpenProtocol, NewAndModifiedFollowTheOpens) {
    auto* fresh = new AcDbMText;
    EXPECT_FALSE(fresh->isDatabaseResident());
    // Not in a database: it belongs to its maker and counts as open for write.
    EXPECT_TRUE(fresh->isWriteEnabled());
    EXPECT_EQ(fresh->upgradeOpen(), Acad::eWasOpenForWrite);
    EXPECT_EQ(fresh->erase(), Acad::eNotInDatabase);
    EXPECT_EQ(fresh->close(), Acad::eOk);
    fresh->setContents("still mine");
    AcDbObjectId id = appendToModelSpace(fresh);

    AcDbMText* reopened = nullptr;
    ASSERT_EQ(acdbOpenObject(reopened, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_FALSE(reopened->isNewObject());
    EXPECT_FALSE(reopened->isModified());
    reopened->setWidth(3.0);
    EXPECT_TRUE(reopened->isModified());
    reopened->close();
}

TEST_F(OpenProtocol, TheDrawingsOwnObjectsCannotBeErased) {
    for (AcDbObjectId id : {db()->namedObjectsDictionaryId(), db()->blockTableId(),
                            db()->currentSpaceId(), db()->layerZero(), db()->textstyle()}) {
        AcDbObject* object = nullptr;
        ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(object->erase(), Acad::eCannotBeErasedByCaller) << object->isA()->name();
        object->close();
        EXPECT_FALSE(id.isErased());
    }
}

using OpenProtocolDeathTest = OpenProtocol;

TEST_F(OpenProtocolDeathTest, UseOutsideTheOpenSpanStopsTheHost) {
    AcDbMText* closed = open(AcDb::kForRead);
    closed->close();
    EXPECT_DEATH(closed->contents(),
                 "object of class AcDbMText is not open for read \\(it is closed");
    EXPECT_DEATH(closed->close(), "object of class AcDbMText was closed but is not open");

    AcDbMText* reader = open(AcDb::kForRead);
    EXPECT_DEATH(reader->setTextHeight(2.0),
                 "object of class AcDbMText is not open for write \\(it is open for read");
    EXPECT_DEATH(reader->setLayer("0"), "not open for write");
    reader->close();
}

TEST_F(OpenProtocolDeathTest, DeletingAnObjectTheDrawingOwnsStopsTheHost) {
    AcDbMText* writer = open(AcDb::kForWrite);
    EXPECT_DEATH(delete writer, "an object in a database was deleted");
    writer->close();
}

} // namespace
