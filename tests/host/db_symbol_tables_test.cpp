// Symbol tables and blocks: the default drawing, lookups, adding, iteration, erase, rename,
// registered applications.
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"
#include "db_test_support.h"

#include <string>
#include <vector>

namespace {

class SymbolTables : public DrawingTest {
protected:
    std::vector<AcDbObjectId> modelSpaceIds(bool skipDeleted = true) {
        std::vector<AcDbObjectId> ids;
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it, true, skipDeleted);
        for (; !it->done(); it->step(true, skipDeleted)) {
            AcDbObjectId id;
            it->getEntityId(id);
            ids.push_back(id);
        }
        delete it;
        space->close();
        return ids;
    }
    void erase(AcDbObjectId id) {
        AcDbObject* object = nullptr;
        ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
        ASSERT_EQ(object->erase(), Acad::eOk);
        object->close();
    }
};

TEST_F(SymbolTables, ANewDrawingHasItsStandardRecords) {
    AcDbBlockTable* blocks = nullptr;
    ASSERT_EQ(db()->getBlockTable(blocks), Acad::eOk);
    AcDbObjectId model, paper;
    EXPECT_EQ(blocks->getAt(ACDB_MODEL_SPACE, model), Acad::eOk);
    EXPECT_EQ(blocks->getAt(ACDB_PAPER_SPACE, paper), Acad::eOk);
    blocks->close();
    EXPECT_EQ(db()->currentSpaceId(), model);
    EXPECT_NE(model, paper);

    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(layers->has("0"));
    layers->close();
    AcDbRegAppTable* apps = nullptr;
    ASSERT_EQ(db()->getRegAppTable(apps), Acad::eOk);
    EXPECT_TRUE(apps->has("ACAD"));
    apps->close();
    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod), Acad::eOk);
    nod->close();

    AcDbDatabase empty(false);
    EXPECT_TRUE(empty.blockTableId().isNull());
    EXPECT_EQ(empty.approxNumObjects(), 0);
    EXPECT_EQ(empty.handseed(), AcDbHandle(1));
}

