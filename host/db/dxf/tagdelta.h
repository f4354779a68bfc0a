// Tags told as the changes that make them out of other tags.  An object read from a file
// files out almost the tags it was read from: a few groups more or fewer, a reactor group
// the writer added.  Keeping what was read as its difference from what the object files
// out spares a second copy of texts both hold.
#pragma once

#include <string>
#include <string_view>

namespace cadhost::db::dxf {

// The changes that make the tags of `to` out of the tags of `from`, both laid out by
// AppendTags; empty when there is no shorter way than a copy of `to` (the caller keeps
// `to` itself then).
std::string TagDelta(std::string_view from, std::string_view to);
// Appends the tags the changes make out of `from` to out; false when the changes do not
// fit `from` (they were made from other tags).
bool ApplyTagDelta(std::string_view from, std::string_view delta, std::string& out);

} // namespace cadhost::db::dxf
