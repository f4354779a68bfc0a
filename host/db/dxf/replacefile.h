// Replacing a file whole, so that no moment and no failure leaves it half written.
//
// The new contents go to a temporary file beside the file (the same folder, so the rename
// stays on one file system), named after it: ".NAME.save-XXXXXX".  The writer holds a lock
// on the temporary (flock) from its creation until it has been renamed over the file.  A save
// killed in the middle leaves its temporary behind; the next successful save of the same file
// removes such leftovers, but only those no running save holds locked, and never the files of
// another name.
#pragma once

#include <string>

namespace cadhost::db::dxf {

// The file that writing to path reaches: path itself, or the file its symbolic links lead to
// (which need not exist yet).  A relative link is taken from the folder of the link.
std::string FileBehindLinks(const std::string& path);

// The name of the temporary files of a file named fileName (without folder) begin with this.
std::string TemporaryPrefix(const std::string& fileName);

// Writes bytes as the new contents of the file at path, which may be a symbolic link: the
// link stays and the file behind it is replaced.  A file that exists keeps its permissions,
// and its owner and group where the process may set them; a new file gets the permissions
// of a new file.  The data reaches the disk before the rename.  Then the leftovers of
// earlier, killed saves of the same file are removed.  error: a few words.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& error);

} // namespace cadhost::db::dxf
