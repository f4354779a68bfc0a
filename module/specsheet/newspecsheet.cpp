#include "specsheet/newspecsheet.h"

#include "frame/tmpfile.h"
#include "specsheet/bannertext.h"
#include "specsheet/fileutils.h"
#include "specsheet/folderdialog.h"
#include "specsheet/options.h"
#include "specsheet/resource.h"
#include "specsheet/rtfviewer.h"

#include "arx/editor.h"

#include <cstdio>

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;

// The module's resources are found through the framework's chain of scripts.
HINSTANCE ResourceInstance() {
    return AfxGetResourceHandle();
}

std::string TrimBlanks(const std::string& text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

} // namespace

const char* const NewSpecSheet::kWelcomeRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fprq2\\fcharset2 "
    "CityBlueprint;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl "
    ";\\red0\\green0\\blue255;}{\\*\\generator Msftedit "
    "5.41.15.1507;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs36 Welcome to Kestrune Specifications "
    "Drafting Tool\\cf0\\b0\\f1\\fs20\\par}";

const char* const NewSpecSheet::kDivisionRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Arial Black;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl "
    ";\\red0\\green128\\blue0;}{\\*\\generator Msftedit "
    "5.41.15.1507;}\\viewkind4\\uc1\\pard\\cf1\\ul\\f0\\fs32 %s\\cf0\\ulnone\\f1\\fs20\\par}";

BEGIN_MESSAGE_MAP(NewSpecSheet, CDialog)
ON_BN_CLICKED(IDOK, OnCreateSheet)
ON_LBN_DBLCLK(IDC_DIVISIONS, OnDivisionsDblClk)
ON_LBN_SELCHANGE(IDC_DIVISIONS, OnDivisionsSelChange)
ON_LBN_DBLCLK(IDC_RTF_FILES, OnRtfFilesDblClk)
ON_LBN_SELCHANGE(IDC_RTF_FILES, OnRtfFilesSelChange)
ON_LBN_SELCHANGE(IDC_SHEET_LIST, OnSheetListSelChange)
ON_BN_CLICKED(IDC_REMOVE, OnRemove)
ON_BN_CLICKED(IDC_UP, OnUp)
ON_BN_CLICKED(IDC_DOWN, OnDown)
ON_BN_CLICKED(IDC_PREVIEW, OnPreview)
ON_BN_CLICKED(IDC_SIZES, OnSizes)
ON_BN_CLICKED(IDC_EDIT_DIVISIONS, OnEditDivisions)
ON_BN_CLICKED(IDC_BROWSE, OnBrowseFolder)
ON_BN_CLICKED(IDC_CONVERT_DOCS, OnConvertDocs)
ON_EN_CHANGE(IDC_HIDDEN_RICH, OnHiddenRichChange)
ON_MESSAGE(WM_ACAD_KEEPFOCUS, OnKeepFocus)
END_MESSAGE_MAP()

NewSpecSheet::NewSpecSheet(CWnd* pParent) : CDialog(IDD_NEWSPECSHEET, pParent) {}

NewSpecSheet::~NewSpecSheet() = default;

void NewSpecSheet::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HIDDEN_RICH, m_HiddenRich);
    DDX_Control(pDX, IDC_BANNER, m_Banner);
    DDX_Control(pDX, IDC_SHEET_LIST, m_SheetList);
    DDX_Control(pDX, IDC_RTF_FILES, m_RtfFiles);
    DDX_Control(pDX, IDC_DIVISIONS, m_Divisions);
    DDX_Control(pDX, IDC_UP, m_Up);
    DDX_Control(pDX, IDC_DOWN, m_Down);
    DDX_Control(pDX, IDC_REMOVE, m_Remove);
    DDX_Control(pDX, IDC_PREVIEW, m_Preview);
    DDX_Control(pDX, IDC_SIZES, m_Sizes);
    DDX_Control(pDX, IDC_RTF_FOLDER, m_FolderField);
    DDX_Text(pDX, IDC_RTF_FOLDER, m_RtfFolder);
}

