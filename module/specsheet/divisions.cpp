#include "specsheet/divisions.h"

#include "arx/editor.h"
#include "specsheet/preferences.h"

#include "win/fileapi.h"
#include "win/process.h"

#include <exception>
#include <memory>

namespace {

std::unique_ptr<DivisionTable> g_pDivisionTable;

const std::string& TextAt(const std::vector<std::string>& list, int index) {
    static const std::string none;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size())
        return none;
    return list[static_cast<std::size_t>(index)];
}

// The platform's words for a failed file operation, naming the catalogue file whichever file
// of the save it happened to: the user knows that one.
std::string ReasonOf(const CFileException& error, const std::string& path) {
    CFileException named(error.m_cause, error.m_lOsError, path.c_str());
    return named.ErrorText();
}

std::string ReasonOfLastError(const std::string& path) {
    LONG error = static_cast<LONG>(GetLastError());
    return ReasonOf(CFileException(CFileException::OsErrorToException(error), error), path);
}

} // namespace

const std::string& DivisionTable::Heading(int index) const {
    return TextAt(m_Headings, index);
}

const std::string& DivisionTable::Name(int index) const {
    return TextAt(m_Names, index);
}

int DivisionTable::FindPrefixOf(const std::string& entry) const {
    return FindDivisionPrefix(m_Names, entry);
}

void DivisionTable::Clear() {
    m_Headings.clear();
    m_Names.clear();
}

void DivisionTable::ResetToDefaults() {
    DefaultDivisions(m_Headings, m_Names);
}

void DivisionTable::ReplaceFromLines(std::string_view text) {
    DivisionsFromLines(text, m_Headings, m_Names);
}

void DivisionTable::ReplaceFromText(std::string_view text) {
    DivisionsFromItems(text, m_Headings, m_Names);
}

DivisionTable& TheDivisionTable() {
    if (!g_pDivisionTable)
        g_pDivisionTable = std::make_unique<DivisionTable>();
    return *g_pDivisionTable;
}

void CreateDivisionTable() {
    g_pDivisionTable = std::make_unique<DivisionTable>();
}

void DestroyDivisionTable() {
    g_pDivisionTable.reset();
}

CDivisionFile::CDivisionFile() {
    Load();
}

CDivisionFile::~CDivisionFile() {
    Save();
}

bool CDivisionFile::Load() {
    DivisionTable& table = TheDivisionTable();
    table.ResetToDefaults();
    m_Path.clear();
    if (!ReadRegValue(HKEY_LOCAL_MACHINE, INSTALL_KEY, "location", m_Path))
        return false;
    m_Path += DIVISION_FILE_NAME;

    if (!Open(m_Path.c_str(), modeRead | shareDenyWrite | typeText))
        return false;
    // Read whole before anything is replaced: a file that fails halfway leaves the defaults.
    std::string text;
    try {
        char buffer[4096];
        while (UINT got = Read(buffer, sizeof buffer))
            text.append(buffer, got);
        Close();
    } catch (CFileException* e) {
        e->Delete();
        Abort();
        return false;
    }
    table.ReplaceFromLines(text);
    return true;
}

bool CDivisionFile::Save() {
    if (m_Path.empty())
        return true;

    // The new catalogue is written completely beside the old one and only then renamed over
    // it, so the old file stays whole until the new one is on the disk.
    const std::string temporary = m_Path + "." + std::to_string(GetCurrentProcessId()) + ".new";
    std::string reason;
    try {
        CFileException error;
        if (!Open(temporary.c_str(), modeCreate | modeWrite | shareExclusive | typeText, &error)) {
            reason = ReasonOf(error, m_Path);
        } else {
            WriteString(TheDivisionTable().FileText());
            Flush();
            Close();
            if (!MoveFileExA(temporary.c_str(), m_Path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                reason = ReasonOfLastError(m_Path);
        }
    } catch (CFileException* e) {
        reason = ReasonOf(*e, m_Path);
        e->Delete();
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (reason.empty())
        return true;

    Abort();
    DeleteFileA(temporary.c_str());
    acutPrintf("\nThe division catalogue could not be saved to %s: %s", m_Path.c_str(),
               reason.c_str());
    return false;
}

void CDivisionFile::ResetToDefaults() {
    TheDivisionTable().ResetToDefaults();
}

void CDivisionFile::ReplaceFromText(const std::string& text) {
    TheDivisionTable().ReplaceFromText(text);
}
