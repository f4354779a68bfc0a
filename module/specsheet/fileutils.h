// File names split into their parts, and the listing of the files of given extensions in a set
// of folders.  Both "\" and "/" separate folders.
#pragma once

#include "win/collections.h"
#include "win/types.h"

#include <string>

// A path split into folder, name and extension.  Parts that a path does not have keep what
// they held before, so a fresh object is the clean case.
class CPathParts {
public:
    explicit CPathParts(const char* path);

    void SetPath(const char* path);
    // Whether the file m_Folder + m_Name exists; when it does, its size (low 32 bits) and last
    // write time go to the outputs that are given.
    bool Exists(DWORD* size = nullptr, FILETIME* writeTime = nullptr) const;
    // Replaces the extension of m_Name (and rebuilds m_FullPath) with the new one, or only cuts
    // it off when none is given.  False, with nothing changed, when m_Name has no ".".
    bool ChangeExtension(const char* newExtension = nullptr);

    std::string m_Folder;   // the folder, ending with its separator
    std::string m_Name;     // the last component, with its extension
    std::string m_Ext;      // the extension without its dot
    std::string m_FullPath; // the path as given
    int m_HasFolder;        // 1 when the path holds a separator
};

// One file found by CFileSearch.
class CFileDat {
public:
    std::string m_Folder;   // folder of m_FullPath, ending with its separator
    std::string m_FullPath; // folder and name
    std::string m_Name;     // file name with extension, as the lists show it
    std::string m_Ext;      // extension without its dot
    FILETIME m_Time{};      // last write time
    DWORD m_Size = 0;       // size in bytes, low 32 bits
    // Left for callers that tag the entries they keep; the search leaves them empty.
    std::string m_Label;
    int m_Index = 0;
    int m_Flags = 0;
};

using CFileList = CArray<CFileDat, const CFileDat&>;
using CFolderList = CStringArray;

class CFileSearch {
public:
    // Appends to m_Files the files of every folder of m_Folders that match the pattern
    // "*.<ext>" and whose extension is exactly <ext> (ignoring case), each folder's by name
    // (ignoring case); folders and system entries are skipped, and so is a file already
    // listed unless allowDuplicates is set.  Returns the number of entries now in m_Files.
    int FindFiles(const char* pattern, bool allowDuplicates);

    CFolderList m_Folders; // folders to search, without a trailing separator
    CFileList m_Files;     // the files found, over all calls
};
