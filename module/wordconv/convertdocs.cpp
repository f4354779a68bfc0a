// "Convert Docs" of the sheet dialog: every Word document of the folder becomes a Rich Text
// file of the same name beside it.  Word reads each document; its Rich Text passes through the
// hanging-indent fix and the dialog's hidden rich edit, whose own Rich Text is what is written.
#include "specsheet/bannertext.h"
#include "specsheet/fileutils.h"
#include "specsheet/newspecsheet.h"
#include "wordconv/warnrtf.h"
#include "wordconv/worddoc2wordrtf.h"

#include "win/msgbox.h"

#include <string>

namespace {

const char kLaunchingRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Arial;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl ;\\red0\\green0\\blue128;}{\\*\\generator "
    "Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs56 Launching MS "
    "Word...\\cf0\\b0\\f1\\fs20\\par\\par}";

const char kConvertingRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
    "Arial;}{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}{\\*"
    "\\generator Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\f0\\fs20 Converting "
    "%s\\par\\cf1\\b\\f1\\fs48 PLEASE WAIT ...\\par}";

const char kCreatedRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Msftedit "
    "5.41.15.1507;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs48 %d RTFs Created\\par}";

// The extensions of the documents converted: Word's own first, as they always were, then the
// newer Word format and the open document text, which Word reads as well.
const char* const kDocumentPatterns[] = {"*.DOC", "*.docx", "*.odt"};

// The document's path with the text after its last "." replaced by "rtf".
std::string RtfPathOf(const std::string& documentPath) {
    return documentPath.substr(0, documentPath.rfind('.') + 1) + "rtf";
}

} // namespace

void NewSpecSheet::OnConvertDocs() {
    WarnRtf warning;
    if (warning.DoModal() != IDOK)
        return;
    UpdateData(TRUE);

    CFileSearch search;
    search.m_Folders.Add(m_RtfFolder);
    for (const char* pattern : kDocumentPatterns)
        search.FindFiles(pattern, false);

    // Shown at once, the banner with the rest of the dialog: starting Word takes a while.
    m_Banner.StreamInText(kLaunchingRtf);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    WordDoc2WordRtf word;
    if (!word.m_App) {
        AfxMessageBox("Unable to load Microsoft Word for convertion", MB_OKCANCEL);
        return;
    }
    int written = 0;
    for (INT_PTR i = 0; i < search.m_Files.GetSize(); ++i) {
        const CFileDat& document = search.m_Files[i];
        m_Banner.StreamInText(FormatWithName(kConvertingRtf, EscapeForRtf(document.m_Name)));
        RedrawWindow(nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

        std::string rtf;
        if (!word.ConvertToRtf(document.m_FullPath.c_str(), rtf))
            continue;
        // The control keeps the whole document, however long: its usual limit would cut it.
        if (static_cast<long>(rtf.size()) > m_HiddenRich.GetLimitText())
            m_HiddenRich.LimitText(static_cast<long>(rtf.size()));
        m_HiddenRich.StreamInText(rtf);
        // Only files really written are counted; one that cannot be made has been reported.
        if (m_HiddenRich.StreamOutFile(RtfPathOf(document.m_FullPath).c_str(), true))
            ++written;
    }
    m_Banner.StreamInText(FormatWithValue(kCreatedRtf, written));
    FillRtfFiles();
}
