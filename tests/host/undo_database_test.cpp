// Undo groups of a drawing: what a group takes back, and what stays as it was.
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbsymtb.h"
#include "db/edits.h"
#include "db/undolog.h"
#include "db_test_support.h"

#include <string>
#include <vector>

namespace {

using cadhost::db::UndoLog;
using cadhost::db::UndoLogOf;

class UndoTest : public DrawingTest {
protected:
    UndoLog& log() { return UndoLogOf(*db()); }

    std::vector<AcDbObjectId> modelSpaceEntities() {
        std::vector<AcDbObjectId> ids;
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it);
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            it->getEntityId(id);
            ids.push_back(id);
        }
        delete it;
        space->close();
        return ids;
    }

    double radiusOf(AcDbObjectId id) {
        AcDbCircle* circle = nullptr;
        EXPECT_EQ(acdbOpenObject(circle, id, AcDb::kForRead), Acad::eOk);
        double r = circle->radius();
        circle->close();
        return r;
    }

    void setRadius(AcDbObjectId id, double radius) {
        AcDbCircle* circle = nullptr;
        ASSERT_EQ(acdbOpenObject(circle, id, AcDb::kForWrite), Acad::eOk);
        circle->setRadius(radius);
        circle->close();
    }

    std::string undoLast() {
        std::string name;
        EXPECT_EQ(log().undoLast(name), Acad::eOk);
        return name;
    }

    AcDbObjectId addToNamedObjects(const char* key) {
        AcDbDictionary* nod = nullptr;
        EXPECT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
        auto* entry = new AcDbDictionary;
        AcDbObjectId id;
        EXPECT_EQ(nod->setAt(key, entry, id), Acad::eOk);
        entry->close();
        nod->close();
        return id;
    }

    bool namedObjectsHas(const char* key) {
        AcDbDictionary* nod = nullptr;
        EXPECT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForRead), Acad::eOk);
        bool has = nod->has(key);
        AcDbDictionaryIterator* it = nod->newIterator();
        for (; !it->done(); it->next())
            has = has || std::string(it->name()) == key;
        delete it;
        nod->close();
        return has;
    }
};

TEST_F(UndoTest, CreatedChangedAndErasedObjectsComeBackAsTheyWere) {
    AcDbObjectId circle =
        appendToModelSpace(new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 2));
    AcDbObjectId doomed = appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(1, 1, 0)));

    log().beginGroup("EDIT");
    AcDbObjectId made = appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(5, 0, 0)));
    setRadius(circle, 3);
    setRadius(circle, 4);
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenObject(entity, doomed, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(entity->erase(), Acad::eOk);
    entity->close();
    log().endGroup();
    AcDbHandle madeHandle = made.handle();
    ASSERT_EQ(modelSpaceEntities(), (std::vector<AcDbObjectId>{circle, made}));

    EXPECT_EQ(undoLast(), "EDIT");
    EXPECT_EQ(log().groupCount(), 0u);
    EXPECT_DOUBLE_EQ(radiusOf(circle), 2.0) << "changed twice: back to before the first change";
    EXPECT_FALSE(doomed.isErased());
    EXPECT_EQ(modelSpaceEntities(), (std::vector<AcDbObjectId>{circle, doomed}));

    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, made, AcDb::kForRead, true), Acad::ePermanentlyErased);
    EXPECT_FALSE(made.isValid());
    AcDbObjectId byHandle;
    EXPECT_NE(db()->getAcDbObjectId(byHandle, false, madeHandle), Acad::eOk);
    EXPECT_NE(db()->getAcDbObjectId(byHandle, true, madeHandle), Acad::eOk);
    EXPECT_TRUE(byHandle.isNull());
}

TEST_F(UndoTest, AnEntryUnderANewKeyGoesWithItsObject) {
    log().beginGroup("STORE");
    AcDbObjectId entry = addToNamedObjects("KSR_SPEC_DICTIONARY");
    log().endGroup();
    ASSERT_TRUE(namedObjectsHas("KSR_SPEC_DICTIONARY"));

    undoLast();
    EXPECT_FALSE(namedObjectsHas("KSR_SPEC_DICTIONARY"));
    AcDbObject* object = nullptr;
    EXPECT_NE(acdbOpenObject(object, entry, AcDb::kForRead, true), Acad::eOk);
}

TEST_F(UndoTest, ARemovedEntryReturnsWithItsOwner) {
    AcDbObjectId entry = addToNamedObjects("KEPT");
    log().beginGroup("PURGE");
    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(nod->remove("KEPT"), Acad::eOk);
    nod->close();
    log().endGroup();
    ASSERT_FALSE(namedObjectsHas("KEPT"));

    undoLast();
    EXPECT_TRUE(namedObjectsHas("KEPT"));
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, entry, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(object->ownerId(), db()->namedObjectsDictionaryId());
    object->close();
}

TEST_F(UndoTest, AnErasedEntrySurvivesUndoingALaterChangeOfItsDictionary) {
    AcDbObjectId first = addToNamedObjects("FIRST");
    log().beginGroup("ERASE");
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, first, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(object->erase(), Acad::eOk);
    object->close();
    log().endGroup();
    log().beginGroup("ADD");
    addToNamedObjects("SECOND");
    log().endGroup();

    EXPECT_EQ(undoLast(), "ADD");
    EXPECT_EQ(undoLast(), "ERASE");
    EXPECT_TRUE(namedObjectsHas("FIRST"));
    EXPECT_FALSE(namedObjectsHas("SECOND"));
}

