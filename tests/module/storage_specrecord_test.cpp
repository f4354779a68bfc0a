// The record of a placed item: its stored form, the search by handle, erasing its texts.
#include "storage_test_host.h"

#include "frame/doclock.h"
#include "storage/dictdata.h"
#include "storage/specrecord.h"

#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"

namespace {

class SpecRecordTest : public StorageTest {
protected:
    // A text in model space, closed; its id.
    static AcDbObjectId AddText() {
        CDocLock lock;
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForWrite), Acad::eOk);
        auto* text = new AcDbMText;
        AcDbObjectId id;
        EXPECT_EQ(space->appendAcDbEntity(id, text), Acad::eOk);
        text->close();
        space->close();
        return id;
    }
    static bool IsErased(AcDbObjectId id) {
        AcDbObject* object = nullptr;
        if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk)
            return false;
        bool erased = object->isErased();
        object->close();
        return erased;
    }
};

} // namespace

TEST_F(SpecRecordTest, StoredFormListsHandlesBetweenNameAndSource) {
    CSpecRecord record(3, "C:\\Specs\\Doors.rtf", "{\\rtf1 a*b|c}");
    EXPECT_EQ(record.Compose(), "C:\\Specs\\Doors.rtf|*{\\rtf1 a*b|c}");
    record.m_Handles = {"2F", "30"};
    ASSERT_TRUE(record.Save());
    std::string value;
    ASSERT_TRUE(KSRxDictData::GetData("3", value));
    EXPECT_EQ(value, "C:\\Specs\\Doors.rtf|2F|30|*{\\rtf1 a*b|c}");

    CSpecRecord back(value);
    EXPECT_EQ(back.m_Name, "C:\\Specs\\Doors.rtf");
    EXPECT_EQ(back.m_Handles, (std::vector<std::string>{"2F", "30"}));
    EXPECT_EQ(back.m_Rtf, "{\\rtf1 a*b|c}");
    EXPECT_EQ(back.m_Key, "");

    CSpecRecord none("Spec|*R");
    EXPECT_EQ(none.m_Name, "Spec");
    EXPECT_TRUE(none.m_Handles.empty());
    EXPECT_EQ(none.m_Rtf, "R");
}

TEST_F(SpecRecordTest, ParsingStopsAtTheEndWithoutAStar) {
    CSpecRecord record(0, "old", "old source");
    record.m_Handles = {"1"};
    record.Parse("Name|2F|30");
    EXPECT_EQ(record.m_Name, "Name");
    // What follows the last "|" never reached a "|" of its own.
    EXPECT_EQ(record.m_Handles, (std::vector<std::string>{"2F"}));
    EXPECT_EQ(record.m_Rtf, "");
    EXPECT_EQ(record.m_Key, "0");

    // A "*" before any "|" leaves the name as it was.
    record.Parse("odd*rest");
    EXPECT_EQ(record.m_Name, "Name");
    EXPECT_TRUE(record.m_Handles.empty());
    EXPECT_EQ(record.m_Rtf, "rest");
}

TEST_F(SpecRecordTest, FindByHandleSearchesEveryRecordOfALargeSheet) {
    for (int i = 0; i < 90; ++i) {
        if (i >= 1 && i <= 4)
            continue; // gaps are searched past
        CSpecRecord record(i, "item " + std::to_string(i), "rtf " + std::to_string(i));
        record.m_Handles = {"A" + std::to_string(i), "B" + std::to_string(i)};
        // Item 80's source spans chunks, whose keys are not records themselves.
        if (i == 80)
            record.m_Rtf = std::string(40000, 'x');
        ASSERT_TRUE(record.Save());
    }
    for (int i : {0, 5, 75, 76, 80, 89}) {
        SCOPED_TRACE(i);
        CSpecRecord found;
        ASSERT_TRUE(found.FindByHandle("B" + std::to_string(i)));
        EXPECT_EQ(found.m_Key, std::to_string(i));
        EXPECT_EQ(found.m_Name, "item " + std::to_string(i));
        EXPECT_EQ(found.m_Rtf, i == 80 ? std::string(40000, 'x') : "rtf " + std::to_string(i));
    }
    CSpecRecord missing;
    EXPECT_FALSE(missing.FindByHandle("b5")); // handles compare with letter case
    EXPECT_FALSE(missing.FindByHandle("C1"));
    EXPECT_EQ(missing.m_Key, "");
    EXPECT_EQ(Output(), "");
}

TEST_F(SpecRecordTest, EraseEntitiesErasesTheListedTextsAndSkipsUnknownHandles) {
    const AcDbObjectId first = AddText();
    const AcDbObjectId second = AddText();
    const AcDbObjectId other = AddText();
    CSpecRecord record(0, "Spec", "R");
    record.AddHandle(first);
    record.AddHandle(second);
    record.AddHandle(AcDbObjectId());
    ASSERT_EQ(record.m_Handles.size(), 3u);
    EXPECT_FALSE(record.m_Handles[0].empty());
    EXPECT_NE(record.m_Handles[0], record.m_Handles[1]);
    EXPECT_EQ(record.m_Handles[2], "");
    record.m_Handles.push_back("FFFFF");
    {
        CDocLock lock;
        EXPECT_TRUE(record.EraseEntities());
    }
    EXPECT_TRUE(record.m_Handles.empty());
    EXPECT_TRUE(IsErased(first));
    EXPECT_TRUE(IsErased(second));
    EXPECT_FALSE(IsErased(other));
    EXPECT_EQ(Output(), "");
}
