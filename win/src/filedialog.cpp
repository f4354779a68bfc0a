#include "win/filedialog.h"

#include "win/crtstring.h"

#include "window_store.h"

#include "win/frontend.h"

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

// ---- The dialog window ----

struct Session {
    explicit Session(LPOPENFILENAMEA ofn) : dialog{ofn, {}} {}
    Dialog dialog;
    HWND frame = nullptr;
    std::string folder; // the folder shown
    bool tooLong = false;
    std::string tooLongPath;
};

Session* SessionOf(HWND frame) {
    return reinterpret_cast<Session*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

std::string ControlText(HWND dialog, int id) {
    char buffer[4096] = "";
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Session* session = SessionOf(h);
    if (!session)
        return DefDlgProcA(h, m, w, l);
    switch (m) {
    case WM_COMMAND:
        if (LOWORD(w) == IDOK && HIWORD(w) == BN_CLICKED) {
            std::string chosen;
            switch (session->dialog.Review(ControlText(h, edt1), &chosen)) {
            case Dialog::Verdict::Accept:
                session->dialog.Deliver(chosen);
                EndDialog(h, IDOK);
                break;
            case Dialog::Verdict::TooLong:
                session->tooLong = true;
                session->tooLongPath = chosen;
                EndDialog(h, IDCANCEL);
                break;
            case Dialog::Verdict::AskAgain:
                break;
            }
            return 0;
        }
        if (LOWORD(w) == IDCANCEL) {
            EndDialog(h, IDCANCEL);
            return 0;
        }
        return 0;
    case CDM_HIDECONTROL:
        ShowWindow(GetDlgItem(h, static_cast<int>(w)), SW_HIDE);
        return 0;
    case CDM_SETCONTROLTEXT:
        SetDlgItemTextA(h, static_cast<int>(w), reinterpret_cast<LPCSTR>(l));
        return 0;
    case CDM_GETFOLDERPATH: {
        char* buffer = reinterpret_cast<char*>(l);
        if (buffer && w > 0) {
            std::size_t n = std::min<std::size_t>(session->folder.size(), w - 1);
            std::memcpy(buffer, session->folder.data(), n);
            buffer[n] = '\0';
        }
        return static_cast<LRESULT>(session->folder.size() + 1);
    }
    default:
        return DefDlgProcA(h, m, w, l);
    }
}

void AddControl(HWND frame, const char* cls, int id, const char* text, DWORD style, int x, int y,
                int cx, int cy) {
    CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, frame,
                    reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

HWND CreateFrame(Session& session) {
    const win::FileDialogRequest& r = session.dialog.request;
    HWND frame = CreateWindowExA(WS_EX_DLGMODALFRAME, WC_DIALOG, r.title.c_str(),
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 360, 300, 563,
                                 419, r.owner, nullptr, nullptr, nullptr);
    if (!frame)
        return nullptr;
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&session));
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameProc));
    AddControl(frame, WC_STATICA, stc4, "Look &in:", 0, 8, 12, 60, 16);
    AddControl(frame, WC_LISTBOXA, cmb2, "", WS_BORDER, 72, 8, 300, 22);
    AddControl(frame, WC_LISTBOXA, lst1, "", WS_BORDER | LBS_NOTIFY | WS_TABSTOP, 8, 40, 539, 260);
    AddControl(frame, WC_STATICA, stc3, "File &name:", 0, 8, 314, 80, 16);
    AddControl(frame, WC_EDITA, edt1, r.initialName.c_str(),
               WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 96, 310, 330, 22);
    AddControl(frame, WC_STATICA, stc2, "Files of &type:", 0, 8, 346, 80, 16);
    AddControl(frame, WC_LISTBOXA, cmb1, "", WS_BORDER | WS_TABSTOP, 96, 342, 330, 22);
    AddControl(frame, WC_BUTTONA, IDOK, r.open ? "&Open" : "&Save", BS_DEFPUSHBUTTON | WS_TABSTOP,
               440, 310, 100, 24);
    AddControl(frame, WC_BUTTONA, IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 440, 342, 100,
               24);
    HWND types = GetDlgItem(frame, cmb1);
    for (const win::FileFilter& f : r.filters)
        SendMessageA(types, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
    if (!r.filters.empty())
        SendMessageA(
            types, LB_SETCURSEL,
            r.filterIndex >= 1 && r.filterIndex <= r.filters.size() ? r.filterIndex - 1 : 0, 0);
    SendMessageA(GetDlgItem(frame, cmb2), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(session.folder.c_str()));
    return frame;
}

