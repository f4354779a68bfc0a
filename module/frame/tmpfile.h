// Unique temporary file names, and whole texts written to and read from files.
#pragma once

#include <string>

// A name for a new file in the user's temporary folder, "<folder>ksr<unique part><extension>".
// The file is neither created nor removed: temporary files stay in the temporary folder.
class CTmpFileName {
public:
    // The extension with its dot (".rtf").
    explicit CTmpFileName(const char* extension);

    const std::string& Path() const { return m_Path; }
    const std::string& Folder() const { return m_Folder; }
    const std::string& Extension() const { return m_Ext; }

private:
    std::string m_Path;   // the full path of the file; empty when no name could be made
    std::string m_Folder; // the temporary folder, ending with "\"
    std::string m_Ext;
};

// Creates or truncates the file and writes the text in text mode (each line feed becomes
// carriage return and line feed).  False after the user was shown the error.
bool saveToFile(const char* fileName, const std::string& text);

// Replaces the text with the whole text of the file, as the platform reads a text file into a
// narrow string: UTF-16 becomes UTF-8 and NUL bytes are left out, so that nothing after one is
// lost where the text is handed on as a C string.  False, with the text untouched and nothing
// shown, when the file is missing, empty or unreadable.
bool ReadWholeFile(const char* fileName, std::string& text);
