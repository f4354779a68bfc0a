#include "editor/wholefile.h"

#include <fstream>
#include <sstream>

namespace cadhost::editor {

bool ReadWholeFile(const std::string& hostPath, std::string& bytes) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return !in.bad();
}

} // namespace cadhost::editor
