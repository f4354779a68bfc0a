// The common Open and Save As dialogs without a screen, and the framework's CFileDialog.
//
// Like a message box, a file dialog is a request handed to the process-wide answerer, which
// plays the user: it answers with a path or with cancel.  The dialog applies what a user would
// see it apply to the answer:
//   - a relative answer is taken from the initial folder (else the current directory), and the
//     result is a full Windows path;
//   - the default extension is appended to a name that has none (in an Open dialog not when a
//     file of exactly that name exists, which is what the user picked);
//   - OFN_PATHMUSTEXIST refuses a missing folder and OFN_FILEMUSTEXIST a missing file, each
//     with a warning box (through MessageBoxA), and the answerer is asked again;
//   - OFN_CREATEPROMPT asks whether to create a missing file, OFN_OVERWRITEPROMPT (Save As)
//     whether to replace an existing one; "No" asks the answerer again;
//   - a folder is never a file's name: it is refused with a warning;
//   - a full path longer than nMaxFile - 1 fails with FNERR_BUFFERTOOSMALL.
// The dialog never changes the process's current directory (as if OFN_NOCHANGEDIR were always
// given): in a host process that would silently move every relative path.  An answerer that
// keeps giving refused answers is stopped after kMaxFileDialogAttempts of them, as if it had
// cancelled, so that a script cannot hang the host.  Without an answerer every dialog is
// cancelled.
#pragma once

#include "win/msgbox.h"
#include "win/types.h"
#include "win/window.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using LPARAM = std::intptr_t;

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

// CommDlgExtendedError codes.
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter; // "description\0pattern\0...\0\0"
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex; // 1-based
    LPSTR lpstrFile;    // in: the initial name; out: the full path chosen
    DWORD nMaxFile;
    LPSTR lpstrFileTitle; // out: the name without its folder
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;    // out: where the name starts in lpstrFile
    WORD nFileExtension; // out: where the extension starts (after the dot)
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    void* lpfnHook; // hooks are not called: there is no dialog window to hook
    LPCSTR lpTemplateName;
    // The members from here on came with the places bar.
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

// The size that selects the older form of the dialog, before the places bar.
inline constexpr DWORD OPENFILENAME_SIZE_VERSION_400A =
    static_cast<DWORD>(offsetof(OPENFILENAMEA, pvReserved));
inline constexpr DWORD OPENFILENAME_SIZE_VERSION_400 = OPENFILENAME_SIZE_VERSION_400A;

namespace win {

// How many refused answers one dialog takes before it gives up.
inline constexpr int kMaxFileDialogAttempts = 64;

struct FileFilter {
    std::string description;
    std::string pattern; // as given, e.g. "*.rtf" or "*.txt;*.text"
};

struct FileDialogRequest {
    bool open = true; // Open, else Save As
    std::string title;
    std::vector<FileFilter> filters; // in the order given
    DWORD filterIndex = 0;           // 1-based, into filters
    std::string defaultExtension;    // without its dot, "" for none
    std::string initialName;
    std::string initialFolder;
    DWORD flags = 0;
    DWORD maxLength = 0; // nMaxFile: the chosen path must be shorter
    HWND owner = nullptr;
};

// A path (Windows or unix form, absolute or relative), or std::nullopt to cancel.
using FileDialogAnswerer = std::function<std::optional<std::string>(const FileDialogRequest&)>;

// Installs the answerer (an empty one restores the default, which cancels) and returns the
// previous one.
FileDialogAnswerer SetFileDialogAnswerer(FileDialogAnswerer answerer);

// The filters of the struct form "desc\0pattern\0...\0\0"; an unpaired description at the end
// is dropped, as the dialog drops it.
std::vector<FileFilter> ParseFilterList(LPCSTR filter);

} // namespace win

// TRUE with the chosen path in lpstrFile; FALSE when cancelled (CommDlgExtendedError 0) or on
// failure (CommDlgExtendedError tells which).  lStructSize must be sizeof(OPENFILENAMEA) or
// OPENFILENAME_SIZE_VERSION_400A; lpstrFile and nMaxFile are required.  When the path does not
// fit, the first two bytes of lpstrFile hold the size it needs, as Windows leaves them.
BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn);
// The failure of the calling thread's last file dialog, 0 after success or cancel.
DWORD CommDlgExtendedError();

// The framework's file dialog.  Its filter string separates descriptions and patterns with "|"
// and ends with "||" ("Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt||"); an ending without
// "||" is accepted too.
class CFileDialog : public CWnd {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr, DWORD dwSize = 0);

    // IDOK or IDCANCEL (also on failure: see CommDlgExtendedError).
    virtual INT_PTR DoModal();

    std::string GetPathName() const;  // the full path
    std::string GetFileName() const;  // the name with its extension
    std::string GetFileExt() const;   // the extension without its dot
    std::string GetFileTitle() const; // the name without its extension

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    std::string m_strFilter; // "|" turned into "\0", as lpstrFilter wants it
    std::string m_strDefExt;
    char m_szFileName[MAX_PATH];
    char m_szFileTitle[MAX_PATH];
};
