// Who may change a drawing now.  The editor installs a gate that lets objects of a document's
// database be opened for write only while that document is locked, as the real host does; a
// database of no document, and every database while no gate is installed, may be written.
#pragma once

class AcDbDatabase;

namespace cadhost::db {

using WriteGate = bool (*)(const AcDbDatabase* db);

// Installs the gate (nullptr removes it) and returns the previous one.
WriteGate SetWriteGate(WriteGate gate);
bool WriteAllowed(const AcDbDatabase* db);

} // namespace cadhost::db
