// Ctrl+C taken as input, the terminal's lines, and a script that Ctrl+C stops.
#include "editor/ctrlc.h"
#include "editor/input.h"
#include "editor/terminal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

using cadhost::editor::CtrlCCatcher;
using cadhost::editor::kCtrlCLine;
using cadhost::editor::ScriptInput;
using cadhost::editor::TerminalInput;

namespace {

// A pipe standing for the terminal, and a sink for what the reader shows.
struct FakeTerminal {
    int fds[2] = {-1, -1};
    FILE* shown = std::tmpfile();
    FakeTerminal() { EXPECT_EQ(::pipe(fds), 0); }
    ~FakeTerminal() {
        closeTyping();
        ::close(fds[0]);
        std::fclose(shown);
    }
    void type(const std::string& text) {
        EXPECT_EQ(::write(fds[1], text.data(), text.size()), ssize_t(text.size()));
    }
    void closeTyping() {
        if (fds[1] >= 0)
            ::close(fds[1]);
        fds[1] = -1;
    }
    std::string output() {
        std::fflush(shown);
        std::rewind(shown);
        std::string text;
        for (int c; (c = std::fgetc(shown)) != EOF;)
            text += char(c);
        return text;
    }
};

} // namespace

TEST(CtrlC, EveryPressIsCaughtAndTakenOnce) {
    CtrlCCatcher catcher(CtrlCCatcher::Again::Caught);
    EXPECT_FALSE(catcher.take());
    std::raise(SIGINT);
    std::raise(SIGINT);
    EXPECT_TRUE(catcher.take());
    EXPECT_FALSE(catcher.take());
    std::raise(SIGINT);
    EXPECT_TRUE(catcher.take());
}

TEST(CtrlC, TheHandlingBeforeComesBackAtTheEnd) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGINT, &ignore, &before), 0);
    {
        // Ignored by whoever started the program: it stays ignored.
        CtrlCCatcher catcher(CtrlCCatcher::Again::Caught);
        std::raise(SIGINT);
        EXPECT_FALSE(catcher.take());
    }
    struct sigaction after {};
    ::sigaction(SIGINT, &before, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
}

TEST(CtrlCDeathTest, InAScriptRunASecondPressEndsTheProgram) {
    EXPECT_EXIT(
        {
            CtrlCCatcher catcher(CtrlCCatcher::Again::EndsProgram);
            std::raise(SIGINT);
            if (!catcher.take())
                std::_Exit(3);
            std::raise(SIGINT);
            std::_Exit(0);
        },
        testing::KilledBySignal(SIGINT), "");
}

TEST(TerminalInput, ReadsLinesWithoutTheirEnds) {
    CtrlCCatcher catcher(CtrlCCatcher::Again::Caught);
    FakeTerminal terminal;
    TerminalInput input(terminal.fds[0], terminal.shown, catcher);
    terminal.type("LINE\r\n0,0\n\nlast");
    terminal.closeTyping();
    std::string line;
    for (const char* want : {"LINE", "0,0", "", "last"}) {
        ASSERT_TRUE(input.readLine(line));
        EXPECT_EQ(line, want);
    }
    EXPECT_FALSE(input.readLine(line));
    EXPECT_EQ(terminal.output(), "");
}

TEST(TerminalInput, CtrlCWhileACommandWorkedCancelsTheNextPromptAndWhatWasTypedAhead) {
    CtrlCCatcher catcher(CtrlCCatcher::Again::Caught);
    FakeTerminal terminal;
    TerminalInput input(terminal.fds[0], terminal.shown, catcher);
    terminal.type("CIRCLE\n0,0\n");
    std::string line;
    ASSERT_TRUE(input.readLine(line));
    EXPECT_EQ(line, "CIRCLE");
    // The command works; Ctrl+C comes.  The terminal drops what it holds of the lines typed
    // ahead; so does the reader.
    std::raise(SIGINT);
    ASSERT_TRUE(input.readLine(line));
    EXPECT_EQ(line, kCtrlCLine);
    EXPECT_TRUE(cadhost::editor::IsCancelLine(line));
    // The next prompt shows on a line of its own.
    EXPECT_EQ(terminal.output(), "\n");
    terminal.type("LINE\n");
    ASSERT_TRUE(input.readLine(line));
    EXPECT_EQ(line, "LINE");
}

TEST(TerminalInput, CtrlCWakesAReadThatWaits) {
    CtrlCCatcher catcher(CtrlCCatcher::Again::Caught);
    FakeTerminal terminal;
    TerminalInput input(terminal.fds[0], terminal.shown, catcher);
    // Nothing is typed: only Ctrl+C, pressed once the read waits, can end it.
    pid_t self = ::getpid();
    std::thread presser([self] {
        ::usleep(100 * 1000);
        ::kill(self, SIGINT);
    });
    std::string line;
    EXPECT_TRUE(input.readLine(line));
    presser.join();
    EXPECT_EQ(line, kCtrlCLine);
}

TEST(ScriptInput, CtrlCDropsTheLinesLeftAndSaysHowManyOnce) {
    ScriptInput script;
    script.feed("LINE\n0,0\n; a comment\n1,1\n\n");
    bool pressed = false;
    script.setStopCheck([&] { return pressed; });
    EXPECT_EQ(script.take(), "LINE");
    pressed = true;
    EXPECT_EQ(script.take(), std::nullopt);
    EXPECT_EQ(script.takeStop(), 3u);
    EXPECT_EQ(script.takeStop(), std::nullopt);
    EXPECT_TRUE(script.empty());
}

TEST(ScriptInput, CtrlCAfterTheLastLineStopsNothing) {
    ScriptInput script;
    script.feed("LINE\n");
    EXPECT_EQ(script.take(), "LINE");
    script.setStopCheck([] { return true; });
    EXPECT_TRUE(script.empty());
    EXPECT_EQ(script.takeStop(), std::nullopt);
}
