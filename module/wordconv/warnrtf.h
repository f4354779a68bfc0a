// "RTF OverWrites!": the question asked before the Word documents of a folder are converted,
// since their Rich Text files replace any of the same name.  "Create!" ends it with IDOK.
#pragma once

#include "win/dialog.h"

class WarnRtf : public CDialog {
public:
    explicit WarnRtf(CWnd* pParent = nullptr);

    // The warning, one line of it per line of the text.
    static const char* const kWarning;

protected:
    BOOL OnInitDialog() override;
};
