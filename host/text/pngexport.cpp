#include "text/pngexport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cadhost::text {

namespace {

// A file in the temporary folder that is removed when the object goes.
class TempFile {
public:
    explicit TempFile(const char* suffix) {
        // The user's temporary folder, else /tmp when that one cannot take the file.
        const char* dir = std::getenv("TMPDIR");
        for (std::string folder : {std::string(dir && *dir ? dir : "/tmp"), std::string("/tmp")}) {
            m_path = folder + "/cadhost-png-XXXXXX" + suffix;
            m_fd = ::mkstemps(m_path.data(), static_cast<int>(std::strlen(suffix)));
            if (m_fd >= 0)
                return;
        }
        m_path.clear();
    }
    ~TempFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool ok() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    bool write(const std::string& data) {
        std::size_t done = 0;
        while (done < data.size()) {
            ssize_t n = ::write(m_fd, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    std::string firstLine() const {
        std::string text;
        if (FILE* f = std::fopen(m_path.c_str(), "r")) {
            char buffer[512];
            if (std::fgets(buffer, sizeof buffer, f))
                text = buffer;
            std::fclose(f);
        }
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace

bool SvgToPng(const std::string& svg, const std::string& pngPath, std::string& error) {
    TempFile input(".svg");
    TempFile messages(".log");
    if (!input.ok() || !messages.ok() || !input.write(svg)) {
        error =
            "cannot write a temporary file for the picture: " + std::string(std::strerror(errno));
        return false;
    }
    // Written beside the target and moved over it when complete, so that a failed run
    // leaves an earlier picture as it was.
    std::string partial = pngPath + ".part";
    ::unlink(partial.c_str());

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, messages.path().c_str(), O_WRONLY, 0);
    std::string program = "rsvg-convert";
    std::string format = "--format=png";
    std::string output = "--output=" + partial;
    std::string source = input.path();
    char* argv[] = {program.data(), format.data(), output.data(), source.data(), nullptr};
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = spawned == ENOENT
                    ? "rsvg-convert was not found; install it (Debian package librsvg2-bin) to "
                      "export PNG pictures"
                    : "cannot start rsvg-convert: " + std::string(std::strerror(spawned));
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = "lost track of rsvg-convert: " + std::string(std::strerror(errno));
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string detail = messages.firstLine();
        error = "rsvg-convert failed" + (detail.empty() ? std::string() : ": " + detail);
        ::unlink(partial.c_str());
        return false;
    }
    struct stat info {};
    if (::stat(partial.c_str(), &info) != 0 || info.st_size == 0) {
        ::unlink(partial.c_str());
        error = "rsvg-convert wrote no picture for " + pngPath;
        return false;
    }
    if (::rename(partial.c_str(), pngPath.c_str()) != 0) {
        error = "cannot write " + pngPath + ": " + std::strerror(errno);
        ::unlink(partial.c_str());
        return false;
    }
    return true;
}

} // namespace cadhost::text
