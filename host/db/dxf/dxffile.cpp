// The files: reading whole, writing atomically.
#include "db/dxf/dxffile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace cadhost::db::dxf {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
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

} // namespace

Acad::ErrorStatus ReadDxfFile(const std::string& unixPath, AcDbDatabase*& db, std::string& error) {
    db = nullptr;
    struct stat info {};
    if (::stat(unixPath.c_str(), &info) != 0) {
        error = Reason(errno);
        return Acad::eFileNotFound;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "it is a folder";
        return Acad::eFileAccessErr;
    }
    int fd = ::open(unixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return Acad::eFileAccessErr;
    }
    // Read whole into one buffer of the file's size (a file that grows meanwhile is read to
    // its end all the same).
    std::string all;
    all.resize(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0);
    std::size_t done = 0;
    for (;;) {
        if (done == all.size())
            all.resize(all.size() + 65536);
        ssize_t n = ::read(fd, all.data() + done, all.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            error = "read error";
            return Acad::eFileAccessErr;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    all.resize(done);
    return ReadDxfTextAndFree(std::move(all), db, error);
}

Acad::ErrorStatus WriteDxfFile(AcDbDatabase* db, const std::string& unixPath, std::string& error) {
    std::size_t slash = unixPath.rfind('/');
    std::string folder = slash == std::string::npos ? "." : unixPath.substr(0, slash ? slash : 1);
    std::string name = slash == std::string::npos ? unixPath : unixPath.substr(slash + 1);
    std::string temp;
    int fd = -1;
    // The new file sits beside the target, so the rename stays on one file system.
    auto open = [&] {
        if (name.empty()) {
            error = "no file name";
            return Acad::eInvalidInput;
        }
        temp = folder + "/." + name + ".XXXXXX";
        fd = ::mkstemp(temp.data());
        if (fd < 0) {
            error = Reason(errno);
            return Acad::eFileAccessErr;
        }
        // The file takes the permissions a new file would have.
        mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat old {};
        ::fchmod(fd, ::stat(unixPath.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask));
        return Acad::eOk;
    };
    int saved = 0;
    auto put = [&](std::string_view piece) {
        if (WriteAll(fd, piece))
            return true;
        saved = errno;
        return false;
    };
    Acad::ErrorStatus es = WriteDxf(db, open, put, error);
    if (fd < 0)
        return es;
    bool ok = es == Acad::eOk && ::fsync(fd) == 0;
    if (!ok && !saved)
        saved = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), unixPath.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = Reason(saved ? saved : EIO);
        return Acad::eFileAccessErr;
    }
    if (int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Acad::eOk;
}

} // namespace cadhost::db::dxf