TEST_F(UndoTest, ExtendedDataIsPartOfTheState) {
    ASSERT_EQ(acdbRegApp("KSRRivlet"), RTNORM);
    auto* line = new AcDbLine(AcGePoint3d(), AcGePoint3d(1, 0, 0));
    resbuf* before = acutBuildList(1001, "KSRRivlet", 1070, 7, 0);
    line->setXData(before);
    acutRelRb(before);
    AcDbObjectId id = appendToModelSpace(line);

    log().beginGroup("TAG");
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForWrite), Acad::eOk);
    resbuf* after = acutBuildList(1001, "KSRRivlet", 1070, 8, 0);
    ASSERT_EQ(line->setXData(after), Acad::eOk);
    acutRelRb(after);
    line->close();
    log().endGroup();

    undoLast();
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
    resbuf* back = line->xData("KSRRivlet");
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->rbnext, nullptr);
    EXPECT_EQ(back->rbnext->resval.rint, 7);
    acutRelRb(back);
    line->close();
}

TEST_F(UndoTest, AHandleOfAnUndoneObjectIsNeverGivenAgain) {
    log().beginGroup("LINE");
    AcDbObjectId made = appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(1, 0, 0)));
    log().endGroup();
    AcDbHandle spent = made.handle();
    undoLast();

    AcDbObjectId next = appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(2, 0, 0)));
    EXPECT_GT(static_cast<std::uint64_t>(next.handle()), static_cast<std::uint64_t>(spent));
    auto* intruder = new AcDbLine;
    AcDbObjectId id;
    EXPECT_EQ(db()->addAcDbObjectWithHandle(id, intruder, spent), Acad::eHandleInUse);
    delete intruder;
}

TEST_F(UndoTest, AnOpenObjectStopsTheUndoBeforeAnythingChanges) {
    AcDbObjectId circle =
        appendToModelSpace(new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 2));
    log().beginGroup("RESIZE");
    setRadius(circle, 9);
    AcDbObjectId made = appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(1, 0, 0)));
    log().endGroup();

    AcDbEntity* held = nullptr;
    ASSERT_EQ(acdbOpenObject(held, made, AcDb::kForRead), Acad::eOk);
    std::string name;
    EXPECT_EQ(log().undoLast(name), Acad::eWasOpenForRead);
    EXPECT_EQ(log().groupCount(), 1u);
    EXPECT_DOUBLE_EQ(radiusOf(circle), 9.0);
    held->close();
    EXPECT_EQ(undoLast(), "RESIZE");
    EXPECT_DOUBLE_EQ(radiusOf(circle), 2.0);
}

TEST_F(UndoTest, NestedGroupsAreOneStepAndSettingsComeBack) {
    log().beginGroup("OUTER");
    appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(1, 0, 0)));
    log().beginGroup("INNER");
    appendToModelSpace(new AcDbLine(AcGePoint3d(), AcGePoint3d(2, 0, 0)));
    ASSERT_EQ(db()->setUcs(AcGePoint3d(5, 5, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis),
              Acad::eOk);
    log().endGroup();
    log().endGroup();
    EXPECT_EQ(log().groupCount(), 1u);

    EXPECT_EQ(undoLast(), "OUTER");
    EXPECT_TRUE(modelSpaceEntities().empty());
    EXPECT_TRUE(db()->ucsorg().isEqualTo(AcGePoint3d::kOrigin));
    EXPECT_TRUE(db()->ucsxdir().isEqualTo(AcGeVector3d::kXAxis));
    std::string name;
    EXPECT_EQ(log().undoLast(name), Acad::eNotApplicable);
}

} // namespace

TEST_F(UndoTest, EveryChangeCountsAlsoOutsideACommandAndLookingCountsNothing) {
    using cadhost::db::EditCount;
    AcDbObjectId circle =
        appendToModelSpace(new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 1));
    std::uint64_t count = EditCount(*db());
    // Reading, and opening for write without a change, are no changes.
    radiusOf(circle);
    AcDbCircle* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, circle, AcDb::kForWrite), Acad::eOk);
    open->close();
    ASSERT_EQ(db()->setUcs(AcGePoint3d(), AcGeVector3d::kXAxis, AcGeVector3d::kYAxis), Acad::eOk);
    EXPECT_EQ(EditCount(*db()), count);

    auto grows = [&](const char* what) {
        EXPECT_GT(EditCount(*db()), count) << what;
        count = EditCount(*db());
    };
    setRadius(circle, 2);
    grows("a changed object");
    ASSERT_EQ(acdbOpenObject(open, circle, AcDb::kForWrite), Acad::eOk);
    open->erase();
    open->close();
    grows("an erased object");
    addToNamedObjects("KEPT");
    grows("a new dictionary entry");
    ASSERT_EQ(db()->setUcs(AcGePoint3d(1, 2, 3), AcGeVector3d::kXAxis, AcGeVector3d::kYAxis),
              Acad::eOk);
    grows("a new UCS");
    log().beginGroup("CIRCLE");
    appendToModelSpace(new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 5));
    log().endGroup();
    grows("a command's new object");
    undoLast();
    grows("a command taken back");
}
