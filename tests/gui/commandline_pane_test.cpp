// The command line docked in the window shows what the host's command line shows, and what is
// typed there is the host's input, as at a terminal.
#include "window_fixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

class CommandLinePaneTest : public MainWindowTest {
protected:
    // Types a line into the field and presses Enter.
    Action typeLine(const QString& text) {
        return [this, text] {
            QLineEdit* field = commandLine().field();
            QTest::keyClicks(field, text);
            QTest::keyClick(field, Qt::Key_Return);
        };
    }
};

TEST_F(CommandLinePaneTest, ShowsExactlyWhatTheLogShows) {
    std::string log = drive({typeLine("LINE"), typeLine("0,0"), typeLine("3,4"), typeLine(""),
                             typeLine("GETVAR"), typeLine("DWGNAME"), typeLine("NOSUCH"),
                             typeLine("CIRCLE"), typeLine("1,1"), typeLine("-2")});
    EXPECT_NE(log.find("Specify next point: 3,4\n"), std::string::npos) << log;
    EXPECT_NE(log.find("DWGNAME = \"Drawing1.dwg\"\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Unknown command \"NOSUCH\""), std::string::npos) << log;
    EXPECT_NE(log.find("Requires a positive number."), std::string::npos) << log;
    EXPECT_EQ(commandLine().transcript().toStdString(), log);
}

TEST_F(CommandLinePaneTest, ThePromptWaitingIsTheCurrentLine) {
    QString current;
    drive({typeLine("LINE"), [&] { current = commandLine().transcript().split('\n').back(); },
           [this] { QTest::keyClick(commandLine().field(), Qt::Key_Escape); }});
    EXPECT_EQ(current, "Specify first point: ");
    EXPECT_TRUE(commandLine().transcript().contains("Specify first point: *Cancel*\n"))
        << commandLine().transcript().toStdString();
}

TEST_F(CommandLinePaneTest, UpAndDownBringBackTypedLines) {
    QString recalled, second, cleared;
    drive({typeLine("GETVAR"), typeLine("DWGNAME"), [&] {
               QLineEdit* field = commandLine().field();
               QTest::keyClick(field, Qt::Key_Up);
               recalled = field->text();
               QTest::keyClick(field, Qt::Key_Up);
               second = field->text();
               QTest::keyClick(field, Qt::Key_Down);
               QTest::keyClick(field, Qt::Key_Down);
               cleared = field->text();
           }});
    EXPECT_EQ(recalled, "DWGNAME");
    EXPECT_EQ(second, "GETVAR");
    EXPECT_EQ(cleared, "");
}

TEST_F(CommandLinePaneTest, KeysTypedInTheViewGoToTheCommandLine) {
    std::string log = drive({[this] {
        view().setFocus();
        QTest::keyClicks(&view(), "NEW");
        QTest::keyClick(commandLine().field(), Qt::Key_Return);
    }});
    EXPECT_NE(log.find("Command: NEW\nNew drawing Drawing2.dwg."), std::string::npos) << log;
}

TEST_F(CommandLinePaneTest, TypedAheadLinesWaitTheirTurn) {
    std::string log = drive({[this] {
        // Two lines given at once: the second answers the prompt the first opens.
        session().type("GETVAR");
        session().type("DWGNAME");
    }});
    EXPECT_NE(log.find("Enter variable name or [?]: DWGNAME\nDWGNAME = \"Drawing1.dwg\""),
              std::string::npos)
        << log;
}

} // namespace
