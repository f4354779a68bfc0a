// PNG pictures through the rsvg-convert program (Debian's librsvg2-bin).
#pragma once

#include <string>

namespace cadhost::text {

// Renders an SVG document into a PNG file.  False with a message in `error` when the program
// is not installed, fails, or leaves no file.
bool SvgToPng(const std::string& svg, const std::string& pngPath, std::string& error);

} // namespace cadhost::text
