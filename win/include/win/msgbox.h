// Message boxes without a screen.
//
// A message box is a request handed to the front end (win/frontend.h), which decides which
// button the user presses.  Without a front end, the box is written to stderr as
//
//   MessageBox [<icon>] <caption>: <text> -> <button>
//
// (line breaks of the text written as "\n", so that every box is one line of the log) and the
// default button is pressed.
#pragma once

#include "win/types.h"

#include <string>
#include <string_view>
#include <vector>

// Buttons.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
// Default buttons.
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
// The fields of a type.
inline constexpr UINT MB_TYPEMASK = 0x00F;
inline constexpr UINT MB_ICONMASK = 0x0F0;
inline constexpr UINT MB_DEFMASK = 0xF00;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

namespace win {

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    UINT type = MB_OK;
};

// The buttons of a type, in the order the box shows them; empty for a button code that does
// not exist.
std::vector<int> ButtonsOf(UINT type);
// The button that Enter presses: the one MB_DEFBUTTONn picks, or the first when the box has
// fewer buttons.  0 for a button code that does not exist.
int DefaultButtonOf(UINT type);
// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"; "" for anything else.
std::string ButtonName(int id);
// "stop", "question", "warning", "information", or "" for no icon.
std::string IconName(UINT type);
// The id of the button named (any letter case, blanks around the name ignored), or 0 when the
// box of this type has no such button.
int ParseButton(std::string_view name, UINT type);

// The caption of the framework's message boxes; by default the program's file name without
// its extension.
void SetApplicationName(std::string name);
std::string ApplicationName();

} // namespace win

// Shows a box and returns the button pressed; 0 with ERROR_INVALID_PARAMETER for a button code
// that does not exist.  A null caption is "Error", as on Windows.  The owner window is not used.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// The framework's message box: the caption is the application name.  The help id is accepted
// for the framework's signature; there is no help to show.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
