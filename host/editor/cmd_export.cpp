// EXPORT: a picture of the current space, as SVG or (through rsvg-convert) PNG, drawn with the
// same line layout that measures the texts.
#include "editor/documents.h"
#include "editor/drawing.h"
#include "editor/drawingitems.h"
#include "editor/hostcommands.h"
#include "editor/session.h"
#include "text/pngexport.h"
#include "text/svgexport.h"

#include "win/paths.h"

#include <strings.h>

#include <cstdio>
#include <fstream>

namespace cadhost::editor {

namespace {

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
    std::vector<text::DrawingItem> items = DrawingItemsOf(db);
    std::string hostPath = win::ToHostPath(name);
    if (EndsWith(name, ".png")) {
        // Drawn as its pixels show it, so that the picture of a huge text stays small.
        std::string svg = text::ExportSvg(items, text::PictureDetail::Pixels);
        std::string error;
        if (!text::SvgToPng(svg, hostPath, error)) {
            s.cmdline.print("\nCannot write " + name + ": " + error);
            return;
        }
    } else {
        // Written as it is made: the document of a large text is many times its size.
        std::string temporary = hostPath + ".part";
        bool written = false;
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            written = out && text::WriteSvg(items, out);
        }
        if (!written) {
            s.cmdline.print("\nCannot write " + name + ".");
            std::remove(temporary.c_str());
            return;
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

void RegisterExportCommands(CommandStack& stack) {
    AddHostCommand(stack, "EXPORT", CmdExport);
}

} // namespace cadhost::editor
