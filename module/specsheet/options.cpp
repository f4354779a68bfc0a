#include "specsheet/options.h"

#include "specsheet/resource.h"

BEGIN_MESSAGE_MAP(COptions, CDialog)
ON_BN_CLICKED(IDC_OPT_DEFAULTS, OnDefaults)
END_MESSAGE_MAP()

COptions::COptions(CWnd* pParent) : CDialog(IDD_OPTIONS, pParent) {}

void COptions::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_OPT_SPACER, m_OptSpacer);
    DDV_MinMaxDouble(pDX, m_OptSpacer, 0.001, 25.0);
    DDX_Text(pDX, IDC_OPT_HSPACER, m_OptHSpacer);
    DDV_MinMaxDouble(pDX, m_OptHSpacer, 0.0, 25.0);
    DDX_Text(pDX, IDC_OPT_THEIGHT, m_OptTHeight);
    DDV_MinMaxDouble(pDX, m_OptTHeight, 0.001, 25.0);
    DDX_Text(pDX, IDC_OPT_VHEIGHT, m_OptVHeight);
    DDV_MinMaxDouble(pDX, m_OptVHeight, 0.001, 25.0);
}

void COptions::OnDefaults() {
    m_OptSpacer = 0.25;
    m_OptHSpacer = 0.5;
    m_OptTHeight = 0.25;
    m_OptVHeight = 0.15;
    UpdateData(FALSE);
}
