#include "frame/doclock.h"

#include "frame_test_host.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/docman.h"

namespace {

bool WriteLocked(AcApDocument* doc) {
    return (doc->lockMode() & AcAp::kWrite) != 0;
}

// Counts the lock changes of every document.
struct LockChanges : AcApDocManagerReactor {
    LockChanges() { acDocManager->addReactor(this); }
    ~LockChanges() override { acDocManager->removeReactor(this); }
    void documentLockModeChanged(AcApDocument*, AcAp::DocLockMode, AcAp::DocLockMode,
                                 AcAp::DocLockMode, const char*) override {
        ++count;
    }
    int count = 0;
};

using DocLockTest = HostTest;

TEST_F(DocLockTest, CheckStatusReportsOnlyFailures) {
    EXPECT_EQ(CheckStatus("KSRxDictData", 12, Acad::eOk), Acad::eOk);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(CheckStatus("KSRxDictData", 42, Acad::eWasOpenForWrite), Acad::eWasOpenForWrite);
    EXPECT_NE(Output().find("(OK): KSRxDictData : Line #42 - eWasOpenForWrite"), std::string::npos);
}

TEST_F(DocLockTest, GuardLocksTheCurrentDocumentOnceAndReleasesItsOwnLockOnly) {
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_FALSE(WriteLocked(doc));
    LockChanges changes;
    {
        CDocLock outer;
        EXPECT_TRUE(WriteLocked(doc));
        { CDocLock inner(doc->database()); }
        EXPECT_EQ(changes.count, 1) << "the inner guard took a lock of its own";
        EXPECT_TRUE(WriteLocked(doc));
    }
    EXPECT_EQ(doc->lockMode(), AcAp::kNotLocked);

    // A lock the caller holds stays held.
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    { CDocLock guard; }
    EXPECT_TRUE(WriteLocked(doc));
    acDocManager->unlockDocument(doc);

    // A database of no document is left alone.
    AcDbDatabase loose(true, true);
    { CDocLock guard(&loose); }
    EXPECT_EQ(acDocManager->curDocument(), doc);
    EXPECT_EQ(doc->lockMode(), AcAp::kNotLocked);
    EXPECT_EQ(Output(), "");
}

TEST_F(DocLockTest, GuardOnAnotherDocumentSwitchesToItAndBack) {
    AcApDocument* first = acDocManager->curDocument();
    AcApDocument* second = host->newDocument();
    ASSERT_EQ(acDocManager->curDocument(), second);
    const std::string there = std::string(" ** Warning: Locking ") + first->fileName() +
                              " - not Current " + second->fileName();
    const std::string back = std::string(" ** Warning: Locking ") + second->fileName() +
                             " - not Current " + first->fileName();
    Output();
    {
        CDocLock guard(first->database());
        EXPECT_EQ(acDocManager->curDocument(), first);
        EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
        EXPECT_TRUE(WriteLocked(first));
        EXPECT_EQ(Output(), there);
    }
    EXPECT_EQ(acDocManager->curDocument(), second);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
    EXPECT_EQ(first->lockMode(), AcAp::kNotLocked);
    EXPECT_EQ(Output(), "\n" + back);
}

TEST_F(DocLockTest, LockThatCannotBeHadIsReportedAndNothingIsReleased) {
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kXWrite), Acad::eOk);
    { CDocLock guard; }
    EXPECT_NE(Output().find("(OK): Failed to lock Document"), std::string::npos);
    EXPECT_EQ(doc->lockMode(), AcAp::kXWrite);
    acDocManager->unlockDocument(doc);
}

} // namespace
