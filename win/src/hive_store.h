// One hive file on disk and its parsed, cached form.
//
// Readers use the cache, re-reading the file only when its identity (device, inode, size and
// times to the nanosecond) changed.  Writers lock the file's ".lock" companion (flock, which
// works across processes), re-read the hive under that lock, apply their change and replace
// the file atomically.  The lock is taken for every change, the cache is never trusted for
// one, so two processes writing at the same time lose nothing.
#pragma once

#include "reg_hive.h"

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace win::detail {

class HiveStore {
public:
    HiveStore(std::string path, std::string rootName);

    // Brings the cache up to date.  ERROR_SUCCESS, or ERROR_REGISTRY_CORRUPT (the file cannot
    // be parsed) or ERROR_CANTREAD (it cannot be read); then the cached hive is empty.
    LONG Refresh();
    const Hive& Current() const { return m_hive; }
    // Last write time of the file (zero while there is none).
    FILETIME FileTime() const;

    // A change: edits the hive and says whether anything changed; a result other than
    // ERROR_SUCCESS must leave the hive untouched.
    using Change = std::function<LONG(Hive& hive, bool& changed)>;
    // Runs change on the freshly read hive under the lock and writes the result.  Returns the
    // change's error, ERROR_REGISTRY_CORRUPT / ERROR_CANTREAD for a hive that cannot be used,
    // or ERROR_CANTWRITE / ERROR_DISK_FULL when the lock could not be taken or the new file
    // could not be put in place; that is also said on standard error, once per process.
    LONG Modify(const Change& change);

    const std::string& Path() const { return m_path; }

private:
    struct Identity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long mtimeSeconds = 0, mtimeNanoseconds = 0;
        long long ctimeSeconds = 0, ctimeNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };

    static Identity IdentityOf(const struct stat& st);
    LONG WriteFile(const std::string& text);
    void ReportUnusable(const std::string& why);
    void ReportUnsaved(const std::string& why);

    std::string m_path;
    Hive m_hive;
    bool m_loaded = false;
    Identity m_identity;
    LONG m_state = 0;
};

// The store of the hive file at path, made on first use; lives for the process.
HiveStore& HiveAt(const std::string& path, const std::string& rootName);

} // namespace win::detail
