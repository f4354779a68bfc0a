#include "specsheet/rtfviewer.h"

#include "specsheet/divisions.h"
#include "specsheet/resource.h"

BEGIN_MESSAGE_MAP(CRtfViewer, CDialog)
ON_BN_CLICKED(IDC_VIEWER_SAVE, OnSave)
ON_BN_CLICKED(IDC_VIEWER_DEFAULTS, OnDefaults)
END_MESSAGE_MAP()

// The division catalogue's text: each heading followed by a line feed.
CRtfViewer::CRtfViewer(const DivisionTable& table, CWnd* pParent)
    : CDialog(IDD_RTFVIEWER, pParent), m_IsFile(false) {
    for (int i = 0; i < table.Count(); ++i)
        m_Text += table.Heading(i) + "\n";
}

CRtfViewer::CRtfViewer(const char* path, CWnd* pParent)
    : CDialog(IDD_RTFVIEWER, pParent), m_Text(path ? path : ""), m_IsFile(true) {}

void CRtfViewer::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VIEWER_TEXT, m_Edit);
}

BOOL CRtfViewer::OnInitDialog() {
    CDialog::OnInitDialog();
    m_Edit.SetWordWrap(true, 0);
    // Long documents are shown whole, not cut at the control's default limit.
    m_Edit.LimitText(100000);
    if (m_IsFile)
        m_Edit.StreamInFile(m_Text.c_str(), true);
    else
        m_Edit.StreamInText(m_Text);
    return TRUE;
}

void CRtfViewer::OnSave() {
    m_Edit.StreamOutText(m_Text, false);
    EndDialog(kResultSave);
}

void CRtfViewer::OnDefaults() {
    EndDialog(kResultDefaults);
}

void CRtfViewer::OnCancel() {
    m_Edit.StreamOutText(m_Text, false);
    CDialog::OnCancel();
}
