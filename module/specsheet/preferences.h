// The user's preferences, kept under HKEY_CURRENT_USER "Software\KSR\MTEXT\Preferences", and
// the two registry helpers that every registry access of the module goes through.
#pragma once

#include "win/registry.h"

#include <string>

// The key that holds the preferences under HKEY_CURRENT_USER.
inline constexpr const char* PREFERENCES_KEY = "Software\\KSR\\MTEXT\\Preferences";

// Reads a string (REG_SZ or REG_EXPAND_SZ, returned unexpanded) or REG_DWORD value (its four
// bytes taken as text) of an existing key; the empty value name reads the key's default value.
// The text receives the data up to the first zero byte.  On any failure (key or value missing,
// another type) the text is left exactly as it was and the result is false.  The key is never
// created.
bool ReadRegValue(HKEY root, const char* subKey, const char* valueName, std::string& text);

// Sets a REG_SZ value, creating the key and its missing parents.  False when the key cannot be
// opened or created or the value cannot be set.
bool WriteRegValue(HKEY root, const char* subKey, const char* valueName, const char* text);

// Base of the records that mirror registry data.
class CRegVal {
public:
    virtual ~CRegVal();
};

// The preferences record: it reads the registry when it is made and writes every value back
// when it is destroyed, so a caller only ever edits the fields.  Records are not shared; two
// records alive at once do not see each other's changes and the one destroyed last wins.
class CMtextVars : public CRegVal {
public:
    CMtextVars();
    ~CMtextVars() override;

    // Reads all preferences again; a value that cannot be read leaves its field as it was
    // (sizes fall back to their defaults).  Always true.
    bool Load();
    // Writes all preferences; write failures are ignored.  Always true.
    bool Save();

    std::string m_WordPad;   // full path of the WordPad program
    std::string m_RtfFolder; // folder whose Rich Text files the SheetSpec dialog lists
    double m_HSpacer;        // "Vertical Spacer" of the Sizes dialog
    double m_THeight;        // "Default Txt Height"
    double m_VHeight;        // "Division Txt Height"
    double m_Spacer;         // "Horizontal Spacer"
    std::string m_Generate;  // the sheet list, each entry followed by ";"
};
