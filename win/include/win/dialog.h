// The framework's modal dialogs: CDialog made from a dialog template of the resource chain,
// and dialog data exchange (DDX/DDV) between controls and the dialog's fields.
#pragma once

#include "win/msgbox.h"
#include "win/resource.h"
#include "win/stdfile.h"
#include "win/window.h"

#include <string>

class CDialog;

// Thrown by a failed data exchange; UpdateData catches it.
class CUserException : public CException {
public:
    CUserException() : CException(TRUE) {}
};
[[noreturn]] void AfxThrowUserException();

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control of an exchange; remembered for Fail.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // A value was refused: the focus goes back to the last control (an edit control has its
    // text selected) and the exchange stops.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate; // TRUE: controls to fields, with validation
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// Doubles are shown with 15 significant digits ("%.*g"); a text that is not a number (blanks
// around it allowed) shows the framework's "Please enter a number." and fails.
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// Binds a control object to the dialog's control the first time.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A value outside [minVal, maxVal] shows "Please enter a number between MIN and MAX." and
// fails; only checked while saving.
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog from its template, runs it until EndDialog and destroys it; the
    // result of EndDialog, or -1 when the template is missing or the dialog cannot be made.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Runs DoDataExchange; FALSE (and the dialog stays as it is) when a value was refused.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    UINT m_nIDHelp;                  // the template id
    CWnd* m_pParentWnd;              // the owner given, or none
    HINSTANCE m_hResource = nullptr; // where the template is found (none: the chain)

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    // Ends the running dialog (the owner is enabled and activated again, the window
    // destroyed) after the modal loop.
    void FinishModal(HWND owner, bool ownerWasEnabled);

    DECLARE_MESSAGE_MAP()
};

namespace win {

// Creates the dialog window of a template and its controls, with `object` bound to it before
// it receives WM_INITDIALOG; nullptr when a control's class is unknown.
HWND CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND owner, HINSTANCE instance,
                              CWnd* object);

} // namespace win
