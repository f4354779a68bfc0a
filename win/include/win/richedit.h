// The rich edit 2.0 control (class "RichEdit20A") and the framework's CRichEditCtrl.  The
// control holds a formatted document; documents move in and out whole by streaming, as Rich
// Text or as plain text (paragraphs ended by CR LF), through the caller's callback.
#pragma once

#include "win/messages.h"
#include "win/window.h"

#include <string>

inline constexpr UINT EM_EXGETSEL = WM_USER + 52;
inline constexpr UINT EM_EXLIMITTEXT = WM_USER + 53;
inline constexpr UINT EM_EXSETSEL = WM_USER + 55;
inline constexpr UINT EM_GETEVENTMASK = WM_USER + 59;
inline constexpr UINT EM_SETEVENTMASK = WM_USER + 69;
inline constexpr UINT EM_SETTARGETDEVICE = WM_USER + 72;
inline constexpr UINT EM_STREAMIN = WM_USER + 73;
inline constexpr UINT EM_STREAMOUT = WM_USER + 74;

inline constexpr WPARAM SF_TEXT = 0x0001;
inline constexpr WPARAM SF_RTF = 0x0002;
inline constexpr DWORD ENM_CHANGE = 0x00000001;
inline constexpr DWORD ENM_UPDATE = 0x00000002;

// The default most characters a rich edit control takes; EM_EXLIMITTEXT raises it.
inline constexpr LONG kRichEditDefaultLimit = 32767;

// Called by the control as it streams: for EM_STREAMIN fill pbBuff with up to cb bytes and
// say in *pcb how many (0 ends the stream); for EM_STREAMOUT take the cb bytes of pbBuff and
// say in *pcb how many were taken.  A result other than 0 stops the stream and lands in
// dwError.
using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb);

struct EDITSTREAM {
    DWORD_PTR dwCookie;
    DWORD dwError;
    EDITSTREAMCALLBACK pfnCallback;
};

struct CHARRANGE {
    LONG cpMin;
    LONG cpMax;
};

class CRichEditCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Replaces the contents by what the callback hands over; the number of characters read.
    long StreamIn(int nFormat, EDITSTREAM& es) {
        return static_cast<long>(
            SendMessage(EM_STREAMIN, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
    }
    // Hands the whole contents to the callback; the number of bytes written.
    long StreamOut(int nFormat, EDITSTREAM& es) {
        return static_cast<long>(
            SendMessage(EM_STREAMOUT, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
    }
    void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
    long GetLimitText() const { return static_cast<long>(SendMessage(EM_GETLIMITTEXT)); }
    BOOL SetTargetDevice(HDC hDC, long lLineWidth) {
        return SendMessage(EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(hDC), lLineWidth) != 0;
    }
    DWORD SetEventMask(DWORD dwEventMask) {
        return static_cast<DWORD>(
            SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwEventMask)));
    }
    DWORD GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }
    long GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }
    void SetSel(long nStartChar, long nEndChar) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    }
    void ReplaceSel(LPCSTR lpszNewText) {
        SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(lpszNewText));
    }
};

namespace win {

// The line width the control wraps at: 0 at its window's right edge, 1 not at all, else a
// width in twips.
long RichEditLineWidth(HWND richEdit);
// The control's contents as Rich Text and as plain text (paragraphs separated by "\n"), for
// front ends that show them.
std::string RichEditRtf(HWND richEdit);
std::string RichEditPlainText(HWND richEdit);

} // namespace win
