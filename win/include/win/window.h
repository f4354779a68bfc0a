// A minimal window: a title and a window handle, enough to stand as the owner of dialogs and
// message boxes, and the base that dialog classes build on.
#pragma once

#include "win/types.h"

#include <string>

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes the window (and its handle).  FALSE when this object already has one.
    BOOL Create(LPCSTR lpszWindowName, CWnd* pParentWnd = nullptr);
    // Ends the window: its handle is no longer valid.  FALSE when there was none.
    virtual BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    CWnd* GetParent() const { return m_pParent; }

    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(std::string& text) const;
    // Copies at most nMaxCount - 1 characters and a zero; returns the number copied.
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const;

    // The object of a live window handle, else nullptr.
    static CWnd* FromHandle(HWND hWnd);

    HWND m_hWnd = nullptr;

private:
    std::string m_title;
    CWnd* m_pParent = nullptr;
};

// The Win32 view of the same windows.
BOOL IsWindow(HWND hWnd);
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