TEST_F(SymbolTables, LookupIgnoresLetterCase) {
    AcDbTextStyleTable* styles = nullptr;
    ASSERT_EQ(db()->getTextStyleTable(styles), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(styles->getAt("STANDARD", id), Acad::eOk);
    EXPECT_EQ(id, db()->textstyle());
    AcDbTextStyleTableRecord* style = nullptr;
    ASSERT_EQ(styles->getAt("sTaNdArD", style, AcDb::kForRead), Acad::eOk);
    const char* name = nullptr;
    style->getName(name);
    EXPECT_STREQ(name, "Standard");
    style->close();
    EXPECT_EQ(styles->getAt("Missing", id), Acad::eKeyNotFound);
    styles->close();
}

TEST_F(SymbolTables, AddRefusesDuplicatesBadNamesAndForeignRecords) {
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db()->getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
    auto add = [&](AcDbSymbolTableRecord* record, const char* name) {
        record->setName(name);
        Acad::ErrorStatus es = layers->add(record);
        if (es == Acad::eOk)
            record->close();
        else
            delete record;
        return es;
    };
    EXPECT_EQ(add(new AcDbLayerTableRecord, "Walls"), Acad::eOk);
    EXPECT_EQ(add(new AcDbLayerTableRecord, "WALLS"), Acad::eDuplicateRecordName);
    EXPECT_EQ(add(new AcDbLayerTableRecord, ""), Acad::eInvalidSymbolTableName);
    EXPECT_EQ(add(new AcDbTextStyleTableRecord, "Notes"), Acad::eWrongObjectType);
    auto* bad = new AcDbLayerTableRecord;
    EXPECT_EQ(bad->setName("a|b"), Acad::eInvalidSymbolTableName);
    EXPECT_EQ(bad->setName("*Star"), Acad::eInvalidSymbolTableName);
    delete bad;
    layers->downgradeOpen();
    EXPECT_EQ(add(new AcDbLayerTableRecord, "Doors"), Acad::eNotOpenForWrite);
    layers->close();
}

TEST_F(SymbolTables, RenamingKeepsTheIndexAndProtectsFixedNames) {
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db()->getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
    auto* walls = new AcDbLayerTableRecord;
    walls->setName("Walls");
    AcDbObjectId wallsId;
    ASSERT_EQ(layers->add(wallsId, walls), Acad::eOk);
    EXPECT_EQ(walls->setName("0"), Acad::eDuplicateRecordName);
    ASSERT_EQ(walls->setName("Partitions"), Acad::eOk);
    walls->close();
    EXPECT_FALSE(layers->has("Walls"));
    AcDbObjectId found;
    EXPECT_EQ(layers->getAt("PARTITIONS", found), Acad::eOk);
    EXPECT_EQ(found, wallsId);

    AcDbLayerTableRecord* zero = nullptr;
    ASSERT_EQ(layers->getAt("0", zero, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(zero->setName("Base"), Acad::eIllegalReplacement);
    zero->close();
    layers->close();
}

TEST_F(SymbolTables, ErasedRecordsAreFoundOnlyWhenAskedAndTheirNameCanBeTakenAgain) {
    ASSERT_EQ(acdbRegApp("KSRTEST"), RTNORM);
    AcDbRegAppTable* apps = nullptr;
    ASSERT_EQ(db()->getRegAppTable(apps, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId old;
    apps->getAt("KSRTEST", old);
    erase(old);
    AcDbObjectId found;
    EXPECT_EQ(apps->getAt("KSRTEST", found), Acad::eKeyNotFound);
    EXPECT_EQ(apps->getAt("KSRTEST", found, true), Acad::eOk);
    EXPECT_EQ(found, old);
    auto* again = new AcDbRegAppTableRecord;
    again->setName("ksrtest");
    ASSERT_EQ(apps->add(again), Acad::eOk);
    again->close();
    apps->close();
    // The old record cannot come back while its name is taken.
    AcDbObject* record = nullptr;
    ASSERT_EQ(acdbOpenObject(record, old, AcDb::kForWrite, true), Acad::eOk);
    EXPECT_EQ(record->erase(false), Acad::eDuplicateRecordName);
    record->close();
}

TEST_F(SymbolTables, ModelSpaceIteratesInAppendOrderAndSkipsErased) {
    AcDbObjectId a = appendToModelSpace(new AcDbMText);
    AcDbObjectId b = appendToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
    AcDbObjectId c =
        appendToModelSpace(new AcDbCircle(AcGePoint3d(5, 5, 0), AcGeVector3d::kZAxis, 2.0));
    EXPECT_EQ(modelSpaceIds(), (std::vector<AcDbObjectId>{a, b, c}));
    erase(b);
    erase(a);
    EXPECT_EQ(modelSpaceIds(), (std::vector<AcDbObjectId>{c}));
    EXPECT_EQ(modelSpaceIds(false), (std::vector<AcDbObjectId>{a, b, c}));

    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenObject(entity, c, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(entity->blockId(), db()->currentSpaceId());
    char* layer = entity->layer();
    EXPECT_STREQ(layer, "0");
    acutDelString(layer);
    EXPECT_EQ(entity->layerId(), db()->layerZero());
    EXPECT_EQ(entity->colorIndex(), 256);
    entity->close();
}

TEST_F(SymbolTables, AppendNeedsTheBlockOpenForWriteAndAFreshEntity) {
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForRead), Acad::eOk);
    auto* text = new AcDbMText;
    EXPECT_EQ(space->appendAcDbEntity(text), Acad::eNotOpenForWrite);
    EXPECT_FALSE(text->isDatabaseResident());
    ASSERT_EQ(space->upgradeOpen(), Acad::eOk);
    EXPECT_EQ(space->appendAcDbEntity(nullptr), Acad::eNullEntityPointer);
    AcDbObjectId id;
    ASSERT_EQ(space->appendAcDbEntity(id, text), Acad::eOk);
    EXPECT_TRUE(text->isWriteEnabled()) << "left open for the caller to close";
    EXPECT_EQ(space->appendAcDbEntity(text), Acad::eAlreadyInDb);
    text->close();
    space->close();

    auto* free = new AcDbBlockTableRecord;
    auto* line = new AcDbLine;
    EXPECT_EQ(free->appendAcDbEntity(line), Acad::eNotInDatabase);
    delete line;
    delete free;
}

TEST_F(SymbolTables, EntityLayersMustExistInTheirDrawingAndFollowARename) {
    auto* text = new AcDbMText;
    EXPECT_EQ(text->setLayer("Notes"), Acad::eOk) << "no database yet: any valid name";
    EXPECT_EQ(text->setLayer("bad|name"), Acad::eInvalidSymbolTableName);
    text->setLayer("0");
    AcDbObjectId id = appendToModelSpace(text);

    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db()->getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
    auto* notes = new AcDbLayerTableRecord;
    notes->setName("Notes");
    AcDbObjectId notesId;
    layers->add(notesId, notes);
    layers->close();

    AcDbMText* resident = nullptr;
    ASSERT_EQ(acdbOpenObject(resident, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(resident->setLayer("Missing"), Acad::eKeyNotFound);
    ASSERT_EQ(resident->setLayer("NOTES"), Acad::eOk);
    EXPECT_EQ(resident->layerId(), notesId);
    resident->close();

    notes->setName("Annotations");
    notes->close();
    ASSERT_EQ(acdbOpenObject(resident, id, AcDb::kForRead), Acad::eOk);
    char* layer = resident->layer();
    EXPECT_STREQ(layer, "Annotations");
    acutDelString(layer);
    resident->close();
}

TEST_F(SymbolTables, CurrentSpaceSwitchesOnlyToLayouts) {
    AcDbBlockTable* blocks = nullptr;
    ASSERT_EQ(db()->getBlockTable(blocks, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId paper;
    blocks->getAt(ACDB_PAPER_SPACE, paper);
    auto* block = new AcDbBlockTableRecord;
    block->setName("Detail");
    AcDbObjectId detail;
    ASSERT_EQ(blocks->add(detail, block), Acad::eOk);
    block->close();
    blocks->close();
    EXPECT_EQ(db()->setCurrentSpaceId(detail), Acad::eInvalidInput);
    ASSERT_EQ(db()->setCurrentSpaceId(paper), Acad::eOk);
    EXPECT_EQ(db()->currentSpaceId(), paper);
    AcDbDatabase other;
    EXPECT_EQ(db()->setCurrentSpaceId(other.currentSpaceId()), Acad::eWrongDatabase);
}

TEST_F(SymbolTables, RegAppAddsOnceAndRefusesBadNames) {
    ASSERT_EQ(acdbRegApp("KSRRivlet"), RTNORM);
    ASSERT_EQ(acdbRegApp("KSRRIVLET"), RTNORM);
    AcDbRegAppTable* apps = nullptr;
    ASSERT_EQ(db()->getRegAppTable(apps), Acad::eOk);
    int count = 0;
    AcDbRegAppTableIterator* it = nullptr;
    apps->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbRegAppTableRecord* record = nullptr;
        ASSERT_EQ(it->getRecord(record, AcDb::kForRead), Acad::eOk);
        const char* name = nullptr;
        record->getName(name);
        count += std::string(name) == "KSRRivlet";
        record->close();
    }
    delete it;
    EXPECT_EQ(count, 1);
    // A table someone has open for write cannot take the new name.
    apps->close();
    ASSERT_EQ(db()->getRegAppTable(apps, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(acdbRegApp("Other"), RTERROR);
    apps->close();

    EXPECT_EQ(acdbRegApp(""), RTERROR);
    EXPECT_EQ(acdbRegApp("a/b"), RTERROR);
    EXPECT_EQ(acdbRegApp(nullptr), RTERROR);
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(acdbRegApp("KSRRivlet"), RTERROR);
}

} // namespace
