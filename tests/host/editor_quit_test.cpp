// QUIT with unsaved changes: the question for each changed drawing, and what its answers do.
#include "host_fixture.h"

#include "file_bytes.h"

#include "arx/docman.h"

#include <string>

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class QuitTest : public HostSessionTest {
protected:
    // A drawing saved and opened again, as the only document.
    std::string openSaved(const std::string& name) {
        std::string path = root() + "/" + name;
        run("SAVEAS\n" + path + "\nOPEN\n" + path + "\nSWITCH\n1\nCLOSE\n");
        return path;
    }
};

} // namespace

TEST_F(QuitTest, WithoutChangesQuitAsksNothing) {
    std::string path = openSaved("plan.dxf");
    std::string log = run("LIST\nALL\n\nSELECT\nALL\n\nEXPORT\n" + root() +
                          "/plan.svg\nUCS\nW\nGETVAR\nTEXTSIZE\nQUIT\n");
    EXPECT_TRUE(host().quitRequested());
    EXPECT_EQ(log.find("MessageBox"), std::string::npos) << log;
}

TEST_F(QuitTest, CancelOrNoAnswerStaysAndNoLeavesTheFileAsItWas) {
    std::string path = openSaved("plan.dxf");
    std::string before = rivlet_test::ReadBytes(path);
    std::string log = run("LINE\n0,0\n4,4\n\nQUIT\nGETVAR\nTEXTSIZE\nQUIT\nmsgbox cancel\n");
    EXPECT_FALSE(host().quitRequested());
    EXPECT_EQ(Count(log, "** MessageBox (question, Yes/No/Cancel): Save changes to "), 2u) << log;
    EXPECT_NE(log.find("plan.dxf?\n** MessageBox answered Cancel\n"), std::string::npos) << log;
    EXPECT_NE(log.find("TEXTSIZE = "), std::string::npos) << "the session went on";
    log = run("QUIT\nmsgbox no\n");
    EXPECT_TRUE(host().quitRequested());
    EXPECT_TRUE(rivlet_test::ReadBytes(path) == before);
}

TEST_F(QuitTest, YesSavesTheDrawingToItsFile) {
    std::string path = openSaved("plan.dxf");
    run("CIRCLE\n1,1\n3\nQUIT\nmsgbox yes\n");
    EXPECT_TRUE(host().quitRequested());
    EXPECT_NE(rivlet_test::ReadBytes(path).find("\nCIRCLE\n"), std::string::npos);
}

TEST_F(QuitTest, YesAsksANameForANewDrawingAndStaysWhenNoneIsGiven) {
    std::string log = run("LINE\n0,0\n1,1\n\nQUIT\nmsgbox yes\n*Cancel*\n");
    EXPECT_FALSE(host().quitRequested()) << log;
    EXPECT_NE(log.find("Save changes to Drawing1.dwg?"), std::string::npos) << log;
    std::string path = root() + "/named.dxf";
    log = run("QUIT\nmsgbox yes\n" + path + "\n");
    EXPECT_TRUE(host().quitRequested()) << log;
    EXPECT_NE(rivlet_test::ReadBytes(path).find("\nLINE\n"), std::string::npos);
}

TEST_F(QuitTest, SavingClearsTheChangesAndUndoingMakesNewOnes) {
    std::string path = root() + "/plan.dxf";
    run("LINE\n0,0\n1,1\n\nSAVEAS\n" + path + "\n");
    std::string log = run("U\nQUIT\n");
    EXPECT_NE(log.find("Save changes to "), std::string::npos) << "taking back is a change";
    log = run("QSAVE\nQUIT\n");
    EXPECT_EQ(log.find("Save changes to "), std::string::npos) << log;
    EXPECT_TRUE(host().quitRequested());
}

TEST_F(QuitTest, EachChangedDrawingIsAskedAboutTheCurrentOneFirst) {
    std::string first = root() + "/first.dxf";
    run("LINE\n0,0\n1,1\n\nSAVEAS\n" + first + "\nNEW\nNEW\nLINE\n0,0\n2,2\n\nSWITCH\n1\n");
    run("CIRCLE\n0,0\n1\nSWITCH\n2\n");
    // Drawing2 is current and unchanged; first.dxf and Drawing3 changed.
    std::string log = run("QUIT\nmsgbox no\nmsgbox cancel\n");
    EXPECT_FALSE(host().quitRequested());
    std::size_t one = log.find("Save changes to Z:");
    std::size_t three = log.find("Save changes to Drawing3.dwg?");
    ASSERT_NE(one, std::string::npos) << log;
    ASSERT_NE(three, std::string::npos) << log;
    EXPECT_LT(one, three);
    EXPECT_EQ(log.find("Drawing2"), std::string::npos) << log;
    // The drawing asked about last is the one shown.
    EXPECT_STREQ(acDocManager->curDocument()->fileName(), "Drawing3.dwg");
}
