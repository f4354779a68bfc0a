// MTEXT: a multiline text in a box given by two corners, with its contents typed (MText codes
// allowed) or imported from a Rich Text or text file.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "editor/drawing.h"
#include "editor/hostcommands.h"
#include "editor/session.h"
#include "editor/wholefile.h"

#include "win/paths.h"

#include <strings.h>

#include <cmath>

namespace cadhost::editor {

namespace {

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
    auto* mtext = new AcDbMText;
    mtext->setDatabaseDefaults(db);
    mtext->setLocation(AcGePoint3d(first[0], first[1], first[2]));
    mtext->setWidth(std::fabs(second[0] - first[0]));
    if (auto height = s.sysvars.get("TEXTSIZE"))
        mtext->setTextHeight(std::get<double>(*height));
    if (strcasecmp(reply.text.c_str(), "I") == 0 || strcasecmp(reply.text.c_str(), "Import") == 0) {
        InputItem file = s.ask("\nFile to import (.rtf or .txt): ");
        std::string bytes;
        if (file.kind != InputItem::Text || file.text.empty()) {
            delete mtext;
            return;
        }
        if (!ReadWholeFile(win::ToHostPath(file.text), bytes)) {
            s.reportFailure("\nCannot read " + file.text + ".");
            delete mtext;
            return;
        }
        mtext->setContentsRTF(bytes.c_str());
    } else {
        mtext->setContents(reply.text.c_str());
    }
    mtext->transformBy(UcsToWorld(db));
    AcDbObjectId id;
    if (!AppendToCurrentSpace(db, mtext, &id))
        s.reportFailure("\nThe text could not be added to the drawing.");
}

} // namespace

void RegisterMTextCommands(CommandStack& stack) {
    AddHostCommand(stack, "MTEXT", CmdMText);
}

} // namespace cadhost::editor
