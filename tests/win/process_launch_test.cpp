#include "temp_folder.h"

#include "win/cmdline.h"
#include "win/handles.h"
#include "win/paths.h"
#include "win/process.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string OwnProgram() {
    std::array<char, 4096> path{};
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return std::string(path.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("CADHOST_PREFIX", m_prefix.c_str(), 1); }
    void TearDown() override {
        for (HANDLE h : m_handles)
            CloseHandle(h);
    }

    std::string Script(const std::string& name, const std::string& body, mode_t mode = 0755) {
        std::string path = m_work + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        chmod(path.c_str(), mode);
        return path;
    }

    // Starts a command line; the handles are closed after the test.
    bool Start(std::string commandLine, PROCESS_INFORMATION* pi, LPVOID environment = nullptr,
               LPCSTR directory = nullptr, BOOL inherit = FALSE, LPCSTR application = nullptr) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        *pi = {};
        BOOL ok = CreateProcessA(application, commandLine.data(), nullptr, nullptr, inherit, 0,
                                 environment, directory, &si, pi);
        if (ok) {
            m_handles.push_back(pi->hProcess);
            m_handles.push_back(pi->hThread);
        }
        return ok;
    }

    DWORD RunToEnd(const std::string& commandLine, LPVOID environment = nullptr,
                   LPCSTR directory = nullptr) {
        PROCESS_INFORMATION pi;
        if (!Start(commandLine, &pi, environment, directory))
            return 0xDEAD;
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
        return code;
    }

    DWORD StartFailure(const std::string& commandLine) {
        PROCESS_INFORMATION pi;
        SetLastError(0);
        EXPECT_FALSE(Start(commandLine, &pi)) << commandLine;
        return GetLastError();
    }

    std::string Windows(const std::string& unixPath) { return win::ToWindowsPath(unixPath); }

    rivlet_test::TempFolder m_prefixFolder{"process-prefix"}, m_workFolder{"process-work"};
    const std::string m_prefix = m_prefixFolder.path();
    const std::string m_work = m_workFolder.path();
    std::vector<HANDLE> m_handles;
};

TEST_F(ProcessTest, ExitCodesReachTheParent) {
    std::string prog = Script("code", "exit \"$1\"");
    EXPECT_EQ(RunToEnd(Windows(prog) + " 0"), 0u);
    EXPECT_EQ(RunToEnd(Windows(prog) + " 7"), 7u);
    EXPECT_EQ(RunToEnd("\"" + Windows(prog) + "\" 255"), 255u);
}

TEST_F(ProcessTest, RunAndWaitGivesTheStatusOnlyOfAProgramThatRan) {
    std::string marker = m_work + "/ran";
    std::string prog = Script("mark", "sleep 0.2; echo done > \"$1\"; exit \"$2\"");
    std::optional<DWORD> status = win::RunAndWait(Windows(prog) + " " + Windows(marker) + " 3");
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 3u);
    // It returns only once the program has ended: what the program wrote is there.
    EXPECT_EQ(ReadFile(marker), "done\n");
    EXPECT_EQ(win::RunAndWait(Windows(m_work) + "\\missing.exe x"), std::nullopt);
}

