// U and UNDO at the command line: whole commands taken back, per drawing.
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/docman.h"
#include "host_fixture.h"

#include <string>

namespace {

class UndoCommandsTest : public HostSessionTest {
protected:
    // Entities of model space of the current drawing that are not erased.
    int entityCount() {
        AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(acdbOpenObject(space, db->currentSpaceId(), AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it);
        int n = 0;
        for (; !it->done(); it->step())
            ++n;
        delete it;
        space->close();
        return n;
    }
};

TEST_F(UndoCommandsTest, UTakesBackTheLastCommandAndSaysWhenNothingIsLeft) {
    std::string log = run("LINE\n0,0\n1,1\n\nU\n");
    EXPECT_EQ(entityCount(), 0);
    EXPECT_NE(log.find("\nLINE\nEverything has been undone"), std::string::npos) << log;

    log = run("U\n");
    EXPECT_NE(log.find("Everything has been undone"), std::string::npos) << log;
    EXPECT_EQ(log.find("LINE"), std::string::npos) << log;
}

TEST_F(UndoCommandsTest, UndoTakesBackAsManyCommandsAsAskedIncludingThoseThatChangedNothing) {
    run("LINE\n0,0\n1,1\n\nCIRCLE\n0,0\n2\nLINE\n5,5\n6,6\n\nUCS\nW\n");
    ASSERT_EQ(entityCount(), 3);
    std::string log = run("UNDO\n2\n");
    EXPECT_NE(log.find("Enter the number of operations to undo <1>: "), std::string::npos) << log;
    EXPECT_NE(log.find("\nUCS LINE"), std::string::npos) << log;
    EXPECT_EQ(entityCount(), 2);
    EXPECT_EQ(log.find("Everything has been undone"), std::string::npos) << log;

    log = run("UNDO\n\n");
    EXPECT_NE(log.find("\nCIRCLE"), std::string::npos) << log;
    EXPECT_EQ(entityCount(), 1);
}

TEST_F(UndoCommandsTest, UndoAsksAgainForACountThatIsNoPositiveInteger) {
    run("LINE\n0,0\n1,1\n\n");
    std::string log = run("UNDO\nmany\n0\n99\n");
    EXPECT_NE(log.find("Requires an integer value."), std::string::npos) << log;
    EXPECT_NE(log.find("Value must be positive and nonzero."), std::string::npos) << log;
    EXPECT_NE(log.find("\nLINE\nEverything has been undone"), std::string::npos) << log;
    EXPECT_EQ(entityCount(), 0);
}

TEST_F(UndoCommandsTest, EachDrawingUndoesItsOwnCommands) {
    run("LINE\n0,0\n1,1\n\n");
    AcApDocument* first = acDocManager->curDocument();
    run("NEW\nCIRCLE\n0,0\n2\nLINE\n0,0\n3,3\n\n");
    ASSERT_NE(acDocManager->curDocument(), first);
    std::string log = run("U\n");
    EXPECT_NE(log.find("\nLINE"), std::string::npos) << log;
    EXPECT_EQ(entityCount(), 1) << "the circle of the new drawing stays";

    log = run(std::string("SWITCH\n") + first->fileName() + "\nU\n");
    EXPECT_EQ(acDocManager->curDocument(), first);
    EXPECT_NE(log.find("\nLINE\nEverything has been undone"), std::string::npos)
        << "NEW and SWITCH are no steps of the drawing they leave\n"
        << log;
    EXPECT_EQ(entityCount(), 0);
}

TEST_F(UndoCommandsTest, QueuedCommandsAreCommandsToo) {
    acDocManager->sendStringToExecute(acDocManager->curDocument(), "LINE\n0,0\n1,1\n\n", false,
                                      true, true);
    run("CIRCLE\n0,0\n1\n");
    ASSERT_EQ(entityCount(), 2);
    std::string log = run("U\nU\n");
    EXPECT_NE(log.find("\nCIRCLE"), std::string::npos) << log;
    EXPECT_NE(log.find("\nLINE\nEverything has been undone"), std::string::npos) << log;
    EXPECT_EQ(entityCount(), 0);
}

} // namespace
