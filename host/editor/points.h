// Point input as typed at a prompt: "x,y" or "x,y,z", or "@dx,dy[,dz]" relative to a base.
#pragma once

#include "editor/sysvars.h"

#include <optional>
#include <string>

namespace cadhost::editor {

std::optional<Point3> ParsePoint(const std::string& text, const Point3& base);

} // namespace cadhost::editor
