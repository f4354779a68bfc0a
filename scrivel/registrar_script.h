// The registrar's script language: registry keys and values to add when a program registers
// and remove when it unregisters.
//
//   HKCR                                  a root: HKCR, HKCU, HKLM (or their long names)
//   {
//       NoRemove AppID                    a key; NoRemove: never removed by unregistration
//       {
//           '%APPID%' = s 'Scrivel'       a key with its default value (s: text, d: number)
//           ForceRemove 'Name'            removed with everything below it before it is added
//           {
//               val AppID = s '%APPID%'   a named value of the enclosing key
//               val Count = d '42'        a number, decimal or 0x hexadecimal
//           }
//           Delete 'Old'                  removed (with everything below it) on registration
//       }
//   }
//
// Names and texts are quoted with apostrophes ('' stands for one apostrophe) or written bare.
// Keywords and value types are recognised in any letter case, and only bare.  %NAME% is
// replaced by the value the caller supplies for NAME, and %% by %.  Replacement happens inside
// the names and texts after the script has been read, so a replaced value (a path with an
// apostrophe in it, say) cannot change the script's structure.
#pragma once

#include "win/registry.h"
#include "win/types.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivel {

// The result of a script that cannot be read, as the registrar reports it.
inline constexpr HRESULT kScriptSyntaxError = static_cast<HRESULT>(0x80020009u);

struct RegistrarValue {
    DWORD type = REG_SZ; // REG_SZ or REG_DWORD
    std::string text;
    DWORD number = 0;
};

struct RegistrarEntry {
    enum class Kind { Key, Value, Delete };
    Kind kind = Kind::Key;
    std::string name;
    bool noRemove = false;
    bool forceRemove = false;
    std::optional<RegistrarValue> value; // a key's default value, or a named value
    std::vector<RegistrarEntry> children;
};

struct RegistrarRoot {
    HKEY hive = nullptr;
    std::string hiveName; // as written
    std::vector<RegistrarEntry> entries;
};

struct RegistrarScript {
    std::vector<RegistrarRoot> roots;
};

// Placeholder names are matched without regard to case.
using Replacements = std::map<std::string, std::string>;

// Reads a script and applies the replacements.  On failure returns std::nullopt and, when
// error is given, a message with the line it concerns.
std::optional<RegistrarScript>
ParseRegistrarScript(std::string_view text, const Replacements& replacements, std::string* error);

} // namespace scrivel
