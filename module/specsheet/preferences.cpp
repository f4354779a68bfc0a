#include "specsheet/preferences.h"

#include "win/environment.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const double DEFAULT_SPACER = 0.25;
const double DEFAULT_HSPACER = 0.5;
const double DEFAULT_THEIGHT = 0.25;
const double DEFAULT_VHEIGHT = 0.15;

const char* const WORDPAD_APP_PATH =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WORDPAD.EXE";

// A size as stored: text read as atof reads it.  Zero (which is also what a missing value, an
// empty text or a word gives) means "not set", so the default takes its place.
double ReadSize(const char* valueName, double defaultValue) {
    std::string text;
    ReadRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, valueName, text);
    double value = std::atof(text.c_str());
    return value == 0.0 ? defaultValue : value;
}

void WriteSize(const char* valueName, double value) {
    int length = std::snprintf(nullptr, 0, "%lf", value);
    if (length < 0)
        return;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), "%lf", value);
    WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, valueName, text.data());
}

// The value of an environment variable; empty when it is unset or empty.
std::string EnvironmentValue(const char* name) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length =
            GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length); // too small: length is the size needed, with the zero
    }
}

void ReplaceAll(std::string& text, const std::string& token, const std::string& replacement) {
    for (size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, at + replacement.size()))
        text.replace(at, token.size(), replacement);
}

// The App Paths entry of WordPad names it with "%ProgramFiles%" in place of the folder, often in
// double quotes; what the module starts must be a plain path.
void DiscoverWordPad(std::string& wordPad) {
    if (!ReadRegValue(HKEY_LOCAL_MACHINE, WORDPAD_APP_PATH, "", wordPad))
        return;
    std::string programFiles = EnvironmentValue("ProgramFiles");
    if (programFiles.empty())
        return;
    ReplaceAll(wordPad, "%ProgramFiles%", programFiles);
    std::erase(wordPad, '"');
}

} // namespace

bool ReadRegValue(HKEY root, const char* subKey, const char* valueName, std::string& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;

    // Ask for the size first and grow on ERROR_MORE_DATA, so a value of any length (a long
    // sheet list) is read whole; the extra zero ends data that was stored without one.
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    std::vector<BYTE> data;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        data.assign(static_cast<size_t>(size) + 1, 0);
        DWORD capacity = size;
        result = RegQueryValueExA(key, valueName, nullptr, &type, data.data(), &capacity);
        if (result == ERROR_SUCCESS) {
            size = capacity;
            break;
        }
        if (result == ERROR_MORE_DATA)
            size = capacity; // the value grew between the two calls
    }
    RegCloseKey(key);

    if (result != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_DWORD)
        return false;
    const char* bytes = reinterpret_cast<const char*>(data.data());
    text.assign(bytes, std::find(bytes, bytes + size, '\0'));
    return true;
}

bool WriteRegValue(HKEY root, const char* subKey, const char* valueName, const char* text) {
    if (!text)
        text = "";
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

CRegVal::~CRegVal() = default;

CMtextVars::CMtextVars()
    : m_HSpacer(DEFAULT_HSPACER), m_THeight(DEFAULT_THEIGHT), m_VHeight(DEFAULT_VHEIGHT),
      m_Spacer(DEFAULT_SPACER) {
    Load();
}

CMtextVars::~CMtextVars() {
    Save();
}

bool CMtextVars::Load() {
    m_Spacer = ReadSize("SPACER", DEFAULT_SPACER);
    m_HSpacer = ReadSize("HSPACER", DEFAULT_HSPACER);
    m_THeight = ReadSize("THEIGHT", DEFAULT_THEIGHT);
    m_VHeight = ReadSize("VHEIGHT", DEFAULT_VHEIGHT);

    ReadRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "RTFFOLDER", m_RtfFolder);
    ReadRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "GENERATE", m_Generate);

    // Once a path is stored (even an empty one) it is the user's choice and is kept.
    if (!ReadRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "WORDPAD", m_WordPad))
        DiscoverWordPad(m_WordPad);
    return true;
}

bool CMtextVars::Save() {
    WriteSize("SPACER", m_Spacer);
    WriteSize("HSPACER", m_HSpacer);
    WriteSize("THEIGHT", m_THeight);
    WriteSize("VHEIGHT", m_VHeight);

    WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "RTFFOLDER", m_RtfFolder.c_str());
    WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "GENERATE", m_Generate.c_str());

    // An empty path would overwrite a stored one with nothing; keep what is there.
    if (!m_WordPad.empty())
        WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "WORDPAD", m_WordPad.c_str());
    return true;
}
