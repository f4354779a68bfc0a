// SNAPSHOT and ZOOM: the window's picture and the part of the drawing its view shows.  The
// headless host has no window, and says so.
#include "editor/documents.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/points.h"
#include "editor/session.h"
#include "editor/windowservices.h"

#include "win/paths.h"

#include <strings.h>

namespace cadhost::editor {

namespace {

WindowServices* WindowOr(Session& s, const char* command) {
    if (!s.window)
        s.cmdline.print(std::string("\n") + command +
                        " needs the window: start cadhost with --gui.");
    return s.window;
}

void CmdSnapshot() {
    Session& s = *TheSession();
    WindowServices* window = WindowOr(s, "SNAPSHOT");
    if (!window)
        return;
    Document* doc = Docs().current();
    std::string fallback = std::string(doc ? doc->docTitle() : "cadhost") + ".png";
    InputItem reply = s.ask("\nEnter picture file name (.png) <" + fallback + ">: ");
    if (reply.kind != InputItem::Text)
        return;
    std::string name = reply.text.empty() ? fallback : reply.text;
    std::string error;
    if (!window->snapshot(win::ToHostPath(name), error)) {
        s.cmdline.print("\nCannot write " + name + ": " + error);
        return;
    }
    s.cmdline.print("\nWindow picture written to " + name + ".");
}

AcGePoint3d ToWorld(AcDbDatabase* db, const Point3& p) {
    return AcGePoint3d(p.x, p.y, p.z).transformBy(UcsToWorld(db));
}

bool IsKeyword(const std::string& typed, const char* keyword) {
    return !typed.empty() && strncasecmp(typed.c_str(), keyword, typed.size()) == 0;
}

void CmdZoom() {
    Session& s = *TheSession();
    WindowServices* window = WindowOr(s, "ZOOM");
    AcDbDatabase* db = window ? CurrentDatabase() : nullptr;
    if (!db)
        return;
    // The first prompt takes a point too: a click in the view answers it.
    s.pointRequest = {true, false, false, {}};
    InputItem option = s.ask("\nSpecify corner of window or [Extents/Window] <Extents>: ");
    s.pointRequest = {};
    if (option.kind != InputItem::Text)
        return;
    if (option.text.empty() || IsKeyword(option.text, "Extents")) {
        window->zoomExtents();
        return;
    }
    ads_point corner;
    Point3 first;
    if (IsKeyword(option.text, "Window")) {
        if (acedGetPoint(nullptr, "\nSpecify first corner: ", corner) != RTNORM)
            return;
        first = {corner[0], corner[1], corner[2]};
    } else if (auto p = ParsePoint(option.text, Point3{})) {
        first = *p;
    } else {
        s.cmdline.print("\nInvalid option keyword.");
        return;
    }
    ads_point base = {first.x, first.y, first.z};
    if (acedGetCorner(base, "\nSpecify opposite corner: ", corner) != RTNORM)
        return;
    window->zoomWindow(ToWorld(db, first), ToWorld(db, Point3{corner[0], corner[1], corner[2]}));
}

} // namespace

void RegisterWindowCommands(CommandStack& stack) {
    AddHostCommand(stack, "SNAPSHOT", CmdSnapshot, ACRX_CMD_TRANSPARENT);
    AddHostCommand(stack, "ZOOM", CmdZoom, ACRX_CMD_TRANSPARENT);
}

} // namespace cadhost::editor
