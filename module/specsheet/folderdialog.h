// The folder chooser: the open-file dialog with its name and type fields hidden, titled
// "Choose folder", whose "Select" button answers the folder the dialog shows.
#pragma once

#include "win/filedialog.h"

#include <string>

class CFolderDialog : public CFileDialog {
public:
    // The chosen folder goes to *pFolder when the user presses Select.
    explicit CFolderDialog(std::string* pFolder, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    std::string* m_pFolder;
};
