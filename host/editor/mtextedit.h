// The host's own edit of an MText after a double-click: with MTEXTED naming a program, the
// contents go to a text file, the program edits it and the host waits for it to end, then
// takes the file back; with the internal editor ("Internal" or "."), the new contents are
// asked for on the command line.
#pragma once

#include "arx/dbid.h"

namespace cadhost::editor {

class Document;
struct Session;

void EditMTextInteractively(Session& session, Document& doc, const AcDbObjectId& id);

} // namespace cadhost::editor