TEST_F(ProcessTest, ProgramThatCannotStartIsNeverReportedRunning) {
    EXPECT_EQ(StartFailure(Windows(m_work) + "\\missing.exe x"),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(StartFailure("no-such-program-anywhere x"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(StartFailure(Windows(Script("plain", "exit 0", 0644))),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(StartFailure(Windows(m_work)), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    std::string garbage = m_work + "/garbage";
    std::ofstream(garbage) << "\x7f\x01not a program";
    chmod(garbage.c_str(), 0755);
    EXPECT_EQ(StartFailure(Windows(garbage)), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(StartFailure(""), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    SetLastError(0);
    EXPECT_FALSE(
        CreateProcessA(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ProcessTest, ExeNameFindsTheProgramWithoutExtension) {
    std::string tool = Script("bin/tool", "exit 4");
    EXPECT_EQ(RunToEnd(Windows(tool) + ".EXE"), 4u);
    PROCESS_INFORMATION pi;
    std::string app = Windows(tool) + ".exe";
    ASSERT_TRUE(Start("tool.exe", &pi, nullptr, nullptr, FALSE, app.c_str()));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);

    // Bare names are searched on PATH, with the same rule.
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (m_work + "/bin:" + path).c_str(), 1);
    DWORD viaPath = RunToEnd("Tool.exe");
    DWORD exact = RunToEnd("tool.exe");
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(viaPath, 0xDEADu) << "names are case-sensitive here";
    EXPECT_EQ(exact, 4u);
}

TEST_F(ProcessTest, UnquotedProgramPathWithBlanksIsFoundAtALaterBlank) {
    std::string out = m_work + "/args";
    std::string editor = Script("Program Files/Ed/editor", "printf '%s\\n' \"$@\" > " + out);
    EXPECT_EQ(RunToEnd(Windows(editor) + ".exe  first second"), 0u);
    EXPECT_EQ(ReadFile(out), "first\nsecond\n");
}

TEST_F(ProcessTest, DriveLetterPathArgumentsArriveAsUnixPaths) {
    std::string out = m_work + "/args";
    std::string prog = Script("show", "printf '%s\\n' \"$@\" > " + out);
    EXPECT_EQ(RunToEnd(Windows(prog) +
                       " C:\\docs\\a.rtf \"z:/tmp/with space\" /o:C:\\x \\\\server\\share plain"),
              0u);
    std::string expected = win::PrefixFolder() + "/drive_c/docs/a.rtf\n/tmp/with space\n"
                                                 "/o:C:\\x\n\\\\server\\share\nplain\n";
    EXPECT_EQ(ReadFile(out), expected);
}

TEST_F(ProcessTest, ChildGetsTheExactCommandLine) {
    std::string out = m_work + "/line";
    std::string env = "WINPLAT_TEST_CHILD=command-line";
    env += '\0';
    env += "WINPLAT_TEST_CHILD_OUT=" + out;
    env += '\0';
    env += '\0';
    // Spacing and quoting that splitting and re-joining would not give back.
    std::string line = "\"" + Windows(OwnProgram()) + "\"   a\"b c\"  \"\"  \\\\\"x y\" \t end";
    EXPECT_EQ(RunToEnd(line, env.data()), 0u);
    EXPECT_EQ(ReadFile(out), line);

    // A program that sets its command line from main's arguments gets the same, and the
    // variable that carried it is gone.
    env.replace(env.find("command-line"), 12, "set-command-line");
    EXPECT_EQ(RunToEnd(line, env.data()), 0u);
    EXPECT_EQ(ReadFile(out), line + "\nremoved");
}

TEST_F(ProcessTest, ChildArgumentsAreTheSplitWords) {
    std::string out = m_work + "/argv";
    std::string env = "WINPLAT_TEST_CHILD=arguments";
    env += '\0';
    env += "WINPLAT_TEST_CHILD_OUT=" + out;
    env += '\0';
    env += '\0';
    std::string line = Windows(OwnProgram()) + " \"two words\" a\\\\\\\"b \"\"";
    EXPECT_EQ(RunToEnd(line, env.data()), 0u);
    EXPECT_EQ(ReadFile(out), OwnProgram() + "\ntwo words\na\\\"b\n\n");
}

// The wait callback runs while the child runs: here the child waits for a file that only the
// callback makes, so the wait can only end through the callback.
TEST_F(ProcessTest, WaitCallbackRunsWhileTheChildRuns) {
    std::string flag = m_work + "/go";
    std::string prog = Script("waiter", "while [ ! -e " + flag + " ]; do sleep 0.01; done\nexit 5");
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(Windows(prog), &pi));
    int calls = 0;
    auto previous = win::SetWaitCallback([&] {
        if (++calls == 3)
            std::ofstream(flag) << "";
    });
    EXPECT_FALSE(previous);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    EXPECT_GE(calls, 3);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, 5u);

    // Removed, it runs no more; the one removed is handed back.
    auto removed = win::SetWaitCallback({});
    ASSERT_TRUE(removed);
    int before = calls;
    std::string second = Script("second", "sleep 0.1\nexit 0");
    EXPECT_EQ(RunToEnd(Windows(second)), 0u);
    EXPECT_EQ(calls, before);
}

TEST_F(ProcessTest, WaitTimesOutWhileTheChildRuns) {
    std::string flag = m_work + "/go";
    std::string prog = Script("waiter", "while [ ! -e " + flag + " ]; do sleep 0.01; done\nexit 3");
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(Windows(prog), &pi));
    EXPECT_NE(pi.dwProcessId, 0u);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(pi.hThread, 20), WAIT_TIMEOUT);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    std::ofstream(flag) << "";
    EXPECT_EQ(WaitForSingleObject(pi.hThread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, 3u);
    SetLastError(0);
    EXPECT_FALSE(GetExitCodeProcess(pi.hThread, &code)) << "a thread handle is not a process";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(ProcessTest, TerminatedProcessReportsTheGivenCode) {
    std::string prog = Script("forever", "while true; do sleep 1; done");
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(Windows(prog), &pi));
    EXPECT_TRUE(TerminateProcess(pi.hProcess, 42));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, 42u);
    SetLastError(0);
    EXPECT_FALSE(TerminateProcess(pi.hProcess, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(ProcessTest, ProcessKilledBySignalReportsItLikeAShell) {
    std::string prog = Script("selfkill", "kill -TERM $$");
    EXPECT_EQ(RunToEnd(Windows(prog)), 128u + SIGTERM);
}

bool ProcessGone(DWORD pid) {
    // A reaped process leaves no entry; a zombie keeps one until its parent reaps it.
    for (int i = 0; i < 3000; ++i) {
        if (!fs::exists("/proc/" + std::to_string(pid)))
            return true;
        usleep(10000);
    }
    return false;
}

char ProcessState(DWORD pid) {
    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() ? '?' : stat[close + 2];
}

TEST_F(ProcessTest, ClosingTheHandlesNeitherKillsNorLeavesAZombie) {
    // Ended before the handles are closed: reaped when they are.
    std::string quick = Script("quick", "exit 0");
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(Windows(quick), &pi));
    m_handles.clear();
    for (int i = 0; i < 3000 && ProcessState(pi.dwProcessId) != 'Z'; ++i)
        usleep(10000);
    ASSERT_EQ(ProcessState(pi.dwProcessId), 'Z');
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_EQ(ProcessState(pi.dwProcessId), 'Z') << "the thread handle still holds it";
    EXPECT_TRUE(CloseHandle(pi.hThread));
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pi.dwProcessId)));

    // Still running when they are closed: it goes on, and is reaped when it ends.
    std::string flag = m_work + "/go";
    std::string done = m_work + "/done";
    std::string slow = Script("slow", "while [ ! -e " + flag +
                                          " ]; do sleep 0.01; done\n"
                                          "echo ok > " +
                                          done);
    ASSERT_TRUE(Start(Windows(slow), &pi));
    m_handles.clear();
    EXPECT_TRUE(CloseHandle(pi.hThread));
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_EQ(kill(static_cast<pid_t>(pi.dwProcessId), 0), 0);
    std::ofstream(flag) << "";
    EXPECT_TRUE(ProcessGone(pi.dwProcessId));
    EXPECT_EQ(ReadFile(done), "ok\n");

    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(ProcessTest, EnvironmentBlockAndFolderAreTheChilds) {
    std::string out = m_work + "/env.out";
    std::string prog = Script(
        "env", "printf '%s|%s|%s|%s' \"$A\" \"$B\" \"${HOME-unset}\" \"$(pwd -P)\" > " + out);
    const char block[] = "A=1\0B=two words\0=C:=C:\\\\ignored\0\0";
    fs::create_directory(m_work + "/sub");
    std::string folder = Windows(m_work + "/sub");
    EXPECT_EQ(RunToEnd(Windows(prog), const_cast<char*>(block), folder.c_str()), 0u);
    EXPECT_EQ(ReadFile(out), "1|two words|unset|" + fs::canonical(m_work + "/sub").string());

    // Without a block the child has this process's environment and folder.
    setenv("A", "inherited", 1);
    EXPECT_EQ(RunToEnd(Windows(prog)), 0u);
    unsetenv("A");
    EXPECT_EQ(ReadFile(out).substr(0, 10), "inherited|");

    PROCESS_INFORMATION pi;
    std::string missing = Windows(m_work + "/no-such-folder");
    SetLastError(0);
    EXPECT_FALSE(Start(Windows(prog), &pi, nullptr, missing.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST_F(ProcessTest, OpenFilesReachTheChildOnlyWhenInherited) {
    int fd = open(m_work.c_str(), O_RDONLY | O_DIRECTORY); // without close-on-exec
    ASSERT_GE(fd, 3);
    std::string out = m_work + "/fd.out";
    std::string prog = Script("fd", "if [ -e /proc/$$/fd/" + std::to_string(fd) +
                                        " ]; then echo open; else echo closed; fi > " + out);
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(Windows(prog), &pi, nullptr, nullptr, FALSE));
    WaitForSingleObject(pi.hProcess, INFINITE);
    EXPECT_EQ(ReadFile(out), "closed\n");
    ASSERT_TRUE(Start(Windows(prog), &pi, nullptr, nullptr, TRUE));
    WaitForSingleObject(pi.hProcess, INFINITE);
    EXPECT_EQ(ReadFile(out), "open\n");
    close(fd);
}

} // namespace
