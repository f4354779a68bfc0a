#include "resources.h"

namespace scrivel {
namespace {

// The application-identity entries, written in the registrar's script language; the registrar
// puts the AppID in for %APPID% when it runs the script.
constexpr std::string_view kRegistrarScript = R"(HKCR
{
	NoRemove AppID
	{
		'%APPID%' = s 'Scrivel'
		'Scrivel.EXE'
		{
			val AppID = s '%APPID%'
		}
	}
}
)";

constexpr TypeLibraryResource kTypeLibrary{
    "ScrivelLib", kLibId, 1, 0, 1033, "Scrivel 1.0 Type Library", 0,
};

constexpr VersionResource kVersion{
    {1, 0, 0, 1},
    {1, 0, 0, 1},
    0x0409,
    1200,
    {{
        {"FileDescription", "Scrivel"},
        {"FileVersion", "1.0.0.1"},
        {"InternalName", "Scrivel.exe"},
        {"OriginalFilename", "Scrivel.exe"},
        {"ProductName", "Scrivel"},
        {"ProductVersion", "1.0.0.1"},
        // Its presence tells installers that the program registers itself.
        {"OLESelfRegister", ""},
    }},
};

} // namespace

std::optional<std::string_view> FindRegistrarScript(int id) {
    if (id == kRegistrarScriptId)
        return kRegistrarScript;
    return std::nullopt;
}

const TypeLibraryResource* FindTypeLibrary(int id) {
    return id == kTypeLibraryId ? &kTypeLibrary : nullptr;
}

std::optional<std::string_view> LoadStringResource(UINT id) {
    if (id == kProjectNameId)
        return std::string_view("Scrivel");
    return std::nullopt;
}

std::optional<std::string_view> VersionResource::Value(std::string_view key) const {
    for (const auto& [name, value] : strings) {
        if (name == key)
            return value;
    }
    return std::nullopt;
}

const VersionResource* FindVersionResource(int id) {
    return id == kVersionInfoId ? &kVersion : nullptr;
}

} // namespace scrivel
