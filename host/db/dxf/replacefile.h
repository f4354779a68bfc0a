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
#include <string_view>

namespace cadhost::db::dxf {

// The file that writing to path reaches: path itself, or the file its symbolic links lead to
// (which need not exist yet).  A relative link is taken from the folder of the link.
std::string FileBehindLinks(const std::string& path);

// The name of the temporary files of a file named fileName (without folder) begin with this.
std::string TemporaryPrefix(const std::string& fileName);

// The new contents of the file at path, which may be a symbolic link: the link stays and the
// file behind it is replaced.  A file that exists keeps its permissions, and its owner and
// group where the process may set them; a new file gets the permissions of a new file.
// open() makes the locked temporary, write() adds to it (as often as needed, so that the
// contents need never be held whole), commit() puts the data on the disk, renames it over the
// file and removes the leftovers of earlier, killed saves of the same file.  A replacement
// that is not committed removes its temporary and leaves the file as it was.
class FileReplacement {
public:
    explicit FileReplacement(std::string path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // error: a few words.
    bool open(std::string& error);
    bool write(std::string_view bytes);
    // Why write() failed (errno), or 0.
    int writeError() const { return m_writeError; }
    bool commit(std::string& error);

private:
    void abandon();

    std::string m_path;
    std::string m_target;
    std::string m_prefix;
    std::string m_temp;
    int m_fd = -1;
    int m_writeError = 0;
};

} // namespace cadhost::db::dxf
