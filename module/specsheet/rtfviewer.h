// "KSR Spec RTF View": shows a Rich Text file (the sheet's preview) or the division
// catalogue's headings as plain lines (the catalogue's editor).
#pragma once

#include "specsheet/richeditgs.h"

#include "win/dialog.h"

#include <string>

class DivisionTable;

class CRtfViewer : public CDialog {
public:
    // What the viewer's run answers besides the cancel code.
    enum { kResultSave = 84, kResultDefaults = 85 };

    // The catalogue's headings, one per line.
    CRtfViewer(const DivisionTable& table, CWnd* pParent);
    // A file.
    CRtfViewer(const char* path, CWnd* pParent);

    // In text mode the text shown, in file mode the path; after Save or Cancel the contents
    // as plain text.
    std::string m_Text;
    bool m_IsFile;
    CRichEditCtrlGS m_Edit;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnSave();
    void OnDefaults();

    DECLARE_MESSAGE_MAP()
};
