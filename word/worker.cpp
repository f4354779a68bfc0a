#include "worker.h"

#include "percent.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace word {
namespace {

constexpr int kStartTimeoutMs = 180000;  // LibreOffice's first start with a fresh profile
constexpr int kAnswerTimeoutMs = 300000; // a large document
constexpr int kQuitTimeoutMs = 60000;

bool Executable(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t space = line.find(' ', start);
        if (space == std::string::npos)
            space = line.size();
        words.push_back(line.substr(start, space - start));
        start = space + 1;
    }
    return words;
}

Answer Parse(const std::string& line) {
    Answer answer;
    std::vector<std::string> words = Split(line);
    std::vector<std::string> decoded;
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::optional<std::string> word = PercentDecode(words[i]);
        if (!word) {
            answer.message = "the worker's answer cannot be read: " + line;
            return answer;
        }
        decoded.push_back(*word);
    }
    if (words[0] == "ok") {
        answer.ok = true;
        answer.words = decoded;
    } else if (words[0] == "error") {
        answer.message = decoded.empty() ? "the worker failed" : decoded[0];
    } else {
        answer.message = "the worker's answer cannot be read: " + line;
    }
    return answer;
}

} // namespace

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t colon = folders.find(':', start);
        if (colon == std::string::npos)
            colon = folders.size();
        std::string folder = folders.substr(start, colon - start);
        if (!folder.empty() && Executable(folder + "/" + name))
            return folder + "/" + name;
        start = colon + 1;
    }
    return "";
}

std::string FindPython() {
    if (const char* chosen = std::getenv("RIVLET_WORD_PYTHON"); chosen && *chosen)
        return chosen;
    if (Executable("/usr/bin/python3"))
        return "/usr/bin/python3";
    return FindOnPath("python3");
}

std::string WorkerScript() {
    if (const char* chosen = std::getenv("RIVLET_WORD_WORKER"); chosen && *chosen)
        return chosen;
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "word_uno.py";
    std::string program(self, static_cast<std::size_t>(n));
    return program.substr(0, program.rfind('/') + 1) + "word_uno.py";
}

bool Worker::Start(std::string& error) {
    Quit();
    std::string python = FindPython();
    if (python.empty()) {
        error = "python3 is not installed";
        return false;
    }
    std::string script = WorkerScript();
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        close(toChild[0]);
        close(toChild[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    std::vector<char*> argv = {python.data(), script.data(), nullptr};
    pid_t pid = -1;
    int rc = posix_spawn(&pid, python.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    if (rc != 0) {
        close(toChild[1]);
        close(fromChild[0]);
        error = "cannot start " + python + ": " + std::strerror(rc);
        return false;
    }
    m_pid = pid;
    m_in = toChild[1];
    m_out = fromChild[0];
    m_buffer.clear();
    ++m_generation;
    std::string line;
    if (!ReadLine(line, kStartTimeoutMs)) {
        error = "the LibreOffice worker ended before it was ready";
        Reap(false);
        return false;
    }
    if (line == "ready")
        return true;
    Answer answer = Parse(line);
    error = answer.message.empty() ? "the LibreOffice worker did not start" : answer.message;
    Reap(false);
    return false;
}

bool Worker::ReadLine(std::string& line, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (std::size_t nl = m_buffer.find('\n'); nl != std::string::npos) {
            line = m_buffer.substr(0, nl);
            m_buffer.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0)
            return false;
        pollfd p{m_out, POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char chunk[4096];
        ssize_t n = read(m_out, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

bool Worker::Alive() {
    if (m_pid <= 0)
        return false;
    int status = 0;
    pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == 0)
        return true;
    m_pid = -1;
    Reap(false);
    return false;
}

Answer Worker::Request(const std::string& op, const std::vector<std::string>& args) {
    Answer answer;
    if (!Alive()) {
        answer.message = "the LibreOffice worker is not running";
        return answer;
    }
    std::string line = RequestLine(op, args) + "\n";
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t n = write(m_in, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Reap(false);
            answer.message = "the LibreOffice worker ended";
            return answer;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    std::string reply;
    if (!ReadLine(reply, kAnswerTimeoutMs)) {
        Reap(false);
        answer.message = "the LibreOffice worker ended";
        return answer;
    }
    return Parse(reply);
}

void Worker::Quit() {
    if (m_pid <= 0 && m_in < 0)
        return;
    if (Alive()) {
        std::string quit = "quit\n";
        if (write(m_in, quit.data(), quit.size()) == static_cast<ssize_t>(quit.size())) {
            std::string reply;
            ReadLine(reply, kQuitTimeoutMs);
        }
    }
    Reap(true);
}

// Closes the pipes (the end of its input makes a worker quit) and waits for the process; one
// that does not end in time is killed.
void Worker::Reap(bool wait) {
    if (m_in >= 0)
        close(m_in);
    if (m_out >= 0)
        close(m_out);
    m_in = m_out = -1;
    m_buffer.clear();
    if (m_pid <= 0)
        return;
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(wait ? kQuitTimeoutMs : 30000);
    int status = 0;
    for (;;) {
        pid_t r = waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid || (r < 0 && errno != EINTR))
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            break;
        }
        usleep(10000);
    }
    m_pid = -1;
}

} // namespace word
