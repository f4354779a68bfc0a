// "KSR - New Spec Sheet": the dialog in which the drafter puts the sheet list together from
// the division catalogue and a folder of section files, previews it, edits the
// catalogue, sets the sizes, and presses "Create!" to lay the sheet out in the drawing.
//
// The dialog is the preferences record too: its folder, sheet list and sizes are the user's
// preferences, read when the dialog object is made and written back when it is destroyed.
#pragma once

#include "conversion/mtextrtf.h"
#include "specsheet/bitmapbutton.h"
#include "specsheet/divisions.h"
#include "specsheet/preferences.h"
#include "specsheet/richeditgs.h"
#include "specsheet/tipcontrols.h"

#include "win/dialog.h"

#include <string>

class NewSpecSheet : public CDialog, public CMtextVars {
public:
    explicit NewSpecSheet(CWnd* pParent = nullptr);
    ~NewSpecSheet() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CRichEditCtrlGS m_HiddenRich;  // 225, never shown: documents pass through it
    CRichEditCtrlGS m_Banner;      // 226
    CListBoxTips m_SheetList;      // 227: what will be placed, in order
    CListBoxTips m_RtfFiles;       // 228: the files of the folder
    CListBoxTips m_Divisions;      // 229: the catalogue's names
    CBitMapButtonCustom m_Up;      // 236
    CBitMapButtonCustom m_Down;    // 237
    CBitMapButtonCustom m_Remove;  // 233
    CBitMapButtonCustom m_Preview; // 235
    CBitMapButtonCustom m_Sizes;   // 238
    CEditTips m_FolderField;       // 230: m_RtfFolder
    CDivisionFile m_DivisionFile;  // the catalogue, loaded now and saved with the dialog
    CMtextRtfHolder m_Items;       // the items of the last "Create!"

    // The welcome banner, and the banner of a division ("%s" is its name).
    static const char* const kWelcomeRtf;
    static const char* const kDivisionRtf;

    // The sheet list appended, each entry with its ";", to m_Generate.
    void SaveSheetList();
    // The Rich Text document of the whole sheet list, as the preview shows it.
    std::string BuildPreviewDocument() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    void OnCreateSheet();
    void OnDivisionsDblClk();
    void OnDivisionsSelChange();
    void OnRtfFilesDblClk();
    void OnRtfFilesSelChange();
    void OnSheetListSelChange();
    void OnRemove();
    void OnUp();
    void OnDown();
    void OnPreview();
    void OnSizes();
    void OnEditDivisions();
    void OnBrowseFolder();
    void OnConvertDocs();
    void OnHiddenRichChange();
    LRESULT OnKeepFocus(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void FillRtfFiles();
    void LoadSheetList();
    void FillDivisions();
    void ShowDivisionBanner(int division);
    std::string EntryText(const CListBox& list, int index) const;
};
