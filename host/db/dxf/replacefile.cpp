#include "db/dxf/replacefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace cadhost::db::dxf {

namespace {

constexpr const char* kMarker = ".save-";
constexpr std::size_t kRandomPart = 6; // mkstemp's XXXXXX
// How many links one path may pass through, as the system allows.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash ? slash : 1);
}

std::string NameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A fresh temporary beside the target, locked.  A temporary that a cleaner removed between
// its creation and the lock is no longer linked; another one is made then.
int CreateLockedTemporary(const std::string& prefix, std::string& temp) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = prefix + std::string(kRandomPart, 'X');
        int fd = ::mkstemp(temp.data());
        if (fd < 0)
            return -1;
        struct stat info {};
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        if (::fstat(fd, &info) == 0 && info.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

// Gives the new file the permissions and owner of the file it replaces, or those of a new
// file.  Only the root user may give a file away; a group the user belongs to may be kept.
void TakeOverAttributes(int fd, const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    // After the owner: changing it clears the set-id bits.
    ::fchmod(fd, old.st_mode & 07777);
}

bool IsLeftoverName(const std::string& entry, const std::string& prefix) {
    return entry.size() == prefix.size() + kRandomPart &&
           entry.compare(0, prefix.size(), prefix) == 0;
}

// Removes the temporaries of earlier saves of the file that no save holds locked.
void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (!IsLeftoverName(name, prefix))
            continue;
        std::string path = folder + "/" + name;
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {
        }, named{};
        // Locked: a save is writing it.  Removed only while this lock is held, so that a
        // save that takes its lock afterwards sees that its file is gone.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
            S_ISREG(opened.st_mode) && ::lstat(path.c_str(), &named) == 0 &&
            named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

std::string FileBehindLinks(const std::string& path) {
    std::string current = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0)
            return current;
        target.resize(static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : FolderOf(current) + "/" + target;
    }
    return current;
}

std::string TemporaryPrefix(const std::string& fileName) {
    // A long name is cut so that the temporary's name stays within what a folder allows.
    std::size_t room = NAME_MAX - 1 - std::strlen(kMarker) - kRandomPart;
    return "." + fileName.substr(0, room) + kMarker;
}

FileReplacement::FileReplacement(std::string path) : m_path(std::move(path)) {}

FileReplacement::~FileReplacement() {
    abandon();
}

void FileReplacement::abandon() {
    if (m_fd < 0)
        return;
    ::unlink(m_temp.c_str());
    ::close(m_fd);
    m_fd = -1;
}

bool FileReplacement::open(std::string& error) {
    m_target = FileBehindLinks(m_path);
    const std::string name = NameOf(m_target);
    if (name.empty()) {
        error = "no file name";
        return false;
    }
    struct stat info {};
    if (::lstat(m_target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        error = std::strerror(ELOOP);
        return false;
    }
    if (::stat(m_target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "it is a folder";
        return false;
    }
    m_prefix = TemporaryPrefix(name);
    m_fd = CreateLockedTemporary(FolderOf(m_target) + "/" + m_prefix, m_temp);
    if (m_fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    TakeOverAttributes(m_fd, m_target);
    return true;
}

bool FileReplacement::write(std::string_view bytes) {
    if (m_fd < 0 || m_writeError)
        return false;
    if (WriteAll(m_fd, bytes))
        return true;
    m_writeError = errno ? errno : EIO;
    return false;
}

bool FileReplacement::commit(std::string& error) {
    if (m_fd < 0) {
        error = std::strerror(EBADF);
        return false;
    }
    // The lock is held until the rename is done: the descriptor closes last.
    int saved = m_writeError;
    if (!saved && (::fsync(m_fd) != 0 || ::rename(m_temp.c_str(), m_target.c_str()) != 0))
        saved = errno ? errno : EIO;
    if (saved) {
        abandon();
        error = std::strerror(saved);
        return false;
    }
    ::close(m_fd);
    m_fd = -1;
    const std::string folder = FolderOf(m_target);
    if (int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    RemoveLeftovers(folder, m_prefix);
    return true;
}

} // namespace cadhost::db::dxf
