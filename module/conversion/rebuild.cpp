#include "conversion/rebuild.h"

#include "conversion/columnlayout.h"
#include "conversion/rtftomtext.h"
#include "conversion/spinner.h"
#include "frame/docdata.h"
#include "placement/mtextplacement.h"
#include "specsheet/preferences.h"
#include "specsheet/sheetgeneration.h"
#include "storage/dictdata.h"
#include "storage/specrecord.h"

#include "arx/editor.h"

#include <string>

void RebuildFromStoredData() {
    CMtextVars preferences;
    CMtextRtfHolder items;
    CDocData& box = docData();
    if (!HasBox(box)) {
        AcGePoint3d first, second;
        if (!PickBoxCorners(first, second))
            return;
        box.m_UpperLeft = first;
        box.m_LowerRight = second;
    }
    acutPrintf("\r%71s", "");
    acutPrintf("%s", NextSpinnerFrame());
    CRtfToMtext converter;
    for (int key = 0;; ++key) {
        std::string value;
        if (!KSRxDictData::GetData(std::to_string(key).c_str(), value))
            break;
        CSpecRecord record(value);
        record.EraseEntities();
        if (record.m_Rtf.empty())
            continue;
        CMtextRtf item;
        acutPrintf("%s", NextSpinnerFrame());
        item.m_Rtf = record.m_Rtf;
        item.m_Name = record.m_Name;
        if (record.m_Rtf.compare(0, 5, "{\\rtf") == 0) {
            item.SplitContents(WithoutOuterGroup(converter.Convert(record.m_Rtf)));
        } else {
            // A division heading of a sheet is stored as its MText content.
            item.m_Pieces.Add(record.m_Rtf);
            item.m_IsPlain = true;
        }
        items.Add(item);
    }
    LayOutItems(box.m_UpperLeft, box.m_UpperLeft, box.m_LowerRight, items, preferences.m_THeight,
                preferences.m_VHeight, preferences.m_Spacer, preferences.m_HSpacer);
}
