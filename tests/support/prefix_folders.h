// Fresh folders for one test or benchmark run: a prefix (registry hives and drive C:) and a
// temporary folder, which CADHOST_PREFIX and TMPDIR name until the object goes; then both
// variables are as they were and the folders are removed.
#pragma once

#include "temp_folder.h"

#include <optional>
#include <string>

namespace rivlet_test {

class PrefixFolders {
public:
    explicit PrefixFolders(const std::string& stem = "rivlet");
    ~PrefixFolders();
    PrefixFolders(const PrefixFolders&) = delete;
    PrefixFolders& operator=(const PrefixFolders&) = delete;

    const std::string& Root() const { return m_root.path(); }
    std::string Prefix() const { return m_root / "prefix"; }
    std::string Tmp() const { return m_root / "tmp"; }
    std::string DriveC() const { return Prefix() + "/drive_c"; }

private:
    TempFolder m_root;
    std::optional<std::string> m_oldPrefix, m_oldTmp;
};

} // namespace rivlet_test
