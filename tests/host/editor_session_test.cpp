// The host's command line, commands, prompts and queued input, as a module sees them.
#include "host_fixture.h"

#include "arx/docman.h"
#include "arx/editor.h"

#include "win/filedialog.h"
#include "win/msgbox.h"

#include <cstdio>
#include <stdexcept>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;
ads_point g_point;
int g_pointResult;

void Record(const char* what) {
    g_calls.push_back(what);
}
void CmdA() {
    Record("A");
    acDocManager->sendStringToExecute(acDocManager->curDocument(), "\x03TESTB \x03", false, true,
                                      true);
}
void CmdB() {
    Record("B");
}
void CmdC() {
    Record("C");
}
void CmdPoint() {
    ads_point base = {10, 10, 0};
    g_pointResult = acedGetPoint(base, "\nPoint: ", g_point);
}

class SessionTest : public HostSessionTest {
protected:
    void SetUp() override {
        HostSessionTest::SetUp();
        g_calls.clear();
        AcEdCommandStack* stack = acedRegCmds;
        ASSERT_NE(stack, nullptr);
        ASSERT_EQ(stack->addCommand("TESTS", "_TESTA", "TESTA", ACRX_CMD_MODAL, CmdA), Acad::eOk);
        ASSERT_EQ(stack->addCommand("TESTS", "_TESTB", "TESTB", ACRX_CMD_MODAL, CmdB), Acad::eOk);
        ASSERT_EQ(stack->addCommand("TESTS", "_TESTC", "TESTC", ACRX_CMD_MODAL, CmdC), Acad::eOk);
        ASSERT_EQ(stack->addCommand("TESTS", "_TESTP", "TESTP", ACRX_CMD_MODAL, CmdPoint),
                  Acad::eOk);
    }
};

} // namespace

TEST_F(SessionTest, QueuedInputRunsAfterTheCommandInOrderBeforeTheScript) {
    std::string log = run("TESTA\nTESTC\n");
    EXPECT_EQ(g_calls, (std::vector<std::string>{"A", "B", "C"}));
    // Queued text is echoed as typed input: the cancel, the command, the cancel.
    EXPECT_NE(log.find("Command: *Cancel*\nCommand: TESTB\nCommand: *Cancel*\nCommand: TESTC"),
              std::string::npos)
        << log;
}

TEST_F(SessionTest, CommandsAnswerByLocalAndGlobalNameInAnyCase) {
    // The global name is "_TESTB": typed as it is, or with the underscore that asks for a
    // global name in front of it.
    run("testb\n_TESTB\n_testB\nTeStB\n__TESTB\n");
    EXPECT_EQ(g_calls.size(), 5u);
    std::string log = run("NOSUCH\n");
    EXPECT_EQ(g_calls.size(), 5u);
    EXPECT_NE(log.find("Unknown command \"NOSUCH\""), std::string::npos) << log;
}

TEST_F(SessionTest, RemovedCommandsNoLongerAnswerAndDuplicatesAreRefused) {
    AcEdCommandStack* stack = acedRegCmds;
    EXPECT_EQ(stack->addCommand("TESTS", "_TESTB", "OTHER", ACRX_CMD_MODAL, CmdC),
              Acad::eDuplicateKey);
    EXPECT_EQ(stack->removeCmd("TESTS", "_TESTB"), Acad::eOk);
    EXPECT_EQ(stack->removeCmd("TESTS", "_TESTB"), Acad::eKeyNotFound);
    std::string log = run("TESTB\n");
    EXPECT_TRUE(g_calls.empty());
    EXPECT_NE(log.find("Unknown command \"TESTB\""), std::string::npos);
    // The host's own commands come first, whatever a module adds.
    ASSERT_EQ(stack->addCommand("TESTS", "LINE", "LINE", ACRX_CMD_MODAL, CmdB), Acad::eOk);
    EXPECT_STREQ(stack->lookupLocalCmd("line")->groupName(), "ACAD_MAIN");
}

