// Handles and ids: text form, uniqueness, the handle seed, handle <-> id, several drawings.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "db_test_support.h"

#include <set>
#include <string>

namespace {

std::string Text(const AcDbHandle& h) {
    char buffer[AcDbHandle::kStrSiz];
    EXPECT_TRUE(h.getIntoAsciiBuffer(buffer, sizeof buffer));
    return buffer;
}

// A new text in the drawing's model space, closed.
AcDbObjectId AddText(AcDbDatabase* db) {
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite), Acad::eOk);
    auto* text = new AcDbMText;
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, text), Acad::eOk);
    text->close();
    space->close();
    return id;
}

class Handles : public DrawingTest {};

TEST(HandleText, IsUpperCaseHexWithoutLeadingZerosAndParsesBack) {
    EXPECT_EQ(Text(AcDbHandle(0x2F)), "2F");
    EXPECT_EQ(Text(AcDbHandle()), "0");
    EXPECT_EQ(Text(AcDbHandle(~std::uint64_t{0})), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(AcDbHandle("2f"), AcDbHandle(0x2F));
    EXPECT_EQ(AcDbHandle("0000002F"), AcDbHandle(0x2F));
    EXPECT_EQ(AcDbHandle(0x12345678u, 0x9ABCu), AcDbHandle("9ABC12345678"));
    // Anything that is not 1-16 hex digits is the null handle, not a prefix of it.
    for (const char* bad : {"", "2G", " 2F", "2F ", "-1", "11111111111111111"})
        EXPECT_TRUE(AcDbHandle(bad).isNull()) << bad;
    EXPECT_TRUE(AcDbHandle(static_cast<const char*>(nullptr)).isNull());
}

TEST(HandleText, RefusesABufferTooSmallAndLeavesItEmpty) {
    char buffer[3] = {'x', 'x', 'x'};
    EXPECT_FALSE(AcDbHandle(0xABC).getIntoAsciiBuffer(buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_TRUE(AcDbHandle(0xAB).getIntoAsciiBuffer(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "AB");
}

TEST(HandleText, IncrementsAndCompares) {
    AcDbHandle h(0xFF);
    ++h;
    EXPECT_EQ(Text(h), "100");
    EXPECT_LT(AcDbHandle(9), AcDbHandle(10));
    EXPECT_EQ(AcDbHandle(5) + AcDbHandle(6), AcDbHandle(11));
}

TEST_F(Handles, NewObjectsTakeTheSeedAndHandlesAreNeverGivenOutAgain) {
    std::set<AcDbHandle> seen;
    std::vector<AcDbObjectId> ids;
    for (int i = 0; i < 20; ++i) {
        AcDbHandle seed = db()->handseed();
        AcDbObjectId id = AddText(db());
        EXPECT_EQ(id.handle(), seed);
        EXPECT_TRUE(seen.insert(id.handle()).second);
        ids.push_back(id);
    }
    for (AcDbObjectId id : ids) {
        AcDbObject* object = nullptr;
        ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
        ASSERT_EQ(object->erase(), Acad::eOk);
        object->close();
    }
    // Erasing frees no handle: the next objects still get new ones.
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(seen.insert(AddText(db()).handle()).second);
    // The seed is one more than the highest handle in use.
    EXPECT_EQ(db()->handseed(), AcDbHandle(static_cast<std::uint64_t>(*seen.rbegin()) + 1));
}

TEST_F(Handles, TranslateToIdsAndBack) {
    AcDbObjectId id = AddText(db());
    AcDbObjectId found;
    EXPECT_EQ(db()->getAcDbObjectId(found, false, id.handle()), Acad::eOk);
    EXPECT_EQ(found, id);
    EXPECT_EQ(found.database(), db());
    EXPECT_EQ(found.objectClass(), AcDbMText::desc());
    // The text form of a handle, as a module stores it, leads back to the same object.
    EXPECT_EQ(db()->getAcDbObjectId(found, false, AcDbHandle(Text(id.handle()).c_str())),
              Acad::eOk);
    EXPECT_EQ(found, id);

    EXPECT_EQ(db()->getAcDbObjectId(found, false, AcDbHandle()), Acad::eNullHandle);
    EXPECT_EQ(db()->getAcDbObjectId(found, false, db()->handseed()), Acad::eUnknownHandle);
    EXPECT_TRUE(found.isNull());
}

TEST_F(Handles, AReservedHandleMovesTheSeedAndTakesItsObjectLater) {
    AcDbHandle far(0x4000);
    AcDbObjectId reserved;
    ASSERT_EQ(db()->getAcDbObjectId(reserved, true, far), Acad::eOk);
    EXPECT_EQ(db()->handseed(), AcDbHandle(0x4001));
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, reserved, AcDb::kForRead), Acad::ePermanentlyErased);
    EXPECT_EQ(AddText(db()).handle(), AcDbHandle(0x4001));

    auto* text = new AcDbMText;
    AcDbObjectId id;
    ASSERT_EQ(db()->addAcDbObjectWithHandle(id, text, far), Acad::eOk);
    EXPECT_EQ(id, reserved);
    text->close();
    auto* second = new AcDbMText;
    EXPECT_EQ(db()->addAcDbObjectWithHandle(id, second, far), Acad::eHandleInUse);
    delete second;

    AcDbObjectId none;
    EXPECT_EQ(db()->getAcDbObjectId(none, true, AcDbHandle(~std::uint64_t{0})),
              Acad::eInvalidInput);
    EXPECT_EQ(db()->setHandseed(AcDbHandle(0x10)), Acad::eInvalidInput);
    EXPECT_EQ(db()->setHandseed(AcDbHandle(0x9000)), Acad::eOk);
    EXPECT_EQ(AddText(db()).handle(), AcDbHandle(0x9000));
}

TEST_F(Handles, TwoDrawingsKeepTheirOwnHandlesAndIds) {
    AcDbDatabase other;
    AcDbObjectId here = AddText(db());
    AcDbObjectId there = AddText(&other);
    // Both drawings were built the same way, so the handles agree but the ids do not.
    EXPECT_EQ(here.handle(), there.handle());
    EXPECT_NE(here, there);
    EXPECT_EQ(here.database(), db());
    EXPECT_EQ(there.database(), &other);
    AcDbObjectId found;
    ASSERT_EQ(other.getAcDbObjectId(found, false, there.handle()), Acad::eOk);
    EXPECT_EQ(found, there);

    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, other.currentSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbMText* resident = nullptr;
    ASSERT_EQ(acdbOpenObject(resident, here, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(space->appendAcDbEntity(resident), Acad::eAlreadyInDb);
    resident->close();
    space->close();
}

TEST(DatabaseLifetime, IdsOfADestroyedDrawingStaySafe) {
    AcDbObjectId id, nod;
    {
        AcDbDatabase db;
        nod = db.namedObjectsDictionaryId();
        AcDbBlockTableRecord* space = nullptr;
        ASSERT_EQ(acdbOpenObject(space, db.currentSpaceId(), AcDb::kForWrite), Acad::eOk);
        auto* text = new AcDbMText;
        space->appendAcDbEntity(id, text);
        text->close();
        space->close();
        EXPECT_TRUE(id.isValid());
    }
    AcDbDatabase later; // may reuse the memory of the first one; must not inherit its ids
    EXPECT_FALSE(id.isValid());
    EXPECT_TRUE(id.isErased());
    EXPECT_EQ(id.database(), nullptr);
    EXPECT_TRUE(id.handle().isNull());
    EXPECT_EQ(id.objectClass(), nullptr);
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::ePermanentlyErased);
    EXPECT_EQ(acdbOpenObject(object, nod, AcDb::kForRead), Acad::ePermanentlyErased);
    ads_name name;
    EXPECT_EQ(acdbGetAdsName(name, id), Acad::eInvalidAdsName);
}

TEST(DatabaseLifetime, ADestroyedWorkingDatabaseIsNoLongerWorking) {
    AcDbDatabase* previous = acdbHostApplicationServices()->workingDatabase();
    auto* db = new AcDbDatabase;
    acdbHostApplicationServices()->setWorkingDatabase(db);
    delete db;
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
    acdbHostApplicationServices()->setWorkingDatabase(previous);
}

TEST_F(Handles, AdsNamesStandForIds) {
    AcDbObjectId id = AddText(db());
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    AcDbObjectId back;
    ASSERT_EQ(acdbGetObjectId(back, name), Acad::eOk);
    EXPECT_EQ(back, id);

    EXPECT_EQ(acdbGetAdsName(name, AcDbObjectId::kNull), Acad::eNullObjectId);
    ads_name zero = {0, 0};
    EXPECT_EQ(acdbGetObjectId(back, zero), Acad::eNullObjectId);
    ads_name forged = {0x7fffffff00000005, 0};
    EXPECT_EQ(acdbGetObjectId(back, forged), Acad::eInvalidAdsName);
    EXPECT_TRUE(back.isNull());
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, AcDbObjectId().setFromOldId(forged[0]), AcDb::kForRead),
              Acad::eInvalidInput);
}

TEST(ObjectIdArray, GrowsFindsAndRemoves) {
    AcDbDatabase db;
    AcDbObjectIdArray ids;
    EXPECT_TRUE(ids.isEmpty());
    EXPECT_EQ(ids.append(db.blockTableId()), 0);
    EXPECT_EQ(ids.append(db.layerTableId()), 1);
    ids.append(db.blockTableId());
    EXPECT_EQ(ids.length(), 3);
    EXPECT_EQ(ids[1], db.layerTableId());
    EXPECT_TRUE(ids.contains(db.layerTableId()));
    EXPECT_FALSE(ids.contains(db.regAppTableId()));
    int at = -1;
    EXPECT_TRUE(ids.find(db.blockTableId(), at, 1));
    EXPECT_EQ(at, 2);
    EXPECT_TRUE(ids.remove(db.layerTableId()));
    EXPECT_EQ(ids.length(), 2);
    ids.removeAll();
    EXPECT_TRUE(ids.isEmpty());
}

TEST(ObjectIdArrayDeathTest, StopsTheHostOnAnIndexOutOfRange) {
    AcDbObjectIdArray ids;
    ids.append(AcDbObjectId::kNull);
    EXPECT_DEATH(ids.at(1), "AcArray index 1 is out of range");
}

} // namespace
