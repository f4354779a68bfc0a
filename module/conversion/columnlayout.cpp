#include "conversion/columnlayout.h"

#include "conversion/contentcodes.h"
#include "conversion/spinner.h"
#include "placement/mtextplacement.h"
#include "storage/dictdata.h"
#include "storage/specrecord.h"

#include "arx/dbmtext.h"
#include "arx/editor.h"

#include <cmath>
#include <string>

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A position in the text, or -1 when the part is absent.
long PositionOf(const std::string& text, const char* part) {
    std::size_t at = text.find(part);
    return at == std::string::npos ? -1 : static_cast<long>(at);
}

// The close that goes with an id kept for the record: the entity must be closed before its
// handle can be read.
AcDbObjectId CloseText(AcDbMText* text) {
    AcDbObjectId id = text->objectId();
    text->close();
    return id;
}

// The state of one call: the box, the point where the next text goes and the right edge of
// the column being filled.
class ColumnFlow {
public:
    ColumnFlow(const AcGePoint3d& topPoint, const AcGePoint3d& cornerA, const AcGePoint3d& cornerB,
               double itemGap, double columnGap)
        : m_TopY(topPoint.y), m_BoxWidth(std::fabs(cornerB.x - cornerA.x)),
          m_BoxHeight(std::fabs(cornerB.y - cornerA.y)), m_ItemGap(itemGap),
          m_ColumnGap(columnGap), m_Current(cornerA), m_RightEdge(cornerB.x),
          m_Corners{cornerA, cornerB} {}

    // Places one item; false when a text could not be created.
    bool Place(int index, const CMtextRtf& item, double height);

private:
    // Exact comparison on purpose: the point is set to the top's y when a column opens, and
    // only an item that starts a column has its leading breaks removed.
    bool AtTop() const { return m_Current.y == m_TopY; }
    bool Fits(double height) const { return std::fabs(m_TopY - m_Current.y) + height <= m_BoxHeight; }

    AcDbMText* Create(const std::string& content, double height) {
        return CreateMText(m_Current, m_BoxWidth, content.c_str(), height, m_Corners);
    }

    // Fills the text piece by piece, opening new columns as they fill; the text left open is
    // the item's last column.  false when a column's text could not be created.
    bool PlaceByPieces(const CMtextRtf& item, double height, std::string& content,
                       AcDbMText*& text, double& measured, CSpecRecord& record);

    double m_TopY;
    double m_BoxWidth;
    double m_BoxHeight;
    double m_ItemGap;
    double m_ColumnGap;
    AcGePoint3d m_Current;
    double m_RightEdge;
    AcGePoint3d m_Corners[2];
};

bool ColumnFlow::Place(int index, const CMtextRtf& item, double height) {
    std::string content;
    for (INT_PTR j = 0; j < item.m_Pieces.GetSize(); ++j)
        content += item.m_Pieces[j];

    CSpecRecord record(index, item.m_Name, item.m_Rtf);
    if (AtTop()) {
        if (StartsWith(content, "{\\P"))
            content.erase(1, 2);
        if (StartsWith(content, "\\P"))
            content.erase(0, 2);
        RemoveLeadingBreaks(content);
    }

    AcDbMText* text = Create(content, height);
    if (!text)
        return false;
    double measured = text->actualHeight();
    if (!Fits(measured) && !PlaceByPieces(item, height, content, text, measured, record))
        return false;

    m_Current.y -= measured + m_ItemGap;
    record.AddHandle(CloseText(text));
    record.Save();
    return true;
}

