#include "frame/tmpfile.h"

#include "win/fileapi.h"
#include "win/handles.h"
#include "win/msgbox.h"
#include "win/paths.h"
#include "win/stdfile.h"
#include "win/textfile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

// The folder of temporary files, of whatever length the system has it.
std::string TempFolder() {
    std::vector<char> buffer(301);
    for (;;) {
        DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length); // too small: length is the size needed, with the zero
    }
}

// A new unique name from the runtime library, without extension; false when it has none.
bool NextName(const std::string& folder, std::string& name) {
    char* made = _tempnam(folder.c_str(), "ksr");
    if (!made)
        return false;
    name = made;
    std::free(made);
    return true;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

CTmpFileName::CTmpFileName(const char* extension) : m_Ext(extension ? extension : "") {
    m_Folder = TempFolder();
    if (!m_Folder.empty() && m_Folder.back() != '\\')
        m_Folder += '\\';

    // _tempnam only knows the names without our extension; one with it may still be taken.
    std::string name;
    if (!NextName(m_Folder, name))
        return;
    m_Path = name + m_Ext;
    while (FileExists(m_Path)) {
        if (!NextName(m_Folder, name)) {
            m_Path.clear();
            return;
        }
        m_Path = name + "X" + m_Ext;
    }
}

bool saveToFile(const char* fileName, const std::string& text) {
    try {
        CStdioFile file(fileName ? fileName : "",
                        CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone);
        file.WriteString(text.c_str());
        file.Close();
        return true;
    } catch (CFileException* e) {
        e->ReportError();
        AfxMessageBox("Exception at ::saveToFile", MB_OK);
        e->Delete();
        return false;
    }
}

bool ReadWholeFile(const char* fileName, std::string& text) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;

    bool ok = false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    // INVALID_FILE_SIZE, an error, is beyond the limit as well.
    if (high == 0 && size > 0 && size <= static_cast<DWORD>(INT32_MAX)) {
        std::vector<char> buffer(static_cast<size_t>(size));
        DWORD read = 0;
        if (ReadFile(file, buffer.data(), size, &read, nullptr) && read == size) {
            text = win::TextFileText(std::string_view(buffer.data(), read));
            ok = true;
        }
    }
    CloseHandle(file);
    return ok;
}
