// What the window of the host (cadhost --gui) does for the host's commands: a picture of the
// window, and the part of the drawing its view shows.  The window installs itself in the
// session; without it (the headless host) the commands that need it say so.
#pragma once

#include "arx/ge.h"

#include <string>

namespace cadhost::editor {

class WindowServices {
public:
    virtual ~WindowServices() = default;
    // Writes the main window's pixels, as a user sees them now, to a PNG file (a unix path);
    // false with a one-line reason.
    virtual bool snapshot(const std::string& path, std::string& error) = 0;
    // The view shows the whole drawing.
    virtual void zoomExtents() = 0;
    // The view shows the box between two corners (world coordinates) as large as it fits.
    virtual void zoomWindow(const AcGePoint3d& first, const AcGePoint3d& second) = 0;
};

} // namespace cadhost::editor
