// Documents, their locks and the document manager's notices.
#include "host_fixture.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/docman.h"

#include <string>
#include <vector>

namespace {

struct Recorder : AcApDocManagerReactor {
    std::vector<std::string> events;
    void documentCreated(AcApDocument* doc) override {
        events.push_back(std::string("created ") + doc->fileName());
    }
    void documentToBeDestroyed(AcApDocument* doc) override {
        events.push_back(std::string("closing ") + doc->fileName());
    }
    void documentBecameCurrent(AcApDocument* doc) override {
        events.push_back(std::string("current ") + doc->fileName());
    }
};

using DocumentsTest = HostSessionTest;

} // namespace

TEST_F(DocumentsTest, NewAndCloseNotifyAndMoveTheCurrentDrawing) {
    Recorder recorder;
    acDocManager->addReactor(&recorder);
    AcApDocument* first = acDocManager->curDocument();
    ASSERT_NE(first, nullptr);
    run("NEW\n");
    AcApDocument* second = acDocManager->curDocument();
    ASSERT_NE(second, first);
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
    EXPECT_EQ(acDocManager->document(first->database()), first);
    run("CLOSE\n");
    EXPECT_EQ(acDocManager->curDocument(), first);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
    acDocManager->removeReactor(&recorder);
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"created Drawing2.dwg", "current Drawing2.dwg",
                                        "closing Drawing2.dwg", "current Drawing1.dwg"}));
}

TEST_F(DocumentsTest, ANewDocumentMayTakeTheAddressOfAClosedOne) {
    run("NEW\n");
    AcApDocument* closed = acDocManager->curDocument();
    run("CLOSE\nNEW\n");
    AcApDocument* reopened = acDocManager->curDocument();
    EXPECT_EQ(reopened, closed);
    EXPECT_STREQ(reopened->fileName(), "Drawing3.dwg");
}

TEST_F(DocumentsTest, SwitchingMakesAnotherDrawingCurrent) {
    run("NEW\n");
    std::string log = run("SWITCH\n1\n");
    EXPECT_STREQ(acDocManager->curDocument()->fileName(), "Drawing1.dwg");
    EXPECT_NE(log.find("Current drawing: Drawing1.dwg."), std::string::npos) << log;
    log = run("SWITCH\nDrawing7\n");
    EXPECT_NE(log.find("No open drawing \"Drawing7\"."), std::string::npos) << log;
}

TEST_F(DocumentsTest, LocksNestAndReportTheirUnion) {
    AcApDocument* doc = acDocManager->curDocument();
    EXPECT_EQ(doc->lockMode(), AcAp::kNotLocked);
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eLockViolation);
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    EXPECT_TRUE(doc->lockMode() & AcAp::kWrite);
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kRead), Acad::eOk);
    EXPECT_EQ(doc->lockMode(), AcAp::kWrite | AcAp::kRead);
    // An exclusive lock is not granted while others are held.
    EXPECT_EQ(acDocManager->lockDocument(doc, AcAp::kXWrite), Acad::eLockConflict);
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    EXPECT_EQ(doc->lockMode(), AcAp::kNotLocked);
}

TEST_F(DocumentsTest, MakingADocumentCurrentDoesNotActivateItUnlessAsked) {
    AcApDocument* first = acDocManager->curDocument();
    run("NEW\n");
    AcApDocument* second = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->setCurDocument(first, AcAp::kNone, false), Acad::eOk);
    EXPECT_EQ(acDocManager->curDocument(), first);
    EXPECT_EQ(acDocManager->mdiActiveDocument(), second);
    ASSERT_EQ(acDocManager->setCurDocument(second, AcAp::kWrite, true), Acad::eOk);
    EXPECT_EQ(acDocManager->mdiActiveDocument(), second);
    EXPECT_TRUE(second->lockMode() & AcAp::kWrite);
    acDocManager->unlockDocument(second);
}

TEST_F(DocumentsTest, TextSentToAnotherDocumentWaitsForThatDocument) {
    AcApDocument* first = acDocManager->curDocument();
    run("NEW\n");
    acDocManager->sendStringToExecute(first, "CLOSE ", false, true, true);
    // Drawing2 is current: its command line has nothing queued, the script ends.
    run("");
    EXPECT_EQ(acDocManager->documentCount(), 2);
    // Once Drawing1 is current again its queued CLOSE runs.
    acDocManager->setCurDocument(first, AcAp::kNone, true);
    run("");
    EXPECT_EQ(acDocManager->documentCount(), 1);
    EXPECT_STREQ(acDocManager->curDocument()->fileName(), "Drawing2.dwg");
}

TEST_F(DocumentsTest, ADocumentsDrawingIsWrittenOnlyUnderALock) {
    AcApDocument* doc = acDocManager->curDocument();
    AcDbDatabase* db = doc->database();
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, db->namedObjectsDictionaryId(), AcDb::kForWrite),
              Acad::eLockViolation);
    ASSERT_EQ(acdbOpenObject(object, db->namedObjectsDictionaryId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(object->upgradeOpen(), Acad::eLockViolation);
    object->close();
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    ASSERT_EQ(acdbOpenObject(object, db->namedObjectsDictionaryId(), AcDb::kForWrite), Acad::eOk);
    object->close();
    acDocManager->unlockDocument(doc);
    // A read lock is no licence to write; a drawing of no document needs no lock.
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kRead), Acad::eOk);
    EXPECT_EQ(acdbOpenObject(object, db->namedObjectsDictionaryId(), AcDb::kForWrite),
              Acad::eLockViolation);
    acDocManager->unlockDocument(doc);
    AcDbDatabase loose(true, true);
    ASSERT_EQ(acdbOpenObject(object, loose.namedObjectsDictionaryId(), AcDb::kForWrite), Acad::eOk);
    object->close();
}
