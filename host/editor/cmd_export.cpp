// EXPORT: a picture of the current space, as SVG or (through rsvg-convert) PNG, drawn with the
// same line layout that measures the texts.
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "editor/documents.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/mtextgeometry.h"
#include "editor/session.h"
#include "text/pngexport.h"
#include "text/svgexport.h"

#include "win/paths.h"

#include <strings.h>

#include <cstdio>
#include <fstream>

namespace cadhost::editor {

namespace {

text::Vec3 V(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }

std::vector<text::DrawingItem> ItemsOf(AcDbDatabase* db) {
    std::vector<text::DrawingItem> items;
    for (const AcDbObjectId& id : CurrentSpaceEntities(db)) {
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
            continue;
        text::DrawingItem item;
        item.colorIndex = entity->colorIndex();
        item.handle = HandleText(id);
        bool known = true;
        if (auto* m = AcDbMText::cast(entity)) {
            item.kind = text::DrawingItem::Kind::MText;
            item.placement = PlacementOf(*m);
            item.textHeight = m->textHeight();
            item.contents = ContentsOf(*m);
        } else if (auto* l = AcDbLine::cast(entity)) {
            item.kind = text::DrawingItem::Kind::Line;
            item.start = V(l->startPoint());
            item.end = V(l->endPoint());
        } else if (auto* c = AcDbCircle::cast(entity)) {
            item.kind = text::DrawingItem::Kind::Circle;
            item.start = V(c->center());
            item.radius = c->radius();
            AcGeVector3d n = c->normal();
            item.normal = {n.x, n.y, n.z};
        } else {
            known = false; // a kind this host does not draw
        }
        entity->close();
        if (known)
            items.push_back(std::move(item));
    }
    return items;
}

bool EndsWith(const std::string& text, const char* tail) {
    std::size_t n = std::char_traits<char>::length(tail);
    return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, tail) == 0;
}

void CmdExport() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    Document* doc = Docs().current();
    if (!db || !doc)
        return;
    std::string title = doc->docTitle();
    InputItem reply = s.ask("\nEnter picture file name (.svg or .png) <" + title + ".svg>: ");
    if (reply.kind != InputItem::Text)
        return;
    std::string name = reply.text.empty() ? title + ".svg" : reply.text;
    std::string svg = text::ExportSvg(ItemsOf(db));
    std::string hostPath = win::ToHostPath(name);
    if (EndsWith(name, ".png")) {
        std::string error;
        if (!text::SvgToPng(svg, hostPath, error)) {
            s.cmdline.print("\nCannot write " + name + ": " + error);
            return;
        }
    } else {
        std::string temporary = hostPath + ".part";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << svg;
            if (!out.flush()) {
                s.cmdline.print("\nCannot write " + name + ".");
                std::remove(temporary.c_str());
                return;
            }
        }
        if (std::rename(temporary.c_str(), hostPath.c_str()) != 0) {
            s.cmdline.print("\nCannot write " + name + ".");
            std::remove(temporary.c_str());
            return;
        }
    }
    s.cmdline.print("\nPicture written to " + name + ".");
}

} // namespace

void RegisterExportCommands(CommandStack& stack) { AddHostCommand(stack, "EXPORT", CmdExport); }

} // namespace cadhost::editor
