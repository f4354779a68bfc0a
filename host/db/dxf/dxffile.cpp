// The files: reading whole, writing atomically.
#include "db/dxf/dxffile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace cadhost::db::dxf {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

bool WriteAll(int fd, const std::string& text) {
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
    std::ifstream in(unixPath, std::ios::binary);
    if (!in) {
        error = Reason(errno);
        return Acad::eFileAccessErr;
    }
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) {
        error = "read error";
        return Acad::eFileAccessErr;
    }
    return ReadDxfText(all.str(), db, error);
}

Acad::ErrorStatus WriteDxfFile(AcDbDatabase* db, const std::string& unixPath, std::string& error) {
    std::string text;
    if (Acad::ErrorStatus es = WriteDxfText(db, text, error); es != Acad::eOk)
        return es;
    std::size_t slash = unixPath.rfind('/');
    std::string folder = slash == std::string::npos ? "." : unixPath.substr(0, slash ? slash : 1);
    std::string name = slash == std::string::npos ? unixPath : unixPath.substr(slash + 1);
    if (name.empty()) {
        error = "no file name";
        return Acad::eInvalidInput;
    }
    // The new file sits beside the target, so the rename stays on one file system.
    std::string temp = folder + "/." + name + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = Reason(errno);
        return Acad::eFileAccessErr;
    }
    // The file takes the permissions a new file would have.
    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    ::fchmod(fd, ::stat(unixPath.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask));
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    int saved = errno;
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
