// Runs the built Scrivel program the way the CAD host and the installer start it.
#include "scrivel/resources.h"
#include "temp_folder.h"

#include "win/handles.h"
#include "win/paths.h"
#include "win/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kScrivel = RIVLET_BINARY_DIR "/bin/Scrivel";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The sections of a REGEDIT4 file: key path (lower case) to the value lines below it.
std::map<std::string, std::vector<std::string>> Sections(const std::string& text) {
    std::map<std::string, std::vector<std::string>> sections;
    std::vector<std::string>* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            current = &sections[Lower(line.substr(1, line.size() - 2))];
        else if (current && !line.empty())
            current->push_back(line);
    }
    return sections;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

class ScrivelProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("CADHOST_PREFIX", m_prefix.c_str(), 1);
        ASSERT_TRUE(fs::exists(kScrivel)) << kScrivel;
    }

    // Scrivel's exit status for the arguments.
    DWORD Run(const std::string& arguments) {
        std::string commandLine = "\"" + win::ToWindowsPath(kScrivel) + "\" " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi))
            return 0xDEAD;
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }

    // Scrivel's exit status for the arguments, with what it wrote to standard error.
    int RunForErrors(const std::string& arguments, std::string& errors) {
        const std::string file = m_errorsFolder.path() + "/stderr.txt";
        std::string command = "'" + kScrivel + "' " + arguments + " 2>'" + file + "'";
        int status = std::system(command.c_str());
        errors = ReadFile(file);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Hive() const { return ReadFile(m_prefix + "/system.reg"); }

    static std::string Classes(const std::string& path) {
        return Lower("HKEY_LOCAL_MACHINE\\Software\\Classes\\" + path);
    }
    static std::string AppIdKey() { return Classes("AppID\\" + std::string(scrivel::kAppId)); }
    static std::string ExeKey() { return Classes("AppID\\Scrivel.EXE"); }
    static std::string LibraryKey() { return Classes("TypeLib\\" + std::string(scrivel::kLibId)); }

    void ExpectRegistered() {
        auto sections = Sections(Hive());
        ASSERT_TRUE(sections.count(AppIdKey())) << Hive();
        EXPECT_EQ(sections[AppIdKey()], (std::vector<std::string>{"@=\"Scrivel\""}));
        EXPECT_EQ(sections[ExeKey()],
                  (std::vector<std::string>{"\"AppID\"=\"" + std::string(scrivel::kAppId) + "\""}));
        std::string version = LibraryKey() + "\\1.0";
        EXPECT_EQ(sections[version], (std::vector<std::string>{"@=\"Scrivel 1.0 Type Library\""}));
        EXPECT_EQ(sections[version + "\\flags"], (std::vector<std::string>{"@=\"0\""}));
        std::string program = win::ToWindowsPath(fs::canonical(kScrivel).string());
        EXPECT_EQ(sections[version + "\\409\\win32"],
                  (std::vector<std::string>{"@=\"" + Escaped(program) + "\""}));
        std::string folder = program.substr(0, program.find_last_of('\\'));
        EXPECT_EQ(sections[version + "\\helpdir"],
                  (std::vector<std::string>{"@=\"" + Escaped(folder) + "\""}));
    }

    void ExpectUnregistered() {
        auto sections = Sections(Hive());
        EXPECT_TRUE(sections.count(Classes("AppID"))) << "the shared AppID key stays";
        for (const auto& [key, lines] : sections) {
            EXPECT_EQ(key.find(Lower(std::string(scrivel::kAppId))), std::string::npos) << key;
            EXPECT_NE(key, ExeKey());
            EXPECT_EQ(key.find(Lower(std::string(scrivel::kLibId))), std::string::npos) << key;
        }
    }

    rivlet_test::TempFolder m_prefixFolder{"scrivel-prefix"};
    rivlet_test::TempFolder m_errorsFolder{"scrivel-errors"};
    const std::string m_prefix = m_prefixFolder.path();
};

TEST_F(ScrivelProgramTest, RegistersAndUnregistersWithSlashInLowerCase) {
    EXPECT_EQ(Run("/regserver"), 0u);
    ExpectRegistered();
    EXPECT_EQ(Run("/unregserver"), 0u);
    ExpectUnregistered();
}

TEST_F(ScrivelProgramTest, RegistersAndUnregistersWithHyphenAndCapitals) {
    EXPECT_EQ(Run("-RegServer"), 0u);
    ExpectRegistered();
    std::string registered = Hive();
    EXPECT_EQ(Run("-RegServer"), 0u);
    EXPECT_EQ(Hive(), registered) << "registering again changes nothing";
    EXPECT_EQ(Run("-UnregServer"), 0u);
    ExpectUnregistered();
    EXPECT_EQ(Run("-UnregServer"), 0u) << "nothing left to remove is no failure";
}

TEST_F(ScrivelProgramTest, FileGivenByTheHostIsLeftAlone) {
    std::string file = m_prefix + "/drive_c/acad-mtext.txt";
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << "{\\rtf1 text}\r\n";
    // A write time well in the past, so that any write would show.
    timespec times[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);

    EXPECT_EQ(Run("C:\\acad-mtext.txt"), 0u);
    EXPECT_EQ(Run(""), 0u);
    EXPECT_EQ(Run("/Embedding"), 0u);

    struct stat after {};
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(ReadFile(file), "{\\rtf1 text}\r\n");
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_FALSE(fs::exists(m_prefix + "/system.reg")) << "nothing was registered";
}

TEST_F(ScrivelProgramTest, RegistryThatCannotBeWrittenGivesAFailingStatus) {
    std::string corrupt = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\n\"broken\n";
    std::ofstream(m_prefix + "/system.reg", std::ios::binary) << corrupt;
    DWORD status = Run("/RegServer");
    EXPECT_NE(status, 0u);
    EXPECT_NE(status, 0xDEADu);
    EXPECT_EQ(Hive(), corrupt) << "the damaged hive is never overwritten";
}

TEST_F(ScrivelProgramTest, FailedRegistrationSaysWhatFailedInOneLine) {
    // A folder where the hive's lock file belongs: the registry cannot be written.
    fs::create_directories(m_prefix + "/system.reg.lock");
    std::string errors;
    EXPECT_EQ(RunForErrors("/RegServer", errors), 245) << errors;
    const std::string unwritable = "\nScrivel: could not register: cannot create the key AppID "
                                   "(error 1013: The registry could not be written.)\n";
    EXPECT_EQ(errors.substr(errors.find('\n')), unwritable) << "after the registry's own line";
    fs::remove(m_prefix + "/system.reg.lock");

    std::ofstream(m_prefix + "/system.reg", std::ios::binary)
        << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\n";
    EXPECT_EQ(RunForErrors("-RegServer", errors), 247) << errors;
    const std::string damaged = "\nScrivel: could not register: cannot create the key AppID "
                                "(error 1015: The registry file is damaged.)\n";
    EXPECT_EQ(errors.substr(errors.find('\n')), damaged) << errors;

    fs::remove(m_prefix + "/system.reg");
    EXPECT_EQ(RunForErrors("/RegServer", errors), 0);
    EXPECT_EQ(errors, "") << "success says nothing";
}

} // namespace
