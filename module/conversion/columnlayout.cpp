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
#include <string_view>
#include <utility>

namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
    return std::string_view(text).starts_with(prefix);
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

// The text as a column's top shows it: one group, without paragraph breaks before its first
// visible character.
std::string AsColumnTop(std::string text) {
    if (!StartsWith(text, "{"))
        text.insert(0, "{");
    RemoveLeadingBreaks(text);
    return text;
}

// The state of one call: the box, the point where the next text goes and the right edge of
// the column being filled; the item being placed with its open text and its record; and, while
// the item is cut into columns, what the column holds and what a new column must say again.
class ColumnFlow {
public:
    ColumnFlow(const AcGePoint3d& topPoint, const AcGePoint3d& cornerA, const AcGePoint3d& cornerB,
               double itemGap, double columnGap)
        : m_TopY(topPoint.y), m_BoxWidth(std::fabs(cornerB.x - cornerA.x)),
          m_BoxHeight(std::fabs(cornerB.y - cornerA.y)), m_ItemGap(itemGap), m_ColumnGap(columnGap),
          m_Current(cornerA), m_RightEdge(cornerB.x), m_Corners{cornerA, cornerB} {}

    // Places one item; false when a text could not be created.
    bool Place(int index, const CMtextRtf& item, double height);

private:
    // Exact comparison on purpose: the point is set to the top's y when a column opens, and
    // only an item that starts a column has its leading breaks removed.
    bool AtTop() const { return m_Current.y == m_TopY; }
    bool Fits(double height) const {
        return std::fabs(m_TopY - m_Current.y) + height <= m_BoxHeight;
    }

    AcDbMText* Create(const std::string& content) {
        return CreateMText(m_Current, m_BoxWidth, content.c_str(), m_Height, m_Corners);
    }

    // The item's record and whole content; at a column's top without the breaks before it.
    void StartItem(int index, const CMtextRtf& item, double height);
    // Moves the point below the item's last text, closes that text and saves the record.
    void FinishItem();

    // Fills the open text piece by piece, opening new columns as they fill; the text left open
    // is the item's last column.  false when a column's text could not be created.
    bool PlaceByPieces();
    // Forgets the cuts of the item before and takes this item's formatting to carry.
    void StartCutting();
    // Sets the open text to the column's text with piece j added; false when that is too tall
    // for what is left of the column (the text keeps it until the column is closed).  The
    // first piece of a column at the top of the box always stays.
    bool TryPiece(int j);
    // Keeps the first-line indent of a hanging paragraph open in the text, to be said again
    // at the top of a column that cuts into its paragraph.
    void NoteHangingIndent();
    // The text tried at the top of a column: the carried indent said again, one group, no
    // leading breaks.
    void PrepareColumnTop();
    // Ends the full column with what fitted before piece j and opens the next column's text,
    // where piece j goes next.  false when the new text could not be created.
    bool BreakColumn(int j);
    void CloseFullColumn();
    void MoveToNextColumn();
    // The new column's text, and its text so far: the carried formatting and paragraph codes.
    bool CreateColumnText(int j);
    // The paragraph codes in force at the cut, as the next column says them again.
    std::string ParagraphCodesAtCut() const;

    double m_TopY;
    double m_BoxWidth;
    double m_BoxHeight;
    double m_ItemGap;
    double m_ColumnGap;
    AcGePoint3d m_Current;
    double m_RightEdge;
    AcGePoint3d m_Corners[2];

    // The item being placed.
    const CMtextRtf* m_Item = nullptr;
    double m_Height = 0.0;
    CSpecRecord m_Record;
    // The text the item's texts are created with: its whole content, to which each column
    // break adds the pieces from the one before the cut on.  A new column's text is replaced
    // as its pieces go in; whether the carried indent is said again is read from this text.
    std::string m_Content;
    AcDbMText* m_Text = nullptr;
    double m_Measured = 0.0;

    // The item cut into columns.
    std::string m_Trial;  // the open column's text with the piece being tried
    std::string m_Fitted; // the open column's text before that piece
    int m_PiecesInColumn = 0;
    // The item's first font and height codes, which every continued column opens with.
    std::string m_CarriedFormatting;
    // A hanging paragraph's "\pi-...;" that a column top has not said yet.
    std::string m_CarriedFirstIndent;
    // The paragraph codes in force at the last cut.
    std::string m_FirstIndentCode;
    std::string m_TabCode;
    std::string m_LeftIndentCode;
};

bool ColumnFlow::Place(int index, const CMtextRtf& item, double height) {
    StartItem(index, item, height);
    m_Text = Create(m_Content);
    if (!m_Text)
        return false;
    m_Measured = m_Text->actualHeight();
    if (!Fits(m_Measured) && !PlaceByPieces())
        return false;
    FinishItem();
    return true;
}

void ColumnFlow::StartItem(int index, const CMtextRtf& item, double height) {
    m_Item = &item;
    m_Height = height;
    m_Record = CSpecRecord(index, item.m_Name, item.m_Rtf);
    m_Content.clear();
    for (INT_PTR j = 0; j < item.m_Pieces.GetSize(); ++j)
        m_Content += item.m_Pieces[j];
    if (AtTop()) {
        if (StartsWith(m_Content, "{\\P"))
            m_Content.erase(1, 2);
        if (StartsWith(m_Content, "\\P"))
            m_Content.erase(0, 2);
        RemoveLeadingBreaks(m_Content);
    }
}

void ColumnFlow::FinishItem() {
    m_Current.y -= m_Measured + m_ItemGap;
    m_Record.AddHandle(CloseText(m_Text));
    m_Text = nullptr;
    m_Record.Save();
}

