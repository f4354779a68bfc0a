// Filing one object to and from its tags, shared by the reader and the writer.
#pragma once

#include "db/dxf/tags.h"

#include <span>
#include <string>
#include <string_view>

class AcDbObject;
class AcDbDatabase;

namespace cadhost::db::dxf {

// The tags an object files out: its fields, then its extended data.  The object must be
// open for read.
Tags FileOutTags(const AcDbObject& object, AcDbDatabase* db);
// The same laid out as AppendTags does, in place of what layout held.
void FileOutLayout(const AcDbObject& object, AcDbDatabase* db, std::string& layout);

// The owner handle of an object's tags: the first 330 outside a 102 group ("" if none).
std::string OwnerHandleOf(const Tags& tags);
std::string OwnerHandleOf(std::span<const TagView> tags);
// The group of the handle of an object of a DXF type: 5, or 105 for dimension styles.
inline int HandleCode(std::string_view type) {
    return type == "DIMSTYLE" ? 105 : 5;
}
// The handle of an object's tags: its HandleCode group before the first subclass marker;
// "" if none.
std::string HandleOf(const Tags& tags, const std::string& type);
std::string HandleOf(std::span<const TagView> tags, const std::string& type);

} // namespace cadhost::db::dxf
