// What entities show when they are listed (LIST): numbers and points in the host's format,
// shown through the host application services.
#pragma once

#include "arx/ge.h"

#include <string>

class AcDbEntity;
struct resbuf;

namespace cadhost::db {

// A real with four decimals.
std::string ListReal(double v);
// "X=...  Y=...  Z=..."
std::string ListPoint(const AcGePoint3d& p);
// Shows text where the host shows the database layer's text.
void Display(const std::string& text);
// Shows the first line of an entity's listing: its type, layer and handle.
void ListHeader(const AcDbEntity& entity, const char* type);

} // namespace cadhost::db
