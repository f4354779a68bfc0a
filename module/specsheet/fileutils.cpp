#include "specsheet/fileutils.h"

#include "win/fileapi.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

const char* const SEPARATORS = "\\/";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows compares file names without regard to the case of their letters.
bool EqualNoCase(const std::string& a, const std::string& b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The text from the first "." on, or empty when there is none.
std::string FromFirstDot(const std::string& name) {
    size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

// The text from the last "." on, or empty when there is none.
std::string FromLastDot(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

} // namespace

// ---- CPathParts --------------------------------------------------------------------------------

CPathParts::CPathParts(const char* path) : m_HasFolder(0) {
    SetPath(path);
}

void CPathParts::SetPath(const char* pathText) {
    if (!pathText || !*pathText)
        return;
    const std::string path = pathText;
    size_t lastSeparator = path.find_last_of(SEPARATORS);

    if (lastSeparator != std::string::npos) {
        m_HasFolder = 1;
        if (path.back() == '\\') {
            // A folder alone: it has no name or extension of its own.
            m_Folder = path.substr(0, path.size() - 1);
        } else {
            m_Name = path.substr(lastSeparator + 1);
            size_t dot = m_Name.rfind('.');
            if (dot == std::string::npos)
                m_Ext = m_Name;
            else if (dot + 1 < m_Name.size())
                m_Ext = m_Name.substr(dot + 1);
            if (lastSeparator > 0)
                m_Folder = path.substr(0, lastSeparator + 1);
        }
    } else {
        m_HasFolder = 0;
        m_Name = path;
        // A leading dot marks a name without extension (".profile").
        if (path.find('.') != 0) {
            size_t dot = path.rfind('.');
            m_Ext = dot == std::string::npos ? path : path.substr(dot + 1);
        }
    }
    m_FullPath = path;
}

bool CPathParts::Exists(DWORD* size, FILETIME* writeTime) const {
    // A search pattern would find some other file; such a name cannot exist.
    if (m_Name.find_first_of("*?") != std::string::npos)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_Folder + m_Name).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    if (size)
        *size = found.nFileSizeLow;
    if (writeTime)
        *writeTime = found.ftLastWriteTime;
    return true;
}

bool CPathParts::ChangeExtension(const char* newExtension) {
    size_t dot = m_Name.rfind('.');
    if (dot == std::string::npos)
        return false;
    m_Name.erase(dot);
    if (newExtension) {
        m_Ext = newExtension;
        m_FullPath = m_Folder + m_Name + "." + m_Ext;
        m_Name += "." + m_Ext;
    }
    return true;
}

// ---- CFileSearch -------------------------------------------------------------------------------

int CFileSearch::FindFiles(const char* pattern, bool allowDuplicates) {
    if (!pattern)
        return static_cast<int>(m_Files.GetSize());
    const std::string wanted = FromFirstDot(pattern);

    for (int f = 0; f < m_Folders.GetSize(); ++f) {
        std::string folder = m_Folders[f];
        // An unset folder would list the root of the drive, which the user never chose.
        if (folder.empty())
            continue;
        if (!IsSeparator(folder.back()))
            folder += '\\';

        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        std::vector<CFileDat> inFolder;
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM))
                continue;
            const std::string name = found.cFileName;
            const std::string fullPath = folder + name;
            if (!allowDuplicates) {
                bool listed = false;
                for (int i = 0; i < m_Files.GetSize() && !listed; ++i)
                    listed = EqualNoCase(m_Files[i].m_FullPath, fullPath);
                if (listed)
                    continue;
            }
            // On Windows the pattern also matches "x.rtfx" through its short name: only names
            // whose extension (after their last ".") is the wanted one are listed.  Names with
            // more dots ("Report.rev2.doc") are listed by their last extension.
            if (wanted.empty() || !EqualNoCase(FromLastDot(name), wanted))
                continue;

            CFileDat file;
            file.m_FullPath = fullPath;
            file.m_Folder = fullPath.substr(0, fullPath.find_last_of(SEPARATORS) + 1);
            file.m_Name = name;
            file.m_Ext = name.substr(name.rfind('.') + 1);
            file.m_Time = found.ftLastWriteTime;
            file.m_Size = found.nFileSizeLow;
            inFolder.push_back(file);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        // A folder's files by name, as a user finds them best (the file system's own order
        // is whatever its directory holds).
        std::stable_sort(
            inFolder.begin(), inFolder.end(), [](const CFileDat& a, const CFileDat& b) {
                return std::lexicographical_compare(a.m_Name.begin(), a.m_Name.end(),
                                                    b.m_Name.begin(), b.m_Name.end(),
                                                    [](unsigned char x, unsigned char y) {
                                                        return std::tolower(x) < std::tolower(y);
                                                    });
            });
        for (const CFileDat& file : inFolder)
            m_Files.Add(file);
    }
    return static_cast<int>(m_Files.GetSize());
}
