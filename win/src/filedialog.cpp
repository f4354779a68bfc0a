#include "win/filedialog.h"

#include "win/crtstring.h"

#include "win/msgbox.h"
#include "win/paths.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

namespace {

thread_local DWORD t_dialogError = 0;
std::mutex g_dialogMutex;
win::FileDialogAnswerer g_answerer;

enum class Entry { Missing, File, Folder };

Entry EntryAt(const std::string& windowsPath) {
    std::string host = win::ToHostPath(windowsPath);
    struct stat st {};
    if (host.empty() || stat(host.c_str(), &st) != 0)
        return Entry::Missing;
    return S_ISDIR(st.st_mode) ? Entry::Folder : Entry::File;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsRooted(const std::string& path) {
    if (!path.empty() && IsSeparator(path.front()))
        return true;
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::size_t NameStart(const std::string& path) {
    std::size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? 0 : sep + 1;
}

std::string FolderOf(const std::string& fullPath) {
    std::size_t start = NameStart(fullPath);
    std::string folder = fullPath.substr(0, start);
    // "C:\" stays whole: the root is a folder, "C:" alone is not a path.
    if (folder.size() > 3 && IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

std::string FullWindowsPath(const std::string& path) {
    DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return "";
    std::string full(needed, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return "";
    full.resize(length);
    return full;
}

// The default extension as the user sees it appended.  Callers write it "doc", ".doc" or even
// "*.doc"; the dot and the wildcard are not part of it.
std::string CleanExtension(LPCSTR defExt) {
    std::string ext = defExt ? defExt : "";
    std::size_t start = ext.find_first_not_of("*.");
    ext = start == std::string::npos ? "" : ext.substr(start);
    if (ext.find_first_of("*?\\/") != std::string::npos)
        return "";
    return ext;
}

std::string ExtensionOf(const std::string& name) {
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

struct Dialog {
    LPOPENFILENAMEA ofn;
    win::FileDialogRequest request;

    enum class Verdict { Accept, AskAgain, TooLong };

    void Warn(const std::string& text) const {
        MessageBoxA(ofn->hwndOwner, text.c_str(), request.title.c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    }
    bool Confirm(const std::string& text) const {
        return MessageBoxA(ofn->hwndOwner, text.c_str(), request.title.c_str(),
                           MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
    }

    // The folder a relative answer is taken from: the initial folder, else the folder of the
    // initial name, else the current directory.
    std::string BaseFolder() const {
        if (!request.initialFolder.empty())
            return request.initialFolder;
        if (IsRooted(request.initialName) && NameStart(request.initialName) > 0)
            return request.initialName.substr(0, NameStart(request.initialName));
        return "";
    }

    Verdict Review(const std::string& answer, std::string* chosen) const {
        if (answer.find_first_not_of(" \t") == std::string::npos)
            return Verdict::AskAgain; // OK with no name does nothing
        std::string path = answer;
        std::string base = BaseFolder();
        if (!IsRooted(path) && !base.empty())
            path = base + (IsSeparator(base.back()) ? "" : "\\") + path;
        // The full path in the form ToWindowsPath gives, so that a unix answer inside the
        // prefix comes back on drive C: like any other path there.
        std::string full = FullWindowsPath(path);
        std::string host = full.empty() ? "" : win::ToHostPath(full);
        if (!host.empty())
            full = win::ToWindowsPath(host);
        if (host.empty() || full.empty()) {
            Warn(answer + "\nPath does not exist.\nPlease verify the correct path was given.");
            return Verdict::AskAgain;
        }
        std::string name = full.substr(NameStart(full));
        if (!request.defaultExtension.empty() && name.find('.') == std::string::npos &&
            !(request.open && EntryAt(full) == Entry::File))
            full += "." + request.defaultExtension;
        if (full.size() + 1 > ofn->nMaxFile) {
            *chosen = full;
            return Verdict::TooLong;
        }

        const DWORD flags = request.flags;
        Entry entry = EntryAt(full);
        if (entry == Entry::Folder) {
            Warn(full + "\nThis is a folder.\nPlease choose a file in it.");
            return Verdict::AskAgain;
        }
        bool folderMustExist = flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT);
        if (folderMustExist && EntryAt(FolderOf(full)) != Entry::Folder) {
            Warn(full + "\nPath does not exist.\nPlease verify the correct path was given.");
            return Verdict::AskAgain;
        }
        if (entry == Entry::Missing) {
            if (flags & OFN_FILEMUSTEXIST) {
                Warn(full + "\nFile not found.\nPlease verify the correct file name was given.");
                return Verdict::AskAgain;
            }
            if ((flags & OFN_CREATEPROMPT) &&
                !Confirm(full + "\nThis file does not exist.\nDo you want to create it?"))
                return Verdict::AskAgain;
        } else if (!request.open && (flags & OFN_OVERWRITEPROMPT) &&
                   !Confirm(full + " already exists.\nDo you want to replace it?")) {
            return Verdict::AskAgain;
        }
        *chosen = full;
        return Verdict::Accept;
    }

    void Deliver(const std::string& full) const {
        std::memcpy(ofn->lpstrFile, full.c_str(), full.size() + 1);
        std::size_t nameStart = NameStart(full);
        std::string name = full.substr(nameStart);
        std::size_t dot = name.find_last_of('.');
        ofn->nFileOffset = static_cast<WORD>(nameStart);
        if (dot == std::string::npos)
            ofn->nFileExtension = static_cast<WORD>(full.size());
        else if (dot + 1 == name.size())
            ofn->nFileExtension = 0;
        else
            ofn->nFileExtension = static_cast<WORD>(nameStart + dot + 1);
        if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
            std::size_t n = std::min<std::size_t>(name.size(), ofn->nMaxFileTitle - 1);
            std::memcpy(ofn->lpstrFileTitle, name.data(), n);
            ofn->lpstrFileTitle[n] = '\0';
        }
        bool differs = !request.defaultExtension.empty() &&
                       _stricmp(ExtensionOf(name).c_str(), request.defaultExtension.c_str()) != 0;
        if (differs)
            ofn->Flags |= OFN_EXTENSIONDIFFERENT;
        else
            ofn->Flags &= ~OFN_EXTENSIONDIFFERENT;
    }

    void ReportNeededSize(std::size_t needed) const {
        if (ofn->nMaxFile < 2)
            return;
        WORD size = static_cast<WORD>(std::min<std::size_t>(needed, 0xFFFF));
        std::memcpy(ofn->lpstrFile, &size, sizeof size);
    }
};

BOOL RunFileDialog(LPOPENFILENAMEA ofn, bool open) {
    t_dialogError = 0;
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) &&
                 ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        t_dialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        t_dialogError = CDERR_INITIALIZATION;
        return FALSE;
    }

    Dialog dialog{ofn, {}};
    win::FileDialogRequest& request = dialog.request;
    request.open = open;
    request.title = ofn->lpstrTitle ? ofn->lpstrTitle : (open ? "Open" : "Save As");
    request.filters = win::ParseFilterList(ofn->lpstrFilter);
    request.filterIndex = ofn->nFilterIndex;
    request.defaultExtension = CleanExtension(ofn->lpstrDefExt);
    request.initialName.assign(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
    request.initialFolder = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
    request.flags = ofn->Flags;
    request.maxLength = ofn->nMaxFile;
    request.owner = ofn->hwndOwner;

    win::FileDialogAnswerer answerer;
    {
        std::lock_guard lock(g_dialogMutex);
        answerer = g_answerer;
    }
    for (int attempt = 0; attempt < win::kMaxFileDialogAttempts; ++attempt) {
        std::optional<std::string> answer = answerer ? answerer(request) : std::nullopt;
        if (!answer)
            return FALSE;
        std::string chosen;
        switch (dialog.Review(*answer, &chosen)) {
        case Dialog::Verdict::Accept:
            dialog.Deliver(chosen);
            return TRUE;
        case Dialog::Verdict::TooLong:
            dialog.ReportNeededSize(chosen.size() + 1);
            t_dialogError = FNERR_BUFFERTOOSMALL;
            return FALSE;
        case Dialog::Verdict::AskAgain:
            break;
        }
    }
    std::string note = "File dialog \"" + request.title + "\": cancelled after " +
                       std::to_string(win::kMaxFileDialogAttempts) + " refused answers\n";
    std::fputs(note.c_str(), stderr);
    return FALSE;
}

} // namespace

namespace win {

FileDialogAnswerer SetFileDialogAnswerer(FileDialogAnswerer answerer) {
    std::lock_guard lock(g_dialogMutex);
    FileDialogAnswerer previous = std::move(g_answerer);
    g_answerer = std::move(answerer);
    return previous;
}

std::vector<FileFilter> ParseFilterList(LPCSTR filter) {
    std::vector<FileFilter> filters;
    if (!filter)
        return filters;
    const char* p = filter;
    while (*p) {
        std::string description = p;
        p += description.size() + 1;
        if (!*p)
            break;
        std::string pattern = p;
        p += pattern.size() + 1;
        filters.push_back({std::move(description), std::move(pattern)});
    }
    return filters;
}

} // namespace win

BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn) {
    return RunFileDialog(lpofn, true);
}
BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn) {
    return RunFileDialog(lpofn, false);
}
DWORD CommDlgExtendedError() {
    return t_dialogError;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize)
    : m_ofn{}, m_bOpenFileDialog(bOpenFileDialog), m_szFileName{}, m_szFileTitle{} {
    m_ofn.lStructSize = dwSize ? dwSize : static_cast<DWORD>(sizeof(OPENFILENAMEA));
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFileName) {
        std::size_t n = std::min<std::size_t>(std::strlen(lpszFileName), MAX_PATH - 1);
        std::memcpy(m_szFileName, lpszFileName, n);
        m_szFileName[n] = '\0';
    }
    if (lpszFilter) {
        m_strFilter = lpszFilter;
        std::replace(m_strFilter.begin(), m_strFilter.end(), '|', '\0');
        // With the string's own terminator this ends the list even without a closing "||".
        m_strFilter += '\0';
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

INT_PTR CFileDialog::DoModal() {
    BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const {
    if (!m_ofn.lpstrFile)
        return "";
    return std::string(m_ofn.lpstrFile, strnlen(m_ofn.lpstrFile, m_ofn.nMaxFile));
}

std::string CFileDialog::GetFileName() const {
    std::string path = GetPathName();
    return path.substr(NameStart(path));
}

std::string CFileDialog::GetFileExt() const {
    return ExtensionOf(GetFileName());
}

std::string CFileDialog::GetFileTitle() const {
    std::string name = GetFileName();
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
