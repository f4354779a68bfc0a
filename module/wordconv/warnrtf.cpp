#include "wordconv/warnrtf.h"

#include "specsheet/resource.h"

const char* const WarnRtf::kWarning = "This operation seldom needs to be performed.\r\n"
                                      "This operation creates RTF files from all \".doc\"\r\n"
                                      "files found in this folder.\r\n"
                                      "These RTF files should be compatible with\r\n"
                                      "AutoCads MTEXT features.\r\n"
                                      "This process will OVERWRITE any rtf files in\r\n"
                                      "this folder with the same doc name.";

WarnRtf::WarnRtf(CWnd* pParent) : CDialog(IDD_WARNRTF, pParent) {}

BOOL WarnRtf::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_WARN_TEXT, kWarning);
    return TRUE;
}
