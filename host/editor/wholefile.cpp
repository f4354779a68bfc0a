#include "editor/wholefile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace cadhost::editor {

bool ReadWholeFile(const std::string& hostPath, std::string& bytes, std::string* why) {
    auto refuse = [why](std::string reason) {
        if (why)
            *why = std::move(reason);
        return false;
    };
    // A folder opens as a stream that reads nothing, which would pass for an empty file.
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0)
        return refuse(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return refuse("it is a folder");
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return refuse(std::strerror(errno));
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad())
        return refuse("read error");
    bytes = all.str();
    return true;
}

} // namespace cadhost::editor
