// "Sizes": the four layout sizes of the sheet.
#pragma once

#include "win/dialog.h"

class COptions : public CDialog {
public:
    explicit COptions(CWnd* pParent);

    double m_OptSpacer = 0.0;  // "Horizontal Spacer", 0.001 to 25
    double m_OptHSpacer = 0.0; // "Vertical Spacer", 0 to 25
    double m_OptTHeight = 0.0; // "Default Txt Height", 0.001 to 25
    double m_OptVHeight = 0.0; // "Division Txt Height", 0.001 to 25

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDefaults();

    DECLARE_MESSAGE_MAP()
};
