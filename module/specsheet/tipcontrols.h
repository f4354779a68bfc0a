// An edit box and a list box that show a tooltip: the text is set by the dialog; the tooltip
// is made the first time the control's frame is painted with a text to show, and every
// message the dialog pre-translates for the control is relayed to it.
#pragma once

#include "win/controls.h"

#include <string>

// Makes the control's tooltip when it has none yet and there is a text for it.
void EnsureToolTip(CWnd& control, CToolTipCtrl*& tip, const std::string& text);

class CEditTips : public CEdit {
public:
    CEditTips() = default;
    ~CEditTips() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    std::string m_TipText;
    CToolTipCtrl* m_pToolTip = nullptr;

protected:
    void OnNcPaint();
    DECLARE_MESSAGE_MAP()
};

class CListBoxTips : public CListBox {
public:
    CListBoxTips() = default;
    ~CListBoxTips() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    std::string m_TipText;
    CToolTipCtrl* m_pToolTip = nullptr;

protected:
    void OnNcPaint();
    DECLARE_MESSAGE_MAP()
};