std::string CurrentFolder() {
    char buffer[MAX_PATH * 4] = "";
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// Opens the folder an answer names in a folder chooser: true when it is a folder.
bool OpenFolder(Session& session, const std::string& answer) {
    std::string path = answer;
    if (!IsRooted(path) && !session.folder.empty())
        path = session.folder + (IsSeparator(session.folder.back()) ? "" : "\\") + path;
    std::string full = FullWindowsPath(path);
    std::string host = full.empty() ? "" : win::ToHostPath(full);
    if (!host.empty())
        full = win::ToWindowsPath(host);
    if (host.empty() || EntryAt(full) != Entry::Folder) {
        session.dialog.Warn(answer +
                            "\nPath does not exist.\nPlease verify the correct path was given.");
        return false;
    }
    session.folder = full;
    return true;
}

BOOL RunFileDialog(LPOPENFILENAMEA ofn, bool open, CFileDialog* object) {
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

    Session session(ofn);
    win::FileDialogRequest& request = session.dialog.request;
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
    std::string previousFolder = CurrentFolder();
    session.folder = session.dialog.BaseFolder();
    if (session.folder.empty())
        session.folder = previousFolder;

    HWND frame = CreateFrame(session);
    if (!frame) {
        t_dialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    bool ownerWasEnabled = ofn->hwndOwner && IsWindowEnabled(ofn->hwndOwner);
    if (ownerWasEnabled)
        EnableWindow(ofn->hwndOwner, FALSE);
    // The framework's object lives in a child of the dialog window and may change it.
    HWND child = nullptr;
    if (object) {
        child = CreateWindowExA(0, WC_DIALOG, "", WS_CHILD, 0, 0, 0, 0, frame, nullptr, nullptr,
                                nullptr);
        if (child && object->SubclassWindow(child))
            object->OnInitDialog();
    }
    ShowWindow(frame, SW_SHOW);
    SetActiveWindow(frame);

    auto ended = [frame] { return !IsWindow(frame) || !IsWindowVisible(frame); };
    win::FrontEnd* fe = win::GetFrontEnd();
    int attempt = 0;
    for (; !ended() && attempt < win::kMaxFileDialogAttempts; ++attempt) {
        request.title.resize(static_cast<std::size_t>(GetWindowTextLengthA(frame)));
        GetWindowTextA(frame, request.title.data(), static_cast<int>(request.title.size()) + 1);
        request.okText = ControlText(frame, IDOK);
        request.folder = session.folder;
        request.foldersOnly = !IsWindowVisible(GetDlgItem(frame, edt1));
        request.dialog = frame;
        std::optional<std::string> answer = fe ? fe->ShowFileDialog(request) : std::nullopt;
        if (ended())
            break;
        // The dialog shows its folder as the current directory while the user works in it.
        SetCurrentDirectoryA(session.folder.c_str());
        if (!answer) {
            SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(frame, IDCANCEL)));
        } else if (request.foldersOnly) {
            if (answer->empty() || OpenFolder(session, *answer)) {
                SetCurrentDirectoryA(session.folder.c_str());
                SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(frame, IDOK)));
            }
        } else {
            if (!answer->empty())
                SetDlgItemTextA(frame, edt1, answer->c_str());
            SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(frame, IDOK)));
        }
    }
    SetCurrentDirectoryA(previousFolder.c_str());
    win::Window* record = win::FindWindowRecord(frame);
    BOOL accepted = record && record->dialogEnded && record->endResult == IDOK;
    if (!ended()) {
        std::string note = "File dialog \"" + request.title + "\": cancelled after " +
                           std::to_string(win::kMaxFileDialogAttempts) + " refused answers\n";
        std::fputs(note.c_str(), stderr);
    }
    if (session.tooLong) {
        session.dialog.ReportNeededSize(session.tooLongPath.size() + 1);
        t_dialogError = FNERR_BUFFERTOOSMALL;
        accepted = FALSE;
    }
    if (object && object->m_hWnd)
        object->UnsubclassWindow();
    if (ownerWasEnabled && IsWindow(ofn->hwndOwner))
        EnableWindow(ofn->hwndOwner, TRUE);
    if (IsWindow(ofn->hwndOwner))
        SetActiveWindow(ofn->hwndOwner);
    if (IsWindow(frame))
        DestroyWindow(frame);
    return accepted;
}

} // namespace

namespace win {

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
    return RunFileDialog(lpofn, true, nullptr);
}
BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn) {
    return RunFileDialog(lpofn, false, nullptr);
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
    if (m_hWnd)
        return IDCANCEL;
    return RunFileDialog(&m_ofn, m_bOpenFileDialog != FALSE, this) ? IDOK : IDCANCEL;
}

BOOL CFileDialog::OnInitDialog() {
    return TRUE;
}

void CFileDialog::HideControl(int nID) {
    ::SendMessageA(::GetParent(m_hWnd), CDM_HIDECONTROL, static_cast<WPARAM>(nID), 0);
}

void CFileDialog::SetControlText(int nID, LPCSTR lpsz) {
    ::SendMessageA(::GetParent(m_hWnd), CDM_SETCONTROLTEXT, static_cast<WPARAM>(nID),
                   reinterpret_cast<LPARAM>(lpsz));
}

std::string CFileDialog::GetFolderPath() const {
    char buffer[MAX_PATH * 4] = "";
    ::SendMessageA(::GetParent(m_hWnd), CDM_GETFOLDERPATH, sizeof buffer,
                   reinterpret_cast<LPARAM>(buffer));
    return buffer;
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
