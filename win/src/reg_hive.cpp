#include "reg_hive.h"

#include <algorithm>

namespace win::detail {

namespace {

char FoldChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    });
}

} // namespace

std::string FoldName(std::string_view name) {
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), FoldChar);
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldChar(x) == FoldChar(y);
           });
}

bool IsValidKeyName(std::string_view name) {
    return !name.empty() && name.size() <= 255 && name.find('\\') == std::string_view::npos &&
           !HasControlCharacter(name);
}

bool IsValidValueName(std::string_view name) {
    return name.size() <= 16383 && !HasControlCharacter(name);
}

const RegValue* RegKey::FindValue(std::string_view name) const {
    for (const RegValue& value : m_values)
        if (SameName(value.name, name))
            return &value;
    return nullptr;
}

bool RegKey::SetValue(std::string_view name, DWORD type, std::vector<BYTE> data) {
    for (RegValue& value : m_values) {
        if (!SameName(value.name, name))
            continue;
        if (value.type == type && value.data == data)
            return false;
        value.type = type;
        value.data = std::move(data);
        return true;
    }
    m_values.push_back(RegValue{std::string(name), type, std::move(data)});
    return true;
}

bool RegKey::RemoveValue(std::string_view name) {
    auto found = std::find_if(m_values.begin(), m_values.end(),
                              [&](const RegValue& value) { return SameName(value.name, name); });
    if (found == m_values.end())
        return false;
    m_values.erase(found);
    return true;
}

RegKey* RegKey::FindSubkey(std::string_view name) const {
    auto found = m_subkeys.find(FoldName(name));
    return found == m_subkeys.end() ? nullptr : found->second.get();
}

RegKey& RegKey::AddSubkey(std::string_view name) {
    std::unique_ptr<RegKey>& slot = m_subkeys[FoldName(name)];
    if (!slot)
        slot = std::make_unique<RegKey>(std::string(name));
    return *slot;
}

bool RegKey::RemoveSubkey(std::string_view name) {
    return m_subkeys.erase(FoldName(name)) > 0;
}

void RegKey::Clear() {
    m_values.clear();
    m_subkeys.clear();
}

RegKey* FindKey(const RegKey& from, const std::vector<std::string>& path) {
    const RegKey* key = &from;
    for (const std::string& name : path) {
        key = key->FindSubkey(name);
        if (!key)
            return nullptr;
    }
    return const_cast<RegKey*>(key);
}

} // namespace win::detail
