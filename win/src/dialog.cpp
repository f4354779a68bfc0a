// CDialog, its modal run, and dialog data exchange.
#include "win/dialog.h"

#include "window_store.h"

#include "win/afxres.h"
#include "win/frontend.h"
#include "win/gdi.h"
#include "win/msgbox.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using win::FindWindowRecord;
using win::WindowStore;

void AfxThrowUserException() {
    throw new CUserException;
}

// ---- Data exchange ----

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_hWndLastControl = control;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND control = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {

std::string ControlText(HWND control) {
    int n = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), n + 1)));
    return text;
}

std::string FormatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", DBL_DIG, value);
    return buffer;
}

// The text of a number as a user types it, without the blanks around it; empty when nothing
// but blanks is there.
std::string NumberText(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number as a user types it: blanks around it allowed, nothing else.  Infinite and
// undefined values are not numbers a dialog can take.
bool ParseNumber(const std::string& text, double& value) {
    std::string number = NumberText(text);
    char* end = nullptr;
    double d = std::strtod(number.c_str(), &end);
    if (number.empty() || *end || !std::isfinite(d))
        return false;
    value = d;
    return true;
}

bool ParseInteger(const std::string& text, int& value) {
    std::string number = NumberText(text);
    char* end = nullptr;
    long v = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(control);
    else
        SetWindowTextA(control, value.c_str());
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseNumber(ControlText(control), value)) {
            AfxMessageBox(AfxLoadString(AFX_IDP_PARSE_REAL).c_str(), MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        SetWindowTextA(control, FormatNumber(value).c_str());
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseInteger(ControlText(control), value)) {
            AfxMessageBox(AfxLoadString(AFX_IDP_PARSE_INT).c_str(), MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        SetWindowTextA(control, std::to_string(value).c_str());
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd)
        return;
    HWND control = pDX->PrepareCtrl(nIDC);
    if (!control || !rControl.SubclassWindow(control))
        AfxThrowUserException();
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    std::string prompt =
        AfxFormatString2(AFX_IDP_PARSE_REAL_RANGE, FormatNumber(minVal), FormatNumber(maxVal));
    AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    std::string prompt =
        AfxFormatString2(AFX_IDP_PARSE_INT_RANGE, std::to_string(minVal), std::to_string(maxVal));
    AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars) {
    if (pDX->m_bSaveAndValidate && static_cast<int>(value.size()) > nChars) {
        std::string prompt = AfxFormatString1(AFX_IDP_PARSE_STRING_SIZE, std::to_string(nChars));
        AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION);
        pDX->Fail();
    } else if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl) {
        ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}

// ---- CDialog ----

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return; // the value was refused: the dialog stays open at the control
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult) {
    if (m_bContinueModal)
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (!IsKeyMessage(pMsg->message) && !IsMouseMessage(pMsg->message))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::NextDlgCtrl() const {
    if (HWND next = win::NextTabStop(m_hWnd, ::GetFocus(), false))
        ::SetFocus(next);
}

void CDialog::PrevDlgCtrl() const {
    if (HWND prev = win::NextTabStop(m_hWnd, ::GetFocus(), true))
        ::SetFocus(prev);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (!pWndCtrl)
        return;
    ::SetFocus(pWndCtrl->m_hWnd);
    if (::SendMessageA(pWndCtrl->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageA(pWndCtrl->m_hWnd, EM_SETSEL, 0, -1);
}

void CDialog::SetDefID(UINT nID) {
    SendMessage(DM_SETDEFID, nID);
}

DWORD CDialog::GetDefID() const {
    return static_cast<DWORD>(SendMessage(DM_GETDEFID));
}

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = m_hResource ? m_hResource : AfxGetResourceHandle();
    const win::DialogTemplate* dialogTemplate = win::FindDialogTemplate(instance, m_nIDHelp);
    if (!dialogTemplate || m_hWnd)
        return -1;
    // A dialog without a parent belongs to the innermost running dialog, else to the
    // application's main window.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : win::TopmostModalDialog();
    if (!owner && AfxGetMainWnd())
        owner = AfxGetMainWnd()->m_hWnd;
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    HWND dialog = win::CreateDialogFromTemplate(*dialogTemplate, owner, instance, this);
    if (!dialog) {
        if (ownerWasEnabled)
            ::EnableWindow(owner, TRUE);
        return -1;
    }
    WindowStore::instance().modalDialogs.push_back(dialog);
    ::ShowWindow(dialog, SW_SHOW);
    ::SetActiveWindow(dialog);
    if (win::FrontEnd* fe = win::GetFrontEnd())
        fe->DialogOpened(dialog);
    INT_PTR result = RunModalLoop();
    if (win::FrontEnd* fe = win::GetFrontEnd())
        fe->DialogClosed(dialog, result);
    FinishModal(owner, ownerWasEnabled);
    return result;
}

void CDialog::FinishModal(HWND owner, bool ownerWasEnabled) {
    if (ownerWasEnabled && ::IsWindow(owner))
        ::EnableWindow(owner, TRUE);
    if (::IsWindow(owner))
        ::SetActiveWindow(owner);
    if (m_hWnd)
        DestroyWindow();
}

// ---- Dialogs from templates ----

HWND win::CreateDialogFromTemplate(const DialogTemplate& t, HWND owner, HINSTANCE instance,
                                   CWnd* object) {
    SIZE units = DialogBaseUnits(t.fontName, t.pointSize);
    DWORD style =
        t.style ? t.style : (DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
    style &= ~WS_VISIBLE;
    if (!(style & WS_CHILD))
        style |= WS_POPUP;
    DWORD exStyle = (style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0;
    RECT border = BorderOf(style, exStyle);
    int clientWidth = t.cx * units.cx / 4;
    int clientHeight = t.cy * units.cy / 8;
    int width = clientWidth + border.left + border.right;
    int height = clientHeight + border.top + border.bottom;
    // Centred on the owner when it is on the screen, else on the screen.
    RECT area{0, 0, kScreenWidth, kScreenHeight};
    if (owner && IsWindowVisible(owner))
        GetWindowRect(owner, &area);
    int x = std::max<int>(0, (area.left + area.right - width) / 2);
    int y = std::max<int>(0, (area.top + area.bottom - height) / 2);
    HWND dialog = CreateWindowExA(exStyle, WC_DIALOG, t.caption.c_str(), style, x, y, width, height,
                                  owner, nullptr, instance, nullptr);
    if (!dialog)
        return nullptr;
    if (Window* w = FindWindowRecord(dialog))
        w->baseUnits = units;
    if (object && !object->SubclassWindow(dialog)) {
        DestroyWindow(dialog);
        return nullptr;
    }
    HFONT font = DialogFont(t.fontName, t.pointSize);
    SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const DialogItemTemplate& item : t.items) {
        RECT r{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(dialog, &r);
        HWND control = CreateWindowExA(
            item.exStyle, item.windowClass.c_str(), item.text.c_str(), item.style | WS_CHILD,
            r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(item.id)), instance, nullptr);
        if (!control) {
            if (object)
                object->DestroyWindow();
            else
                DestroyWindow(dialog);
            return nullptr;
        }
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    HWND first = NextTabStop(dialog, nullptr, false);
    if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) && first &&
        IsWindow(first)) {
        SetFocus(first);
        if (SendMessageA(first, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessageA(first, EM_SETSEL, 0, -1);
    }
    return IsWindow(dialog) ? dialog : nullptr;
}