BOOL NewSpecSheet::OnInitDialog() {
    CDialog::OnInitDialog();

    m_HiddenRich.SetWordWrap(true, 0);
    m_HiddenRich.LimitText(100000);
    m_HiddenRich.SetEventMask(ENM_CHANGE);
    m_Banner.SetWordWrap(true, 0);

    HINSTANCE instance = ResourceInstance();
    m_Up.SetIcons(instance, IDI_UP, IDI_UP, kSmallIcon, kSmallIcon);
    m_Up.m_TipText = "Move this item up by one";
    m_Sizes.SetIcons(instance, IDI_SIZES, IDI_SIZES, kLargeIcon, kLargeIcon);
    m_Sizes.m_TipText = "Set Text sizes";
    m_Down.SetIcons(instance, IDI_DOWN, IDI_DOWN, kSmallIcon, kSmallIcon);
    m_Down.m_TipText = "Move this item down by one";
    m_Remove.SetIcons(instance, IDI_REMOVE_HOT, IDI_REMOVE, kLargeIcon, kLargeIcon);
    m_Remove.m_TipText = "Remove the selected item from the list";
    m_Remove.SetFlat(true);
    m_Preview.SetIcons(instance, IDI_PREVIEW, IDI_PREVIEW, kLargeIcon, kLargeIcon);
    m_Preview.m_TipText = "Preview the output";
    m_SheetList.m_TipText = "This is the list which will be placed into MTEXT";
    m_Divisions.m_TipText = "Double-Click to add this division to the bottom of the list";
    m_RtfFiles.m_TipText = "Double-Click to add a file to the bottom of the list";
    m_FolderField.m_TipText = "Either key in a path  to the rtf files (and hit return) or click "
                              "the button and browse to it.";

    FillRtfFiles();
    m_Banner.StreamInText(kWelcomeRtf);
    LoadSheetList();
    FillDivisions();
    return TRUE;
}

std::string NewSpecSheet::EntryText(const CListBox& list, int index) const {
    std::string text;
    list.GetText(index, text);
    return text;
}

void NewSpecSheet::FillRtfFiles() {
    m_RtfFiles.ResetContent();
    CFileSearch search;
    search.m_Folders.Add(m_RtfFolder);
    search.FindFiles("*.rtf", false);
    search.FindFiles("*.txt", false);
    for (INT_PTR i = 0; i < search.m_Files.GetSize(); ++i)
        m_RtfFiles.AddString(search.m_Files[i].m_Name.c_str());
    UpdateData(FALSE);
}

void NewSpecSheet::LoadSheetList() {
    Load();
    // Entries end with ";"; an empty entry ends the list, and what follows it stays in the
    // text, in front of what the next save appends.
    for (std::size_t end = m_Generate.find(';'); end != std::string::npos && end > 0;
         end = m_Generate.find(';')) {
        m_SheetList.AddString(m_Generate.substr(0, end).c_str());
        m_Generate.erase(0, end + 1);
    }
}

void NewSpecSheet::FillDivisions() {
    m_Divisions.ResetContent();
    const DivisionTable& table = TheDivisionTable();
    for (int i = 0; i < table.Count(); ++i)
        m_Divisions.AddString(table.Name(i).c_str());
}

void NewSpecSheet::SaveSheetList() {
    UpdateData(TRUE);
    for (int i = 0; i < m_SheetList.GetCount(); ++i)
        m_Generate += EntryText(m_SheetList, i) + ";";
}

void NewSpecSheet::OnCancel() {
    SaveSheetList();
    CDialog::OnCancel();
}

