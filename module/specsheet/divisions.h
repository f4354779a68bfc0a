// The division catalogue: the headings a sheet is ordered by, each an MText content string
// inserted as a division's title, with the plain name the Divisions list shows for it.
//
// The module has one DivisionTable, shared by the sheet dialog and the sheet generator.
// CDivisionFile keeps it in DIVISIONS.TXT in the installation folder: it reads the file when
// it is made and writes the table back when it is destroyed.
#pragma once

#include "specsheet/divisiontext.h"

#include "win/stdfile.h"

#include <string>
#include <string_view>
#include <vector>

// The headings and their names, in catalogue order.  The two lists always have the same
// length, and no name is empty.
class DivisionTable {
public:
    int Count() const { return static_cast<int>(m_Headings.size()); }
    // The heading (MText content) and the name at an index; an empty text for an index out of
    // range.
    const std::string& Heading(int index) const;
    const std::string& Name(int index) const;

    // The index of the first division whose name the entry begins with (exact and
    // case-sensitive, at the start), or -1 when there is none.
    int FindPrefixOf(const std::string& entry) const;

    void Clear();
    // The eighteen built-in headings.
    void ResetToDefaults();
    // The headings of a catalogue file's text, one per line (see DivisionsFromLines).
    void ReplaceFromLines(std::string_view text);
    // The headings of the catalogue editor's text, each ending at its "}" (see
    // DivisionsFromItems).
    void ReplaceFromText(std::string_view text);
    // What the catalogue file holds for this table.
    std::string FileText() const { return DivisionFileText(m_Headings); }

private:
    std::vector<std::string> m_Headings; // MText content strings
    std::vector<std::string> m_Names;    // the plain text of each heading
};

// The module's table.  The module makes an empty one when it is loaded into the process and
// removes it when it is unloaded; a caller that runs without that (a unit test) gets one made
// on first use.
DivisionTable& TheDivisionTable();
// Called from DllMain: a new, empty table on attach; none on detach.
void CreateDivisionTable();
void DestroyDivisionTable();

// The key under HKEY_LOCAL_MACHINE whose "location" value is the installation folder.
inline constexpr const char* INSTALL_KEY = "Software\\Kestrune\\VIZUDaro";
// The catalogue file's name in the installation folder.
inline constexpr const char* DIVISION_FILE_NAME = "DIVISIONS.TXT";

// The catalogue file.  Making one loads the module's table from the file, destroying it
// saves the table back: the sheet dialog holds one for as long as it is open.
class CDivisionFile : public CStdioFile {
public:
    CDivisionFile();
    ~CDivisionFile() override;

    // Starts from the built-in headings and, when the installation folder is known and the
    // file can be opened, replaces them with the file's headings (all of them: a file without
    // headings gives an empty table).  Nothing is reported.  True when the file was read.
    bool Load();
    // Writes the table to a new file beside the catalogue and renames it over the catalogue,
    // so a failure at any point leaves the old file as it was; the failure is then printed on
    // the command line.  Does nothing when the installation folder is unknown.  False only
    // after a failure.
    bool Save();

    // The built-in headings replace the table.
    void ResetToDefaults();
    // The catalogue editor's text replaces the table (see DivisionTable::ReplaceFromText).
    void ReplaceFromText(const std::string& text);

    // The full path of the catalogue file; empty when the installation folder is unknown.
    std::string m_Path;
};
