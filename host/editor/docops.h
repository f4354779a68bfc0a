// Opening and closing documents with what goes with it: modules hear of every drawing that
// opens (kLoadDwgMsg) and closes (kUnloadDwgMsg).
#pragma once

namespace cadhost::editor {

class Document;
struct Session;

Document* OpenNewDocument(Session& session);
void CloseDocument(Session& session, Document* doc);

} // namespace cadhost::editor
