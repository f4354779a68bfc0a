// The sheet of the layout benchmarks: Word-style sections prepared as the sheet generator
// prepares them (hanging indents fixed, translated, cut into pieces) and laid out into a box
// of 4 by 10 drawing units with the default sizes of the preferences.
#pragma once

#include "bench_sections.h"

#include "conversion/columnlayout.h"
#include "conversion/rtftomtext.h"
#include "frame/doclock.h"
#include "wordconv/rtffix.h"

#include <cstddef>
#include <string>

// The default sizes of the preferences.
inline constexpr double kSheetTextHeight = 0.25;
inline constexpr double kSheetPlainTextHeight = 0.15;
inline constexpr double kSheetItemGap = 0.25;
inline constexpr double kSheetColumnGap = 0.5;

// `count` sections ready to be laid out; `pieces`, when given, is how many pieces they were
// cut into.
inline CMtextRtfHolder SheetItems(int count, std::size_t* pieces = nullptr) {
    CMtextRtfHolder items;
    CRtfToMtext converter;
    for (int i = 0; i < count; ++i) {
        std::string rtf = WordStyleRtf(i);
        CMtextRtf item;
        item.m_Name = "C:\\KSR\\Rivlet\\Section" + std::to_string(i) + ".rtf";
        item.m_Rtf = rtf;
        FixHangingIndents(rtf);
        int cut = item.SplitContents(converter.Convert(rtf));
        if (pieces)
            *pieces += static_cast<std::size_t>(cut);
        items.Add(item);
    }
    return items;
}

// Lays the items out in the working drawing's current space; the number of items placed.
inline int LayOutSheet(const CMtextRtfHolder& items) {
    CDocLock lock;
    return LayOutItems(AcGePoint3d(0, 10, 0), AcGePoint3d(0, 10, 0), AcGePoint3d(4, 0, 0), items,
                       kSheetTextHeight, kSheetPlainTextHeight, kSheetItemGap, kSheetColumnGap);
}
