// The common Open and Save As dialogs, and the framework's CFileDialog.
//
// A file dialog is a dialog window with the standard controls (the file name field 0x480 and
// its label 0x442, the file types list 0x470 and its label 0x441, the folder list 0x460, OK
// and Cancel), whose user is played by the front end (win/frontend.h): it is asked for an
// answer, a path or cancel, as often as the dialog needs one.  The dialog applies what a user
// would see it apply to the answer typed into its name field:
//   - a relative answer is taken from the folder shown (the initial folder, else the current
//     directory), and the result is a full Windows path;
//   - the default extension is appended to a name that has none (in an Open dialog not when a
//     file of exactly that name exists, which is what the user picked);
//   - OFN_PATHMUSTEXIST refuses a missing folder and OFN_FILEMUSTEXIST a missing file, each
//     with a warning box (through MessageBoxA), and the front end is asked again;
//   - OFN_CREATEPROMPT asks whether to create a missing file, OFN_OVERWRITEPROMPT (Save As)
//     whether to replace an existing one; "No" asks again;
//   - a folder is never a file's name: it is refused with a warning;
//   - a full path longer than nMaxFile - 1 fails with FNERR_BUFFERTOOSMALL.
// A dialog whose name field was hidden by its owner (a folder chooser) opens the folder the
// answer names instead, and then its OK button is pressed.  While the dialog runs the folder
// it shows is the process's current directory, as the system's dialog makes it; the previous
// current directory comes back when the dialog ends, so that relative paths of the host do not
// silently move.  A front end that keeps giving refused answers is stopped after
// kMaxFileDialogAttempts of them, as if it had cancelled, so that a script cannot hang the
// host.  Without a front end every dialog is cancelled.
#pragma once

#include "win/msgbox.h"
#include "win/types.h"
#include "win/window.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    // What the dialog shows now: its caption is the title above; its OK button's text; the
    // folder it shows; whether it chooses folders (its name field is hidden).
    std::string okText;
    std::string folder;
    bool foldersOnly = false;
    HWND dialog = nullptr; // the dialog window, for a front end that works its controls
};

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
//
// The object is bound to a child window of the dialog, so GetParent() is the dialog window
// with the standard controls; OnInitDialog runs when they exist, before the user is asked.
class CFileDialog : public CWnd {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr, DWORD dwSize = 0);

    // IDOK or IDCANCEL (also on failure: see CommDlgExtendedError).
    virtual INT_PTR DoModal();
    // The dialog's controls exist; the object may change them (through its parent window).
    virtual BOOL OnInitDialog();

    // Changes to the standard controls of the dialog (CDM_HIDECONTROL, CDM_SETCONTROLTEXT).
    void HideControl(int nID);
    void SetControlText(int nID, LPCSTR lpsz);
    // The folder the dialog shows.
    std::string GetFolderPath() const;

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

// Standard control ids of the file dialogs.
inline constexpr int stc2 = 0x441; // "Files of type:"
inline constexpr int stc3 = 0x442; // "File name:"
inline constexpr int stc4 = 0x443; // "Look in:"
inline constexpr int lst1 = 0x460; // the folder's entries
inline constexpr int cmb1 = 0x470; // the file types
inline constexpr int cmb2 = 0x471; // the folder shown
inline constexpr int edt1 = 0x480; // the file name
// Messages to the dialog window of a file dialog.
inline constexpr UINT CDM_GETFOLDERPATH = WM_USER + 102;
inline constexpr UINT CDM_SETCONTROLTEXT = WM_USER + 104;
inline constexpr UINT CDM_HIDECONTROL = WM_USER + 105;
