// SELECT, DBLCLICK and LIST: choosing entities and looking at them.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "db/listing.h"
#include "editor/documents.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/mtextedit.h"
#include "editor/points.h"
#include "editor/session.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace cadhost::editor {

namespace {

constexpr double kPickTolerance = 0.05;

AcGePoint3d ToWorld(AcDbDatabase* db, const Point3& ucs) {
    AcGePoint3d p(ucs.x, ucs.y, ucs.z);
    return p.transformBy(UcsToWorld(db));
}

// One reply to "Select objects:": a handle, a point, ALL or LAST.  Returns the entities it
// names (none when it names nothing; an explanation is printed).
std::vector<AcDbObjectId> Resolve(Session& s, AcDbDatabase* db, const std::string& reply) {
    if (strcasecmp(reply.c_str(), "ALL") == 0)
        return CurrentSpaceEntities(db);
    if (strcasecmp(reply.c_str(), "L") == 0 || strcasecmp(reply.c_str(), "LAST") == 0) {
        std::vector<AcDbObjectId> all = CurrentSpaceEntities(db);
        if (all.empty())
            return {};
        return {all.back()};
    }
    if (auto p = ParsePoint(reply, Point3{})) {
        if (auto id = EntityAt(db, ToWorld(db, *p), kPickTolerance))
            return {*id};
        return {};
    }
    if (auto id = EntityByHandle(db, reply))
        return {*id};
    s.reportFailure("\n*Invalid selection*  (a handle, a point, ALL or LAST)");
    return {};
}

void CmdSelect() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    Document* doc = Docs().current();
    if (!db || !doc)
        return;
    std::vector<AcDbObjectId> chosen;
    while (true) {
        InputItem item = s.ask("\nSelect objects: ");
        if (item.kind != InputItem::Text)
            return; // a cancelled selection leaves the previous one
        if (item.text.empty())
            break;
        std::size_t before = chosen.size();
        for (const AcDbObjectId& id : Resolve(s, db, item.text))
            if (std::find(chosen.begin(), chosen.end(), id) == chosen.end())
                chosen.push_back(id);
        s.cmdline.print("\n" + std::to_string(chosen.size() - before) + " found, " +
                        std::to_string(chosen.size()) + " total");
    }
    doc->pickfirst() = chosen;
}

// The entity's main point: where a double-click given by handle is taken to be.
AcGePoint3d PointOf(const AcDbObjectId& id) {
    AcDbEntity* entity = nullptr;
    AcGePoint3d p;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
        return p;
    AcGePoint3dArray grips;
    AcDbIntArray modes, ids;
    if (entity->getGripPoints(grips, modes, ids) == Acad::eOk && grips.length() > 0)
        p = grips.at(0);
    entity->close();
    return p;
}

// A double-click: the entity under the cursor becomes the pickfirst selection, the editor
// reactors hear of it, then the host does its own double-click action (for an MText, the
// text edit).  Reactors run outside any command lock, as they do for a real click.
void CmdDblClick() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    Document* doc = Docs().current();
    if (!db || !doc)
        return;
    InputItem item = s.ask("\nDouble-click at (handle or point): ");
    if (item.kind != InputItem::Text || item.text.empty())
        return;
    std::optional<AcDbObjectId> hit;
    AcGePoint3d clicked;
    if (auto p = ParsePoint(item.text, Point3{})) {
        clicked = ToWorld(db, *p);
        hit = EntityAt(db, clicked, kPickTolerance);
    } else if ((hit = EntityByHandle(db, item.text))) {
        clicked = PointOf(*hit);
    } else {
        s.reportFailure("\nNo entity with handle " + item.text + ".");
        return;
    }
    doc->pickfirst().clear();
    if (hit)
        doc->pickfirst().push_back(*hit);
    s.editor.notify([&](AcEditorReactor* r) { r->beginDoubleClick(clicked); });
    auto enabled = s.sysvars.get("DBLCLKEDIT");
    if (!hit || !Docs().find(doc) || (enabled && std::get<int>(*enabled) == 0))
        return;
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, *hit, AcDb::kForRead) != Acad::eOk)
        return;
    bool isMText = AcDbMText::cast(entity) != nullptr;
    entity->close();
    if (isMText)
        EditMTextInteractively(s, *doc, *hit);
}

std::string XdataText(const resbuf* rb) {
    std::string out;
    for (; rb; rb = rb->rbnext) {
        out += "\n    " + std::to_string(rb->restype) + "  ";
        if (acutRbTypeIsString(rb->restype))
            out += rb->resval.rstring ? rb->resval.rstring : "";
        else if (acutRbTypeIsPoint(rb->restype))
            out += db::ListReal(rb->resval.rpoint[0]) + "," + db::ListReal(rb->resval.rpoint[1]) +
                   "," + db::ListReal(rb->resval.rpoint[2]);
        else if (rb->restype == 1070)
            out += std::to_string(rb->resval.rint);
        else if (rb->restype == 1071)
            out += std::to_string(rb->resval.rlong);
        else if (rb->restype >= 1040 && rb->restype <= 1042)
            out += db::ListReal(rb->resval.rreal);
    }
    return out;
}

void ListEntity(Session& s, const AcDbObjectId& id) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
        return;
    entity->list();
    if (resbuf* xdata = entity->xData()) {
        s.cmdline.print("\n  Extended data:" + XdataText(xdata));
        acutRelRb(xdata);
    }
    entity->close();
}

void CmdList() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    Document* doc = Docs().current();
    if (!db || !doc)
        return;
    // Texts erased since they were selected (a rebuild replaced them) are no longer selected.
    std::erase_if(doc->pickfirst(), [](const AcDbObjectId& id) { return id.isErased(); });
    std::vector<AcDbObjectId> ids = doc->pickfirst();
    if (ids.empty()) {
        while (true) {
            InputItem item = s.ask("\nSelect objects: ");
            if (item.kind != InputItem::Text)
                return;
            if (item.text.empty())
                break;
            for (const AcDbObjectId& id : Resolve(s, db, item.text))
                ids.push_back(id);
        }
    }
    for (const AcDbObjectId& id : ids)
        if (!id.isErased())
            ListEntity(s, id);
}

} // namespace

void RegisterSelectionCommands(CommandStack& stack) {
    AddHostCommand(stack, "SELECT", CmdSelect);
    AddHostCommand(stack, "DBLCLICK", CmdDblClick, ACRX_CMD_MODAL | ACRX_CMD_NOINTERNALLOCK);
    AddHostCommand(stack, "LIST", CmdList);
}

} // namespace cadhost::editor
