#include "win/window.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

// Window handles are numbers handed out once, never addresses, so that a stale handle cannot
// reach a new object that happens to sit at the same place.
std::mutex g_windowMutex;
std::uintptr_t g_nextWindow = 0x10000;

std::unordered_map<HWND, CWnd*>& LiveWindows() {
    static auto* windows = new std::unordered_map<HWND, CWnd*>; // lives for the whole process
    return *windows;
}

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    CWnd::DestroyWindow();
}

BOOL CWnd::Create(LPCSTR lpszWindowName, CWnd* pParentWnd) {
    std::lock_guard lock(g_windowMutex);
    if (m_hWnd)
        return FALSE;
    g_nextWindow += 4;
    m_hWnd = reinterpret_cast<HWND>(g_nextWindow);
    LiveWindows()[m_hWnd] = this;
    m_title = lpszWindowName ? lpszWindowName : "";
    m_pParent = pParentWnd;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    std::lock_guard lock(g_windowMutex);
    if (!m_hWnd)
        return FALSE;
    LiveWindows().erase(m_hWnd);
    m_hWnd = nullptr;
    return TRUE;
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    std::lock_guard lock(g_windowMutex);
    m_title = lpszString ? lpszString : "";
}

void CWnd::GetWindowText(std::string& text) const {
    std::lock_guard lock(g_windowMutex);
    text = m_title;
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    if (!lpszStringBuf || nMaxCount <= 0)
        return 0;
    std::lock_guard lock(g_windowMutex);
    std::size_t n = std::min(m_title.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpszStringBuf, m_title.data(), n);
    lpszStringBuf[n] = '\0';
    return static_cast<int>(n);
}

int CWnd::GetWindowTextLength() const {
    std::lock_guard lock(g_windowMutex);
    return static_cast<int>(m_title.size());
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    std::lock_guard lock(g_windowMutex);
    auto it = LiveWindows().find(hWnd);
    return it == LiveWindows().end() ? nullptr : it->second;
}

BOOL IsWindow(HWND hWnd) {
    return CWnd::FromHandle(hWnd) != nullptr;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    CWnd* window = CWnd::FromHandle(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return window->GetWindowText(lpString, nMaxCount);
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    CWnd* window = CWnd::FromHandle(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    window->SetWindowText(lpString);
    return TRUE;
}
