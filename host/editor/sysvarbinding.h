// The system variables that stand for the current drawing (DWGNAME, UCSORG, TILEMODE, ...):
// read from it, and TILEMODE changing it.
#pragma once

namespace cadhost::editor {

struct Session;

void BindDrawingVariables(Session& session);

} // namespace cadhost::editor
