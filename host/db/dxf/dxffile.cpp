// The files: reading whole, and replacing whole (db/dxf/replacefile.h).
#include "db/dxf/dxffile.h"

#include "db/dxf/replacefile.h"

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

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool TakeLine(std::string_view& text, std::string_view& line) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return false; // a line cut off by the end of what was read
    line = Trimmed(text.substr(0, end));
    text.remove_prefix(end + 1);
    return true;
}

bool BeginsAsDxf(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::string_view code, value;
    while (TakeLine(text, code) && TakeLine(text, value)) {
        if (code != "999")
            return code == "0" && value == "SECTION";
    }
    return false;
}

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