TEST_F(SessionTest, PointPromptsAnswerNormalNoneCancelOrError) {
    run("TESTP\n1.5,-2\n");
    EXPECT_EQ(g_pointResult, RTNORM);
    EXPECT_DOUBLE_EQ(g_point[0], 1.5);
    EXPECT_DOUBLE_EQ(g_point[1], -2.0);
    EXPECT_DOUBLE_EQ(g_point[2], 0.0);
    run("TESTP\n@1,2,3\n"); // relative to the base point
    EXPECT_EQ(g_pointResult, RTNORM);
    EXPECT_DOUBLE_EQ(g_point[0], 11.0);
    EXPECT_DOUBLE_EQ(g_point[2], 3.0);
    run("TESTP\n\n");
    EXPECT_EQ(g_pointResult, RTNONE);
    run("TESTP\n*Cancel*\n");
    EXPECT_EQ(g_pointResult, RTCAN);
    std::string log = run("TESTP\nsomewhere\n");
    EXPECT_EQ(g_pointResult, RTERROR);
    EXPECT_NE(log.find("Point: somewhere"), std::string::npos) << log;
    run("TESTP\n"); // the script ends while the prompt waits
    EXPECT_EQ(g_pointResult, RTCAN);
    run("TESTP 4,5\n"); // the rest of the command line answers the prompt
    EXPECT_EQ(g_pointResult, RTNORM);
    EXPECT_DOUBLE_EQ(g_point[0], 4.0);
}

TEST_F(SessionTest, SystemVariablesRefuseUnknownReadOnlyAndWrongTypes) {
    resbuf value{};
    value.restype = RTSTR;
    value.resval.rstring = const_cast<char*>(".");
    EXPECT_EQ(acedSetVar("MTEXTED", &value), RTNORM);
    EXPECT_EQ(acedSetVar("NOSUCHVAR", &value), RTERROR);
    EXPECT_EQ(acedSetVar("DWGNAME", &value), RTERROR);
    resbuf number{};
    number.restype = RTSHORT;
    number.resval.rint = 3;
    EXPECT_EQ(acedSetVar("MTEXTED", &number), RTERROR);
    resbuf got{};
    ASSERT_EQ(acedGetVar("mtexted", &got), RTNORM);
    ASSERT_EQ(got.restype, RTSTR);
    EXPECT_STREQ(got.resval.rstring, ".");
    acutDelString(got.resval.rstring);
    ASSERT_EQ(acedGetVar("DWGNAME", &got), RTNORM);
    EXPECT_STREQ(got.resval.rstring, "Drawing1.dwg");
    acutDelString(got.resval.rstring);
    EXPECT_EQ(acedGetVar("NOSUCHVAR", &got), RTERROR);
    // Out of range for an on/off variable.
    EXPECT_EQ(acedSetVar("CMDECHO", &number), RTERROR);
}

