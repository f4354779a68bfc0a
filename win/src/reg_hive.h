// The in-memory form of one registry hive: a tree of keys holding typed values.
#pragma once

#include "win/types.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace win::detail {

// Names are compared by this folded form (ASCII letters lower-cased).
std::string FoldName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

// Names the registry accepts: keys 1-255 bytes without "\" or control characters, values
// up to 16383 bytes without control characters (tab allowed in both).
bool IsValidKeyName(std::string_view name);
bool IsValidValueName(std::string_view name);

struct RegValue {
    std::string name; // "" is the default value
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegKey {
public:
    explicit RegKey(std::string name = {}) : m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }

    const std::vector<RegValue>& Values() const { return m_values; }
    const RegValue* FindValue(std::string_view name) const;
    // Replaces the value of that name (keeping its place and spelling) or appends a new one.
    // Returns false when nothing changed (same type and data already stored).
    bool SetValue(std::string_view name, DWORD type, std::vector<BYTE> data);
    bool RemoveValue(std::string_view name);

    // Subkeys in the order of their folded names.
    const std::map<std::string, std::unique_ptr<RegKey>>& Subkeys() const { return m_subkeys; }
    RegKey* FindSubkey(std::string_view name) const;
    // The subkey of that name, created when missing.
    RegKey& AddSubkey(std::string_view name);
    bool RemoveSubkey(std::string_view name);
    void Clear();

private:
    std::string m_name;
    std::vector<RegValue> m_values;
    std::map<std::string, std::unique_ptr<RegKey>> m_subkeys;
};

struct Hive {
    // The root key's name as sections spell it, e.g. "HKEY_CURRENT_USER".  When empty before
    // parsing, the first section of the file decides it.
    std::string rootName;
    RegKey root;
};

// The key at path below from (each element one key name), or null.
RegKey* FindKey(const RegKey& from, const std::vector<std::string>& path);

} // namespace win::detail
