// MTEXT: a multiline text in a box given by two corners, with its contents typed (MText codes
// allowed) or imported from a Rich Text or text file.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/session.h"
#include "editor/wholefile.h"
#include "text/rtfconvert.h"
#include "text/textbytes.h"

#include "win/paths.h"

#include <strings.h>

#include <cmath>
#include <filesystem>
#include <system_error>

namespace cadhost::editor {

namespace {

// Asks for the file to import and reads it: the Rich Text or text it holds, in bytes the
// entity's translation takes whole (see TextBytesWithoutNul).  False, with one line that says
// why, for a folder, a file that cannot be read and a file that is no text.
bool ReadImportFile(Session& s, std::string& rtf) {
    InputItem file = s.ask("\nFile to import (.rtf or .txt): ");
    if (file.kind != InputItem::Text || file.text.empty())
        return false;
    std::string hostPath = win::ToHostPath(file.text);
    std::error_code error;
    if (std::filesystem::is_directory(hostPath, error)) {
        s.cmdline.print("\n" + file.text + " is a folder, not a text file.");
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(hostPath, bytes)) {
        s.cmdline.print("\nCannot read " + file.text + ".");
        return false;
    }
    if (!text::IsTextDocument(bytes)) {
        s.cmdline.print("\n" + file.text + " is not a text or Rich Text file.");
        return false;
    }
    rtf = text::TextBytesWithoutNul(bytes);
    return true;
}

void CmdMText() {
    Session& s = *TheSession();
    AcDbDatabase* db = CurrentDatabase();
    if (!db)
        return;
    ads_point first, second;
    if (acedGetPoint(nullptr, "\nSpecify first corner: ", first) != RTNORM)
        return;
    if (acedGetCorner(first, "\nSpecify opposite corner: ", second) != RTNORM)
        return;
    InputItem reply = s.ask("\nEnter MText contents or [Import]: ");
    if (reply.kind != InputItem::Text || reply.text.empty())
        return;
    bool import =
        strcasecmp(reply.text.c_str(), "I") == 0 || strcasecmp(reply.text.c_str(), "Import") == 0;
    std::string rtf;
    if (import && !ReadImportFile(s, rtf))
        return;
    auto* mtext = new AcDbMText;
    mtext->setDatabaseDefaults(db);
    mtext->setLocation(AcGePoint3d(first[0], first[1], first[2]));
    mtext->setWidth(std::fabs(second[0] - first[0]));
    if (auto height = s.sysvars.get("TEXTSIZE"))
        mtext->setTextHeight(std::get<double>(*height));
    if (import)
        mtext->setContentsRTF(rtf.c_str());
    else
        mtext->setContents(reply.text.c_str());
    mtext->transformBy(UcsToWorld(db));
    AcDbObjectId id;
    if (!AppendToCurrentSpace(db, mtext, &id))
        s.cmdline.print("\nThe text could not be added to the drawing.");
}

} // namespace

void RegisterMTextCommands(CommandStack& stack) {
    AddHostCommand(stack, "MTEXT", CmdMText);
}

} // namespace cadhost::editor