bool ColumnFlow::PlaceByPieces() {
    StartCutting();
    const int pieceCount = static_cast<int>(m_Item->m_Pieces.GetSize());
    for (int j = 0; j < pieceCount; ++j) {
        // A piece that does not fit is tried again at the top of the next column, where it
        // stays.
        while (!TryPiece(j))
            if (!BreakColumn(j))
                return false;
    }
    return true;
}

void ColumnFlow::StartCutting() {
    m_Trial.clear();
    m_Fitted.clear();
    m_PiecesInColumn = 0;
    m_CarriedFormatting.clear();
    if (m_Item->m_FontCodes.GetSize() > 0) {
        m_CarriedFormatting = m_Item->m_FontCodes[0];
        if (m_Item->m_HeightCodes.GetSize() > 0)
            m_CarriedFormatting += m_Item->m_HeightCodes[0];
    }
    m_CarriedFirstIndent.clear();
    m_FirstIndentCode.clear();
    m_TabCode.clear();
    m_LeftIndentCode.clear();
}

bool ColumnFlow::TryPiece(int j) {
    acutPrintf("%s", NextSpinnerFrame());
    m_Fitted = m_Trial;
    m_Trial += m_Item->m_Pieces[j];
    NoteHangingIndent();
    if (AtTop())
        PrepareColumnTop();

    m_Text->setContents(m_Trial.c_str());
    m_Measured = m_Text->actualHeight();
    // A piece taller than the whole box never fits any column, so the first piece of a fresh
    // column is kept there although it runs past the bottom of the box: otherwise each new
    // column would close empty and the layout would never end.
    if (!Fits(m_Measured) && !(AtTop() && m_PiecesInColumn == 0))
        return false;
    ++m_PiecesInColumn;
    return true;
}

void ColumnFlow::NoteHangingIndent() {
    std::size_t hanging = m_Trial.find("\\pi-");
    if (hanging != std::string::npos) {
        std::size_t end = m_Trial.find(';', hanging);
        if (end != std::string::npos)
            m_CarriedFirstIndent = m_Trial.substr(hanging, end - hanging + 1);
    }
    // A later "\pi0" ends it.
    if (Contains(m_Trial, "\\pi0"))
        m_CarriedFirstIndent.clear();
}

void ColumnFlow::PrepareColumnTop() {
    if (!m_CarriedFirstIndent.empty()) {
        if (StartsWith(m_Trial, ".\t")) {
            // a numbered line keeps its own indent; the carried one waits
        } else if (StartsWith(m_Trial, "{\\pi-")) {
            m_CarriedFirstIndent.clear();
        } else {
            m_Trial.insert(0, m_CarriedFirstIndent);
            m_CarriedFirstIndent.clear();
        }
    }
    m_Trial = AsColumnTop(std::move(m_Trial));
}

bool ColumnFlow::BreakColumn(int j) {
    CloseFullColumn();
    MoveToNextColumn();
    return CreateColumnText(j);
}

void ColumnFlow::CloseFullColumn() {
    if (AtTop())
        m_Fitted = AsColumnTop(std::move(m_Fitted));
    m_Text->setContents(m_Fitted.c_str());
    ParagraphCodesAtEnd(m_Fitted, m_FirstIndentCode, m_TabCode, m_LeftIndentCode);
    m_Record.AddHandle(CloseText(m_Text));
    m_Text = nullptr;
}

void ColumnFlow::MoveToNextColumn() {
    m_Current.x = m_RightEdge + m_ColumnGap;
    m_Current.y = m_TopY;
    m_RightEdge += m_BoxWidth + m_ColumnGap;
}

bool ColumnFlow::CreateColumnText(int j) {
    const int pieceCount = static_cast<int>(m_Item->m_Pieces.GetSize());
    if (j > 0)
        for (int k = j - 1; k < pieceCount; ++k)
            m_Content += m_Item->m_Pieces[k];
    while (StartsWith(m_Content, "\\P"))
        m_Content.erase(0, 2);
    if (!m_CarriedFirstIndent.empty()) {
        long numbered = PositionOf(m_Content, ".\t");
        long indentEnd = PositionOf(m_Content, "\\pi0");
        if (numbered < indentEnd) {
            if (!StartsWith(m_Content, "{\\pi-"))
                m_Content.insert(0, m_CarriedFirstIndent);
            m_CarriedFirstIndent.clear();
        }
    }
    std::size_t formatting = m_Content.find(m_CarriedFormatting, 1);
    if (formatting != std::string::npos && formatting >= 2)
        m_Content.insert(0, "{" + m_CarriedFormatting);
    RemoveLeadingBreaks(m_Content);

    // Not measured: piece j goes in next and is measured then.
    m_Text = Create(m_Content);
    if (!m_Text)
        return false;
    // The column opens with the item's formatting (unless piece j holds it itself, which would
    // say it twice) and the paragraph codes in force at the cut.
    m_Trial =
        Contains(m_Item->m_Pieces[j], m_CarriedFormatting) ? std::string() : m_CarriedFormatting;
    m_Trial += ParagraphCodesAtCut();
    m_PiecesInColumn = 0;
    return true;
}

std::string ColumnFlow::ParagraphCodesAtCut() const {
    std::string codes = m_FirstIndentCode + m_TabCode + m_LeftIndentCode;
    if (!codes.empty())
        codes += ';';
    return codes;
}

} // namespace

int LayOutItems(const AcGePoint3d& topPoint, const AcGePoint3d& cornerA, const AcGePoint3d& cornerB,
                const CMtextRtfHolder& items, double textHeight, double plainTextHeight,
                double itemGap, double columnGap) {
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