BOOL NewSpecSheet::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_FolderField.m_hWnd) {
        // The folder follows the typing; Enter lists the folder typed and does not close the
        // dialog.
        UpdateData(TRUE);
        if (pMsg->wParam == VK_RETURN) {
            FillRtfFiles();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void NewSpecSheet::ShowDivisionBanner(int division) {
    m_Banner.StreamInText(FormatWithName(kDivisionRtf, TheDivisionTable().Name(division)));
}

void NewSpecSheet::OnDivisionsDblClk() {
    int selected = m_Divisions.GetCurSel();
    if (selected < 0)
        return;
    int added = m_SheetList.AddString(EntryText(m_Divisions, selected).c_str());
    m_SheetList.SetCurSel(added);
}

void NewSpecSheet::OnDivisionsSelChange() {
    int selected = m_Divisions.GetCurSel();
    if (selected < 0)
        return;
    m_Banner.StreamInText(FormatWithName(kDivisionRtf, EntryText(m_Divisions, selected)));
}

void NewSpecSheet::OnRtfFilesDblClk() {
    int selected = m_RtfFiles.GetCurSel();
    if (selected < 0)
        return;
    std::string path = m_RtfFolder + "\\" + EntryText(m_RtfFiles, selected);
    int added = m_SheetList.AddString(path.c_str());
    m_SheetList.SetCurSel(added);
}

void NewSpecSheet::OnRtfFilesSelChange() {
    int selected = m_RtfFiles.GetCurSel();
    if (selected < 0)
        return;
    std::string path = m_RtfFolder + "\\" + EntryText(m_RtfFiles, selected);
    m_Banner.StreamInFile(path.c_str(), true);
}

void NewSpecSheet::OnSheetListSelChange() {
    int selected = m_SheetList.GetCurSel();
    if (selected < 0)
        return;
    std::string entry = EntryText(m_SheetList, selected);
    int division = TheDivisionTable().FindPrefixOf(entry);
    if (division >= 0) {
        ShowDivisionBanner(division);
        return;
    }
    if (CPathParts(entry.c_str()).Exists())
        m_Banner.StreamInFile(entry.c_str(), true);
}

void NewSpecSheet::OnRemove() {
    int selected = m_SheetList.GetCurSel();
    if (selected < 0)
        return;
    m_SheetList.DeleteString(static_cast<UINT>(selected));
    m_SheetList.SetCurSel(selected); // the entry that now has its place, if any
}

void NewSpecSheet::OnUp() {
    int selected = m_SheetList.GetCurSel();
    if (selected <= 0)
        return;
    std::string entry = EntryText(m_SheetList, selected);
    m_SheetList.DeleteString(static_cast<UINT>(selected));
    m_SheetList.InsertString(selected - 1, entry.c_str());
    m_SheetList.SetCurSel(selected - 1);
}

void NewSpecSheet::OnDown() {
    int selected = m_SheetList.GetCurSel();
    if (selected < 0 || selected >= m_SheetList.GetCount() - 1)
        return;
    std::string entry = EntryText(m_SheetList, selected);
    m_SheetList.DeleteString(static_cast<UINT>(selected));
    m_SheetList.InsertString(selected + 1, entry.c_str());
    m_SheetList.SetCurSel(selected + 1);
}

std::string NewSpecSheet::BuildPreviewDocument() const {
    std::string document = "{\\rtf1";
    const DivisionTable& table = TheDivisionTable();
    for (int i = 0; i < m_SheetList.GetCount(); ++i) {
        std::string entry = EntryText(m_SheetList, i);
        int division = table.FindPrefixOf(entry);
        if (division >= 0) {
            // The division's banner without its own "{\rtf1" and closing brace.
            std::string title = FormatWithName(kDivisionRtf, table.Name(division));
            document += title.substr(6, title.size() - 7);
            continue;
        }
        std::string text;
        if (!ReadWholeFile(entry.c_str(), text)) {
            // A file that cannot be read shows its path, as text, on a line of its own (a
            // group, so that it does not run into a control word before it).
            document += "{" + EscapeForRtf(entry) + "\\par}";
            continue;
        }
        text = TrimBlanks(text);
        if (text.compare(0, 6, "{\\rtf1") == 0)
            text.erase(0, 6);
        if (!text.empty() && text.back() == '}')
            text.pop_back();
        document += text;
    }
    return document + "}";
}

void NewSpecSheet::OnPreview() {
    std::string document = BuildPreviewDocument();
    CTmpFileName file(".rtf");
    if (file.Path().empty() || !saveToFile(file.Path().c_str(), document))
        return;
    CRtfViewer viewer(file.Path().c_str(), this);
    viewer.DoModal();
}

void NewSpecSheet::OnSizes() {
    COptions options(this);
    options.m_OptSpacer = m_Spacer;
    options.m_OptHSpacer = m_HSpacer;
    options.m_OptTHeight = m_THeight;
    options.m_OptVHeight = m_VHeight;
    options.DoModal();
    // The fields come back whatever ended the dialog: Defaults counts without OK.
    m_Spacer = options.m_OptSpacer;
    m_HSpacer = options.m_OptHSpacer;
    m_THeight = options.m_OptTHeight;
    m_VHeight = options.m_OptVHeight;
}

void NewSpecSheet::OnEditDivisions() {
    CRtfViewer viewer(TheDivisionTable(), this);
    INT_PTR result = viewer.DoModal();
    if (result == CRtfViewer::kResultDefaults) {
        m_DivisionFile.ResetToDefaults();
        FillDivisions();
    } else if (result == CRtfViewer::kResultSave) {
        m_DivisionFile.ReplaceFromText(viewer.m_Text);
        FillDivisions();
    }
    UpdateData(FALSE);
}

void NewSpecSheet::OnBrowseFolder() {
    CFolderDialog chooser(&m_RtfFolder, this);
    if (chooser.DoModal() != IDOK)
        return;
    FillRtfFiles();
    UpdateData(FALSE);
}

// Documents only pass through the hidden control; its changes need no answer.
void NewSpecSheet::OnHiddenRichChange() {}

LRESULT NewSpecSheet::OnKeepFocus(WPARAM, LPARAM) {
    // The dialog keeps the focus while the mouse is over it.
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(&client);
    return client.PtInRect(cursor) ? TRUE : FALSE;
}
