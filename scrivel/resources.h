// The resources embedded in Scrivel, found by type and id as a program finds its own.
#pragma once

#include "win/types.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace scrivel {

// The program's fixed identities.  Nothing outside this program refers to them.
inline constexpr std::string_view kAppId = "{1940C2FD-3E43-498D-832E-69EDC208B8D7}";
inline constexpr std::string_view kLibId = "{7AA8C6EA-BB4B-413D-9B65-C91DF4AD3156}";

inline constexpr int kRegistrarScriptId = 101; // type "REGISTRY"
inline constexpr int kTypeLibraryId = 1;       // type "TYPELIB"
inline constexpr UINT kProjectNameId = 100;    // string table
inline constexpr int kVersionInfoId = 1;       // version block

// The registrar script of a resource of type "REGISTRY"; std::nullopt when there is none.
std::optional<std::string_view> FindRegistrarScript(int id);

// A type library: its identity and help text, and the types it describes (this program's
// describes none).
struct TypeLibraryResource {
    std::string_view name;
    std::string_view libId;
    WORD majorVersion;
    WORD minorVersion;
    DWORD lcid;
    std::string_view helpString;
    std::size_t typeCount;
};
const TypeLibraryResource* FindTypeLibrary(int id);

// A string of the string table.
std::optional<std::string_view> LoadStringResource(UINT id);

// The version block: the fixed version numbers and the strings of its one language block.
struct VersionResource {
    std::array<WORD, 4> fileVersion;
    std::array<WORD, 4> productVersion;
    WORD language; // of the string block
    WORD codePage;
    std::array<std::pair<std::string_view, std::string_view>, 7> strings;

    // The string of that name (case-sensitive, as version keys are), std::nullopt when absent.
    std::optional<std::string_view> Value(std::string_view key) const;
};
const VersionResource* FindVersionResource(int id);

} // namespace scrivel
