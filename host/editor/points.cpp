#include "editor/points.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace cadhost::editor {

namespace {

bool ParseNumber(const std::string& text, double& out) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return false;
    std::string t = text.substr(first, last - first + 1);
    char* end = nullptr;
    errno = 0;
    out = std::strtod(t.c_str(), &end);
    return end && *end == '\0' && errno == 0 && std::isfinite(out);
}

} // namespace

std::optional<Point3> ParsePoint(const std::string& typed, const Point3& base) {
    std::string text = typed;
    bool relative = !text.empty() && text[0] == '@';
    if (relative)
        text.erase(0, 1);
    if (relative && text.empty())
        return base;
    double v[3] = {0, 0, 0};
    int count = 0;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (count == 3 || !ParseNumber(part, v[count]))
            return std::nullopt;
        ++count;
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (count < 2)
        return std::nullopt;
    if (count == 2)
        v[2] = 0.0; // a 2D point lies in the UCS plane (or keeps the base elevation)
    if (relative)
        return Point3{base.x + v[0], base.y + v[1], base.z + v[2]};
    return Point3{v[0], v[1], v[2]};
}

} // namespace cadhost::editor
