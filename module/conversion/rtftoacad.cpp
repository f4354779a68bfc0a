#include "conversion/rtftoacad.h"

#include "conversion/rtftomtext.h"
#include "frame/tmpfile.h"
#include "wordconv/rtffix.h"

#include "win/crtstring.h"
#include "win/filedialog.h"
#include "win/msgbox.h"

#include <string>

namespace {

const char kOutputFile[] = "C:\\KSR\\Rivlet\\output.TXT";
// Room for the longest path the dialog of this form hands back, and its terminating zero.
const DWORD kFileNameSize = 261;

// The document the user picks; false when the dialog ends any other way than OK.
bool AskForDocument(std::string& path) {
    CFileDialog dialog(TRUE, "*.doc", nullptr,
                       OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                       "Documents (*.doc)|*.doc|Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt||",
                       nullptr, OPENFILENAME_SIZE_VERSION_400);
    char fileName[kFileNameSize] = "";
    dialog.m_ofn.lpstrTitle = "Open specification document:";
    dialog.m_ofn.lpstrFile = fileName;
    dialog.m_ofn.nMaxFile = kFileNameSize;
    if (dialog.DoModal() != IDOK)
        return false;
    path = dialog.GetPathName();
    return true;
}

// The extension after the last dot of the path, without the dot; empty without one.
std::string ExtensionOf(const std::string& path) {
    std::size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

} // namespace

void RtfToAcad() {
    std::string path;
    if (!AskForDocument(path))
        return;

    if (_stricmp(ExtensionOf(path).c_str(), "doc") == 0) {
        // Word documents are read by Word itself, through its automation interface, which this
        // build of the module does not have yet.  Until it has, the user sees the message of a
        // workstation without Word, and nothing is written.
        AfxMessageBox("Word was not installed on this workstation. You must have at least Word "
                      "97 installed on your workstation prior to using this application.");
        return;
    }
    // Anything else is read as it is: a text file goes to the host as Rich Text without
    // codes.  A file that cannot be read converts as empty text.
    std::string rtf;
    if (ReadWholeFile(path.c_str(), rtf))
        FixHangingIndents(rtf);

    std::string content = CRtfToMtext().Convert(rtf);
    // A missing folder or a file that cannot be written is shown to the user by saveToFile;
    // the command ends normally either way.
    saveToFile(kOutputFile, content);
}