TEST_F(SessionTest, SystemVariableTypedAsACommandAsksForItsValue) {
    std::string log = run("MTEXTED\n/usr/bin/true\nGETVAR\nMTEXTED\n");
    EXPECT_NE(log.find("Enter new value for MTEXTED <\"Internal\">: /usr/bin/true"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("MTEXTED = \"/usr/bin/true\""), std::string::npos) << log;
}

TEST_F(SessionTest, AModalCommandHoldsItsDocumentLockedOnlyWhileItRuns) {
    static AcAp::DocLockMode during;
    during = AcAp::kNone;
    acedRegCmds->addCommand("TESTS", "_LOCKPROBE", "LOCKPROBE", ACRX_CMD_MODAL,
                            [] { during = acDocManager->curDocument()->lockMode(); });
    run("LOCKPROBE\n");
    EXPECT_EQ(during, AcAp::kAutoWrite);
    EXPECT_EQ(acDocManager->curDocument()->lockMode(), AcAp::kNotLocked);
}

TEST_F(SessionTest, MessageBoxesAreLoggedAndAnsweredFromTheScript) {
    static int answer;
    acedRegCmds->addCommand("TESTS", "_ASK", "ASK", ACRX_CMD_MODAL, [] {
        answer = AfxMessageBox("Replace it?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    });
    std::string log = run("ASK\nmsgbox yes\nASK\nASK\nmsgbox maybe\n");
    EXPECT_EQ(answer, IDNO); // the last box: an answer that is no button gives the default
    EXPECT_NE(log.find("** MessageBox (question, Yes/No): Replace it?\n"
                       "** MessageBox answered Yes\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("** MessageBox has no button \"maybe\"; No is taken"), std::string::npos);
}

namespace {
std::string g_chosen;
INT_PTR g_dialogResult;
void CmdPick() {
    CFileDialog dialog(TRUE, "txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Text Files (*.txt)|*.txt||");
    dialog.m_ofn.lpstrTitle = "Pick a text:";
    g_dialogResult = dialog.DoModal();
    g_chosen = g_dialogResult == IDOK ? dialog.GetPathName() : "";
}
} // namespace

TEST_F(SessionTest, FileDialogsAreAnsweredFromTheScriptAndCheckTheirRules) {
    acedRegCmds->addCommand("TESTS", "_PICK", "PICK", ACRX_CMD_MODAL, CmdPick);
    std::string existing = root() + "/tmp/notes.txt";
    std::FILE* f = std::fopen(existing.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    // A missing file is refused with the dialog's own message; the next answer is taken.
    std::string log =
        run("PICK\nfiledlg " + root() + "/tmp/missing.txt\nfiledlg " + existing + "\n");
    EXPECT_EQ(g_dialogResult, IDOK);
    std::string windows = "Z:" + existing;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    EXPECT_EQ(g_chosen, windows);
    EXPECT_NE(log.find("** FileDialog (Open): \"Pick a text:\" [Text Files (*.txt) *.txt]"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("File not found"), std::string::npos) << log;
    run("PICK\nfiledlg cancel\n");
    EXPECT_EQ(g_dialogResult, IDCANCEL);
    log = run("PICK\n");
    EXPECT_EQ(g_dialogResult, IDCANCEL);
    EXPECT_NE(log.find("** FileDialog cancelled (no filedlg answer follows)"), std::string::npos);
}

TEST_F(SessionTest, CommandsThatCannotDoWhatTheyAreAskedCountAsFailures) {
    acedRegCmds->addCommand("TESTS", "_THROW", "THROW", ACRX_CMD_MODAL,
                            [] { throw std::runtime_error("broken"); });
    acedRegCmds->addCommand("TESTS", "_ASKBOX", "ASKBOX", ACRX_CMD_MODAL,
                            [] { AfxMessageBox("Go on?", MB_YESNO); });
    const std::string missing = root() + "/no/such/folder/";
    struct Case {
        std::string lines;
        int failures;
    };
    const Case cases[] = {
        // Commands that do what they are asked, or are cancelled, are no failures.
        {"LINE\n0,0\n1,1\n\nCIRCLE\n0,0\n2\nGETVAR\nTEXTSIZE\n", 0},
        {"CIRCLE\n*Cancel*\nSETVAR\n\nUNDO\n1\nTESTB\n", 0},
        {"SAVEAS\n" + root() + "/fine.dxf\nOPEN\n" + root() + "/fine.dxf\n", 0},
        {"ASKBOX\nmsgbox no\n", 0},
        // What cannot be done.
        {"FROBNICATE\n", 1},
        {"THROW\n", 1},
        {"SAVEAS\n" + missing + "x.dxf\n", 1},
        {"OPEN\n" + missing + "x.dxf\n", 1},
        {"EXPORT\n" + missing + "x.svg\n", 1},
        {"MTEXT\n0,0\n1,1\nI\n" + missing + "x.rtf\n", 1},
        {"ARX\nLoad\n" + missing + "x.arx\n", 1},
        {"ARX\nUnload\nnothing.arx\n", 1},
        {"ARX\nFrobnicate\n", 1},
        {"SWITCH\nDrawing99\n", 1},
        {"SETVAR\nNOSUCHVAR\n", 1},
        {"SETVAR\nTEXTSIZE\nabc\n", 1},
        {"CIRCLE\n0,0\n-1\n", 1},
        {"UCS\nQ\n", 1},
        {"DBLCLICK\nFFFFF\n", 1},
        // A refused answer counts though the command asks again.
        {"UNDO\nx\n1\n", 1},
        {"LINE\nnowhere\n", 1},
        {"SELECT\nnothing\n\n", 1},
        {"ASKBOX\nmsgbox maybe\n", 1},
    };
    for (const Case& c : cases) {
        int before = host().failures();
        std::string log = run(c.lines);
        EXPECT_EQ(host().failures() - before, c.failures) << c.lines << "\n" << log;
    }
    // Without drawings the commands that need one fail.
    run("CLOSE\nCLOSE\n");
    int before = host().failures();
    run("CLOSE\nQSAVE\nLINE\n");
    EXPECT_EQ(host().failures() - before, 3);
}
