// The files: reading whole, and replacing whole (db/dxf/replacefile.h).
#include "db/dxf/dxffile.h"

#include "db/dxf/replacefile.h"
#include "db/dxf/tags.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace cadhost::db::dxf {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// The start of a file is read to tell a drawing; comments longer than this say no.
constexpr std::size_t kHeadSize = 64 * 1024;

} // namespace

bool IsReplaceableDrawing(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    if (!in)
        return false;
    std::string head(kHeadSize, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.empty() || BeginsAsDxf(head);
}

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
    if (!ReplaceFile(unixPath, text, error))
        return Acad::eFileAccessErr;
    return Acad::eOk;
}

} // namespace cadhost::db::dxf
