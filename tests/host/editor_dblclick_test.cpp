// The editor's double-click: the picked entity becomes the selection, editor reactors hear of
// it, then the host edits an MText with the program MTEXTED names.
#include "host_fixture.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "arx/docman.h"
#include "arx/editor.h"

#include <sys/stat.h>

#include <fstream>

namespace {

struct ClickRecorder : AcEditorReactor {
    int clicks = 0;
    AcDbObjectIdArray selectionSeen;
    Acad::ErrorStatus selectionStatus = Acad::eOk;
    AcAp::DocLockMode lockSeen = AcAp::kNone;
    void beginDoubleClick(const AcGePoint3d&) override {
        ++clicks;
        selectionStatus = acedGetCurrentSelectionSet(selectionSeen);
        lockSeen = acDocManager->curDocument()->lockMode();
    }
};

class DoubleClickTest : public HostSessionTest {
protected:
    void SetUp() override {
        HostSessionTest::SetUp();
        editor = AcEditor::cast(acrxSysRegistry()->at(ACED_EDITOR_OBJ));
        ASSERT_NE(editor, nullptr);
        editor->addReactor(&recorder);
        AcApDocument* doc = acDocManager->curDocument();
        ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
        AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
        auto* mtext = new AcDbMText;
        mtext->setLocation(AcGePoint3d(1, 2, 0));
        mtext->setContents("original");
        AcDbBlockTableRecord* space = nullptr;
        ASSERT_EQ(acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite), Acad::eOk);
        ASSERT_EQ(space->appendAcDbEntity(id, mtext), Acad::eOk);
        mtext->close();
        space->close();
        acDocManager->unlockDocument(doc);
        char text[AcDbHandle::kStrSiz];
        id.handle().getIntoAsciiBuffer(text, sizeof text);
        handle = text;
    }
    void TearDown() override {
        editor->removeReactor(&recorder);
        HostSessionTest::TearDown();
    }
    std::string contents() {
        AcDbMText* mtext = nullptr;
        EXPECT_EQ(acdbOpenObject(mtext, id, AcDb::kForRead), Acad::eOk);
        char* c = mtext->contents();
        std::string s = c;
        acutDelString(c);
        mtext->close();
        return s;
    }
    // A program that edits the file it is given the way the script says.
    std::string editorScript(const std::string& body) {
        std::string path = root() + "/editor.sh";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        ::chmod(path.c_str(), 0755);
        return path;
    }

    AcEditor* editor = nullptr;
    ClickRecorder recorder;
    AcDbObjectId id;
    std::string handle;
};

} // namespace

TEST_F(DoubleClickTest, TheReactorSeesTheClickedEntityAsTheSelectionWithoutALock) {
    run("SETVAR\nMTEXTED\n/bin/true\nDBLCLICK " + handle + "\n");
    EXPECT_EQ(recorder.clicks, 1);
    EXPECT_EQ(recorder.selectionStatus, Acad::eOk);
    ASSERT_EQ(recorder.selectionSeen.length(), 1);
    EXPECT_EQ(recorder.selectionSeen[0], id);
    EXPECT_EQ(recorder.lockSeen, AcAp::kNotLocked);
}

TEST_F(DoubleClickTest, AClickOnEmptySpaceLeavesNothingSelected) {
    run("DBLCLICK 50,50\n");
    EXPECT_EQ(recorder.clicks, 1);
    EXPECT_EQ(recorder.selectionStatus, Acad::eInvalidInput);
    EXPECT_EQ(contents(), "original");
}

TEST_F(DoubleClickTest, AnExternalEditorThatSavesChangesTheText) {
    std::string program = editorScript("printf 'edited' > \"$1\"");
    run("MTEXTED\n" + program + "\nDBLCLICK " + handle + "\n");
    EXPECT_EQ(contents(), "edited");
}

TEST_F(DoubleClickTest, AnEditorThatSavesUtf16ChangesTheTextToWhatItSaved) {
    // "edited\Ptwice" in UTF-16 with its byte order mark, as some editors save by default.
    std::string program = editorScript(
        "printf '\\377\\376e\\0d\\0i\\0t\\0e\\0d\\0\\\\\\0P\\0t\\0w\\0i\\0c\\0e\\0' > \"$1\"");
    run("MTEXTED\n" + program + "\nDBLCLICK " + handle + "\n");
    EXPECT_EQ(contents(), "edited\\Ptwice");
    // UTF-8 with its byte order mark: the mark is no part of the text.
    program = editorScript("printf '\\357\\273\\277caf\\303\\251' > \"$1\"");
    run("MTEXTED\n" + program + "\nDBLCLICK " + handle + "\n");
    EXPECT_EQ(contents(), "caf\xC3\xA9");
}

TEST_F(DoubleClickTest, AnEditorThatEndsWithoutSavingLeavesTheText) {
    std::string program = editorScript("exit 0");
    run("MTEXTED\n" + program + "\nDBLCLICK " + handle + "\n");
    EXPECT_EQ(contents(), "original");
    std::string log = run("MTEXTED\n" + root() + "/no-such-editor\nDBLCLICK " + handle + "\n");
    EXPECT_NE(log.find("could not be started"), std::string::npos) << log;
    EXPECT_EQ(contents(), "original");
}

TEST_F(DoubleClickTest, TheInternalEditorAsksOnTheCommandLine) {
    run("DBLCLICK " + handle + "\nnew words\n");
    EXPECT_EQ(contents(), "new words");
    run("DBLCLICK " + handle + "\n\n"); // Enter keeps the text
    EXPECT_EQ(contents(), "new words");
    run("DBLCLKEDIT\n0\nDBLCLICK " + handle + "\nCLOSE\n"); // no edit: CLOSE is a command again
    EXPECT_EQ(acDocManager->documentCount(), 0);
}
