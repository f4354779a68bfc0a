#include "db/writegate.h"

namespace cadhost::db {

namespace {
WriteGate g_gate = nullptr;
} // namespace

WriteGate SetWriteGate(WriteGate gate) {
    WriteGate previous = g_gate;
    g_gate = gate;
    return previous;
}

bool WriteAllowed(const AcDbDatabase* db) {
    return !g_gate || g_gate(db);
}

} // namespace cadhost::db