bool ColumnFlow::PlaceByPieces(const CMtextRtf& item, double height, std::string& content,
                               AcDbMText*& text, double& measured, CSpecRecord& record) {
    std::string fitted;
    std::string trial;
    std::string carriedFormatting;
    std::string carriedFirstIndent;
    std::string firstIndentCode;
    std::string tabCode;
    std::string leftIndentCode;
    bool newColumn = false;
    int piecesInColumn = 0;

    const int pieceCount = static_cast<int>(item.m_Pieces.GetSize());
    for (int j = 0; j < pieceCount; ++j) {
        acutPrintf("%s", NextSpinnerFrame());
        fitted = trial;
        const std::string& piece = item.m_Pieces[j];

        if (newColumn) {
            // The piece opens with the item's font itself, so the carried copy would be
            // said twice.
            if (Contains(piece, carriedFormatting))
                trial.clear();
            trial += firstIndentCode;
            trial += tabCode;
            trial += leftIndentCode;
            if (!firstIndentCode.empty() || !tabCode.empty() || !leftIndentCode.empty())
                trial += ';';
            newColumn = false;
        }
        trial += piece;

        // A hanging indent in force must be re-applied when the column breaks inside its
        // paragraph; a later "\pi0" ends it.
        std::size_t hanging = trial.find("\\pi-");
        if (hanging != std::string::npos) {
            std::size_t end = trial.find(';', hanging);
            if (end != std::string::npos)
                carriedFirstIndent = trial.substr(hanging, end - hanging + 1);
        }
        if (Contains(trial, "\\pi0"))
            carriedFirstIndent.clear();

        if (AtTop()) {
            if (!carriedFirstIndent.empty()) {
                if (StartsWith(trial, ".\t")) {
                    // a numbered line keeps its own indent; the carried one waits
                } else if (StartsWith(trial, "{\\pi-")) {
                    carriedFirstIndent.clear();
                } else {
                    trial.insert(0, carriedFirstIndent);
                    carriedFirstIndent.clear();
                }
            }
            if (!StartsWith(trial, "{"))
                trial.insert(0, "{");
            RemoveLeadingBreaks(trial);
        }

        text->setContents(trial.c_str());
        measured = text->actualHeight();
        // A piece taller than the whole box never fits any column, so the first piece of a
        // fresh column is kept there although it runs past the bottom of the box: otherwise
        // each new column would close empty and the layout would never end.
        if (Fits(measured) || (AtTop() && piecesInColumn == 0)) {
            ++piecesInColumn;
            continue;
        }

        // The column is full: it keeps what fitted before this piece.
        if (AtTop()) {
            if (!StartsWith(fitted, "{"))
                fitted.insert(0, "{");
            RemoveLeadingBreaks(fitted);
        }
        text->setContents(fitted.c_str());
        ParagraphCodesAtEnd(fitted, firstIndentCode, tabCode, leftIndentCode);
        record.AddHandle(CloseText(text));
        text = nullptr;

        if (item.m_FontCodes.GetSize() > 0) {
            carriedFormatting = item.m_FontCodes[0];
            if (item.m_HeightCodes.GetSize() > 0)
                carriedFormatting += item.m_HeightCodes[0];
        }
        m_Current.x = m_RightEdge + m_ColumnGap;
        m_Current.y = m_TopY;
        m_RightEdge += m_BoxWidth + m_ColumnGap;

        // The new column's text starts from the rest of the item; piece j is tried again at
        // its top and the content is replaced as the pieces go in.
        if (j > 0)
            for (int k = j - 1; k < pieceCount; ++k)
                content += item.m_Pieces[k];
        while (StartsWith(content, "\\P"))
            content.erase(0, 2);
        if (!carriedFirstIndent.empty()) {
            long numbered = PositionOf(content, ".\t");
            long indentEnd = PositionOf(content, "\\pi0");
            if (numbered < indentEnd) {
                if (!StartsWith(content, "{\\pi-"))
                    content.insert(0, carriedFirstIndent);
                carriedFirstIndent.clear();
            }
        }
        std::size_t formatting = content.find(carriedFormatting, 1);
        if (formatting != std::string::npos && formatting >= 2)
            content.insert(0, "{" + carriedFormatting);
        RemoveLeadingBreaks(content);

        // The placeholder is not measured: piece j goes in next and is measured then.
        text = Create(content, height);
        if (!text)
            return false;
        newColumn = true;
        trial = carriedFormatting;
        piecesInColumn = 0;
        --j;
    }
    return true;
}

} // namespace

int LayOutItems(const AcGePoint3d& topPoint, const AcGePoint3d& cornerA,
                const AcGePoint3d& cornerB, const CMtextRtfHolder& items, double textHeight,
                double plainTextHeight, double itemGap, double columnGap) {
    // The drawing holds the records of one layout at a time.
    KSRxDictData::PurgeAll();

    ColumnFlow flow(topPoint, cornerA, cornerB, itemGap, columnGap);
    const int count = static_cast<int>(items.GetSize());
    for (int i = 0; i < count; ++i) {
        const CMtextRtf& item = items[i];
        if (!flow.Place(i, item, item.m_IsPlain ? plainTextHeight : textHeight))
            return 0;
    }
    return count;
}
