// "Create!" of the sheet dialog, and the items made from the sheet list.
#include "specsheet/sheetgeneration.h"

#include "conversion/columnlayout.h"
#include "conversion/mtextescape.h"
#include "conversion/rtftomtext.h"
#include "conversion/spinner.h"
#include "frame/tmpfile.h"
#include "placement/mtextplacement.h"
#include "specsheet/divisions.h"
#include "specsheet/newspecsheet.h"
#include "wordconv/rtffix.h"

#include "arx/editor.h"

CMtextRtf MakeSheetItem(const std::string& entry, const DivisionTable& divisions) {
    CMtextRtf item;
    item.m_Name = entry;
    int division = divisions.FindPrefixOf(entry);
    if (division >= 0) {
        const std::string& heading = divisions.Heading(division);
        item.m_Pieces.Add(heading);
        item.m_Rtf = heading;
        item.m_IsPlain = true;
        return item;
    }
    std::string rtf;
    if (!ReadWholeFile(entry.c_str(), rtf)) {
        // The path stands in the sheet in place of the file, shown as the text it is (its
        // backslashes would otherwise read as MText codes).
        item.m_Pieces.Add(EscapeForMText(entry));
        return item;
    }
    FixHangingIndents(rtf);
    item.m_Rtf = rtf;
    CRtfToMtext converter;
    item.SplitContents(WithoutOuterGroup(converter.Convert(rtf)));
    return item;
}

std::string WithoutOuterGroup(std::string content) {
    if (!content.empty() && content.front() == '{') {
        content.erase(0, 1);
        if (!content.empty())
            content.pop_back();
    }
    return content;
}

void NewSpecSheet::OnCreateSheet() {
    SaveSheetList();
    CDialog::OnOK();
    // The dialog has ended; its controls stay readable until this handler returns.
    AcGePoint3d cornerA, cornerB;
    if (!PickBoxCorners(cornerA, cornerB))
        return;
    acutPrintf("\r%71s", "");
    acutPrintf("%s", NextSpinnerFrame());
    m_Items.RemoveAll();
    const DivisionTable& divisions = TheDivisionTable();
    for (int i = 0; i < m_SheetList.GetCount(); ++i) {
        acutPrintf("%s", NextSpinnerFrame());
        std::string entry;
        m_SheetList.GetText(i, entry);
        m_Items.Add(MakeSheetItem(entry, divisions));
    }
    LayOutItems(cornerA, cornerA, cornerB, m_Items, m_THeight, m_VHeight, m_Spacer, m_HSpacer);
}
