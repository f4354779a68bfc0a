// The inside of symbol tables and blocks, and the host's lookups that bypass the open
// protocol (used by the database layer itself, never by modules).
#pragma once

#include "arx/dbsymtb.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct AcDbSymbolTable::Impl {
    // Every record ever added, erased ones included, in the order added.
    std::vector<AcDbObjectId> records;
    // By folded name: the record that holds the name (a live one wins over an erased one).
    std::map<std::string, AcDbObjectId> byName;
};

struct AcDbBlockTableRecord::Impl {
    // Every entity appended, erased ones included, in the order appended.
    std::vector<AcDbObjectId> entities;
};

namespace cadhost::db {

// The record of the name in the table of tableId (an erased one only with getErased); null
// when absent.
AcDbObjectId FindSymbol(AcDbObjectId tableId, std::string_view name, bool getErased = false);
// The name of a record ("" when the id is no record).
std::string SymbolNameOf(AcDbObjectId recordId);
// Adds a record as AcDbSymbolTable::add does, whatever the table's open state (the database
// building its own tables).
Acad::ErrorStatus AddSymbol(AcDbSymbolTable& table, AcDbSymbolTableRecord* record,
                            AcDbObjectId& id);

} // namespace cadhost::db
