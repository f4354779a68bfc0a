// The session in the window: a script plays line by line with the window following it, and
// the window stays for the user when it ends without QUIT; SNAPSHOT keeps the window's
// pixels; while the host waits for another program the window keeps painting; message boxes
// show over the main window, answered by the script's lines while it has them, then by the
// person.
#include "window_fixture.h"

#include "editor/drawing.h"
#include "gui/messageboxwindow.h"

#include "arx/editor.h"

#include "win/frontend.h"
#include "win/msgbox.h"
#include "win/process.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>

#include <filesystem>

namespace {

std::vector<std::size_t> g_seen;
cadhost::gui::WindowSession* g_session = nullptr;
void RecordScene() {
    g_seen.push_back(g_session->scene().entities().size());
}

std::size_t g_paintsBefore = 0, g_paintsAfter = 0;
void WaitForAProgram() {
    g_session->view().update();
    g_paintsBefore = g_session->view().paintCount();
    win::RunAndWait("/bin/sh -c \"sleep 0.3\"");
    g_paintsAfter = g_session->view().paintCount();
}

class WindowSessionTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_session = &session();
        g_seen.clear();
        ASSERT_EQ(
            acedRegCmds->addCommand("WINDOWTESTS", "_SEEN", "SEEN", ACRX_CMD_MODAL, RecordScene),
            Acad::eOk);
        ASSERT_EQ(acedRegCmds->addCommand("WINDOWTESTS", "_WAITPROGRAM", "WAITPROGRAM",
                                          ACRX_CMD_MODAL, WaitForAProgram),
                  Acad::eOk);
    }
    void TearDown() override {
        acedRegCmds->removeGroup("WINDOWTESTS");
        g_session = nullptr;
        MainWindowTest::TearDown();
    }
};

TEST_F(WindowSessionTest, AScriptPlaysLineByLineAndTheWindowStays) {
    host().feedInput("SEEN\nLINE\n0,0\n4,4\n\nSEEN\nCIRCLE\n2,2\n1\nSEEN\n");
    bool waitedAfterwards = false;
    std::string log = drive({[&] { waitedAfterwards = true; }});
    // Before each line the window has caught up with what the lines before did.
    EXPECT_EQ(g_seen, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(waitedAfterwards) << "at the end of the script the window waits for the user";
    EXPECT_FALSE(host().quitRequested());
    EXPECT_EQ(commandLine().transcript().toStdString(), log);
}

TEST_F(WindowSessionTest, AScriptEndingWithQuitEndsTheSession) {
    host().feedInput("LINE\n0,0\n1,1\n\nQUIT\nmsgbox no\n");
    bool waited = false;
    drive({[&] { waited = true; }});
    EXPECT_TRUE(host().quitRequested());
    EXPECT_FALSE(waited);
}

TEST_F(WindowSessionTest, SnapshotKeepsTheWindowsPixels) {
    std::string path = root() + "/window.png";
    std::string log = run("CIRCLE\n5,5\n3\nZOOM\nE\nSNAPSHOT\n" + path + "\n");
    EXPECT_NE(log.find("Window picture written to " + path + "."), std::string::npos) << log;
    QImage picture(QString::fromStdString(path));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), window().size());
    // The circle is in it, where the view shows it within the window.
    QPoint top = view().mapTo(&window(), pixelOf(5, 8));
    EXPECT_GT(CountPixels(picture, top, 2, IsInk), 0);
    QPoint centre = view().mapTo(&window(), pixelOf(5, 5));
    EXPECT_EQ(CountPixels(picture, centre, 4, IsInk), 0);

    log = run("SNAPSHOT\n" + root() + "/no/such/folder/x.png\n");
    EXPECT_NE(log.find("Cannot write " + root() + "/no/such/folder/x.png: "), std::string::npos)
        << log;
}

TEST_F(WindowSessionTest, WaitingForAProgramKeepsTheWindowPainted) {
    run("WAITPROGRAM\n");
    EXPECT_GT(g_paintsAfter, g_paintsBefore) << "the update asked for was painted during the wait";
    auto mine = win::SetWaitCallback({});
    EXPECT_TRUE(mine) << "the window's callback is installed while the window runs";
    win::SetWaitCallback(std::move(mine));
}

TEST_F(WindowSessionTest, MessageBoxesShowOverTheWindowAndTheScriptAnswersBeforeThePerson) {
    static std::vector<int> answers;
    answers.clear();
    ASSERT_EQ(acedRegCmds->addCommand("WINDOWTESTS", "_WINDOWBOX", "WINDOWBOX", ACRX_CMD_MODAL,
                                      [] {
                                          answers.push_back(AfxMessageBox(
                                              "Keep the sheet?", MB_YESNO | MB_ICONQUESTION));
                                      }),
              Acad::eOk);
    // The script's line answers the first box; the person answers the second in Qt's box,
    // which the main window owns.
    host().feedInput("WINDOWBOX\nmsgbox No\nWINDOWBOX\n");
    QString shownText;
    QWidget* owner = nullptr;
    QTimer person;
    person.setInterval(10);
    QObject::connect(&person, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            person.stop();
            shownText = box->text();
            owner = box->parentWidget();
            QTest::mouseClick(cadhost::gui::ButtonOf(*box, IDYES), Qt::LeftButton);
        }
    });
    person.start();
    std::string log = drive({});
    EXPECT_EQ(answers, (std::vector<int>{IDNO, IDYES}));
    EXPECT_EQ(shownText, "Keep the sheet?");
    EXPECT_EQ(owner, &window());
    EXPECT_NE(log.find("** MessageBox (question, Yes/No): Keep the sheet?"), std::string::npos)
        << log;
    EXPECT_NE(log.find("** MessageBox answered Yes"), std::string::npos) << log;
}

} // namespace
