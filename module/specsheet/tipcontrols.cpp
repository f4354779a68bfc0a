#include "specsheet/tipcontrols.h"

void EnsureToolTip(CWnd& control, CToolTipCtrl*& tip, const std::string& text) {
    if (tip || text.empty() || !control.m_hWnd)
        return;
    auto* made = new CToolTipCtrl;
    if (!made->Create(&control) || !made->AddTool(&control, text.c_str())) {
        // Without a tooltip the control works as before.
        delete made;
        return;
    }
    made->Activate(TRUE);
    tip = made;
}

// ---- CEditTips ----

BEGIN_MESSAGE_MAP(CEditTips, CEdit)
ON_WM_NCPAINT()
END_MESSAGE_MAP()

CEditTips::~CEditTips() {
    delete m_pToolTip;
}

BOOL CEditTips::PreTranslateMessage(MSG* pMsg) {
    if (m_pToolTip)
        m_pToolTip->RelayEvent(pMsg);
    return CEdit::PreTranslateMessage(pMsg);
}

void CEditTips::OnNcPaint() {
    CEdit::OnNcPaint();
    EnsureToolTip(*this, m_pToolTip, m_TipText);
}

// ---- CListBoxTips ----

BEGIN_MESSAGE_MAP(CListBoxTips, CListBox)
ON_WM_NCPAINT()
END_MESSAGE_MAP()

CListBoxTips::~CListBoxTips() {
    delete m_pToolTip;
}

BOOL CListBoxTips::PreTranslateMessage(MSG* pMsg) {
    if (m_pToolTip)
        m_pToolTip->RelayEvent(pMsg);
    return CListBox::PreTranslateMessage(pMsg);
}

void CListBoxTips::OnNcPaint() {
    CListBox::OnNcPaint();
    EnsureToolTip(*this, m_pToolTip, m_TipText);
}
