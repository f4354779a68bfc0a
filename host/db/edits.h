// How often a drawing has changed, so that the editor can tell whether it has changes that
// were not saved: it keeps the count a drawing had when it was read or last saved.
//
// Every object added, changed (opened for write and told so by a setter's
// assertWriteEnabled), erased or unerased, an entry of a dictionary moved or removed, a
// command taken back, and every change of the drawing's own settings (the UCS, the current
// space, the current text style) counts one or more.  Reading and saving count too: the count
// to compare with is the one after them.
#pragma once

#include <cstdint>

class AcDbDatabase;

namespace cadhost::db {

std::uint64_t EditCount(const AcDbDatabase& db);
// The database layer's note of a change of the drawing.
void NoteEdit(const AcDbDatabase* db);

} // namespace cadhost::db
