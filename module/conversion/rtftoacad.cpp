#include "conversion/rtftoacad.h"

#include "conversion/rtftomtext.h"
#include "frame/tmpfile.h"
#include "wordconv/rtffix.h"
#include "wordconv/worddoc2wordrtf.h"

#include "arx/editor.h"

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
                       "Documents (*.doc)|*.doc|Rich Text (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|"
                       "Word and Writer documents (*.docx;*.odt)|*.docx;*.odt||",
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

// Documents that Word reads for the command: its own formats and the open document text.
bool IsWordDocument(const std::string& extension) {
    return _stricmp(extension.c_str(), "doc") == 0 || _stricmp(extension.c_str(), "docx") == 0 ||
           _stricmp(extension.c_str(), "odt") == 0;
}

} // namespace

void RtfToAcad() {
    std::string path;
    if (!AskForDocument(path))
        return;

    // Anything but a document is read as it is: a text file goes to the host as Rich Text
    // without codes, and a file that cannot be read converts as empty text.
    std::string rtf;
    if (IsWordDocument(ExtensionOf(path))) {
        // Word reads the document; when it cannot, nothing is written.  The bridge quits Word
        // before the conversion goes on.
        bool converted = WordDoc2WordRtf().ConvertToRtf(path.c_str(), rtf);
        if (!converted) {
            acutPrintf("\n%s could not be converted to Rich Text.", path.c_str());
            return;
        }
    } else if (ReadWholeFile(path.c_str(), rtf)) {
        FixHangingIndents(rtf);
    }

    std::string content = CRtfToMtext().Convert(rtf);
    // A missing folder or a file that cannot be written is shown to the user by saveToFile;
    // the command ends normally either way.
    saveToFile(kOutputFile, content);
}
