// The Rich Text reader's control words in document text: destinations, breaks, tables,
// special characters.
#include "text/rtfreaderimpl.h"

#include <algorithm>

namespace cadhost::text::rtf {

void Reader::BodyWord(RtfKeyword keyword, int parameter, bool hasParameter) {
    using K = RtfKeyword;
    Group& group = Top();
    if (CharWord(group.chr, keyword, parameter, hasParameter))
        return;
    if (KindOf(keyword) == RtfKeywordKind::ParaFormat || keyword == K::ParagraphDefault ||
        keyword == K::InTable || keyword == K::TableNesting) {
        // The paragraph formatting words inside list text describe that text's own little
        // paragraph, not the list paragraph.
        if (group.dest == Dest::Body)
            ParaWord(group.para, keyword, parameter, hasParameter);
        return;
    }
    bool inList = group.dest == Dest::ListText;
    switch (keyword) {
    case K::Ansi:
        documentCodePage_ = 1252;
        break;
    case K::Mac:
        documentCodePage_ = 10000;
        break;
    case K::Pc:
        documentCodePage_ = 437;
        break;
    case K::Pca:
        documentCodePage_ = 850;
        break;
    case K::AnsiCodePage:
        if (hasParameter && parameter > 0)
            documentCodePage_ = parameter;
        break;
    case K::DefaultFont:
        defaultFont_ = parameter;
        TablesChanged();
        break;
    case K::FontTable:
        group.dest = Dest::FontTable;
        break;
    case K::ColorTable:
        group.dest = Dest::ColorTable;
        break;
    case K::StyleSheet:
        group.dest = Dest::StyleSheet;
        break;
    case K::FontAlternative:
        if (stack_.size() > 1)
            SkipGroup();
        break;
    case K::FieldResult:
    case K::ObjectResult:
        group.dest = Dest::Body;
        break;
    case K::ListText:
        group.dest = Dest::ListText;
        break;
    case K::Footnote:
        if (stack_.size() > 1) {
            group.dest = Dest::Footnote;
            group.endnote = false;
        }
        break;
    case K::UnicodePair:
        if (stack_.size() > 1) {
            group.outer = group.dest;
            group.dest = Dest::UnicodePair;
        }
        break;
    case K::DefaultCharProps:
    case K::DefaultParaProps:
        if (stack_.size() > 1) {
            group.dest = Dest::Defaults;
            group.defaultsAreChar = keyword == K::DefaultCharProps;
        }
        break;
    case K::NestedTableProps:
        // Meant for the row definition of a nested row, but some writers put the row's
        // cells in it too: it is read as text, with its row definition kept apart.
        group.nestedRowProps = true;
        break;
    case K::Field:
        if (fields_.size() < kMaxFieldNesting && stack_.size() > 1) {
            fields_.push_back(FieldState{{}, textCount_});
            group.field = true;
        }
        break;
    case K::FieldInstruction:
        if (stack_.size() > 1)
            group.dest = Dest::FieldInstruction;
        break;
    case K::OldList:
        if (stack_.size() > 1) {
            group.dest = Dest::OldList;
            oldList_ = OldListLevel{};
        }
        break;
    case K::ParagraphStyle:
        if (!inList)
            ApplyStyle(RtfStyleEntry::Kind::Paragraph, parameter);
        break;
    case K::CharStyle:
        ApplyStyle(RtfStyleEntry::Kind::Character, parameter);
        break;
    case K::RowDefaults:
        if (!group.nestedRowProps)
            row_ = TableRow{};
        break;
    case K::RowLeft:
        if (!group.nestedRowProps)
            row_.left = std::clamp(parameter, -kMaxTwips, kMaxTwips);
        break;
    case K::CellRight:
        if (!group.nestedRowProps && row_.cellRightEdges.size() < kMaxCells)
            row_.cellRightEdges.push_back(std::clamp(parameter, -kMaxTwips, kMaxTwips));
        break;
    case K::Cell:
        if (!inList)
            EndParagraph(ParagraphEnd::Cell, 1);
        break;
    case K::NestedCell:
        if (!inList)
            EndParagraph(ParagraphEnd::Cell, std::max(2, group.para.nesting));
        break;
    case K::Row:
        if (!inList && !group.nestedRowProps)
            builder_.EndRow(1, &row_);
        break;
    case K::NestedRow:
        if (!inList)
            builder_.EndRow(std::max(2, group.para.nesting), nullptr);
        break;
    case K::Par:
        if (!inList)
            EndParagraph(ParagraphEnd::Paragraph, -1);
        break;
    case K::Section:
    case K::Page:
    case K::Column:
        // A break between pages or sections is no paragraph of its own: it ends the open
        // paragraph if that holds text and is otherwise invisible here.
        if (!inList && builder_.HasOpenText())
            EndParagraph(ParagraphEnd::Paragraph, -1);
        break;
    case K::Line:
    case K::LineBreakType:
        EmitChar('\n');
        break;
    case K::Tab:
        EmitChar('\t');
        break;
    case K::EmDash:
        EmitChar(0x2014);
        break;
    case K::EnDash:
        EmitChar(0x2013);
        break;
    case K::Bullet:
        EmitChar(0x2022);
        break;
    case K::LeftQuote:
        EmitChar(0x2018);
        break;
    case K::RightQuote:
        EmitChar(0x2019);
        break;
    case K::LeftDoubleQuote:
        EmitChar(0x201C);
        break;
    case K::RightDoubleQuote:
        EmitChar(0x201D);
        break;
    case K::EmSpace:
        EmitChar(0x2003);
        break;
    case K::EnSpace:
        EmitChar(0x2002);
        break;
    case K::QuarterEmSpace:
        EmitChar(0x2005);
        break;
    case K::ZeroWidthJoiner:
        EmitChar(0x200D);
        break;
    case K::ZeroWidthNonJoiner:
        EmitChar(0x200C);
        break;
    case K::LeftToRightMark:
        EmitChar(0x200E);
        break;
    case K::RightToLeftMark:
        EmitChar(0x200F);
        break;
    case K::FootnoteMark:
        NoteMark();
        break;
    case K::FootnoteArabic:
        footnoteNumbering_ = NoteNumbering::Arabic;
        break;
    case K::FootnoteLowerAlpha:
        footnoteNumbering_ = NoteNumbering::LowerAlpha;
        break;
    case K::FootnoteUpperAlpha:
        footnoteNumbering_ = NoteNumbering::UpperAlpha;
        break;
    case K::FootnoteLowerRoman:
        footnoteNumbering_ = NoteNumbering::LowerRoman;
        break;
    case K::FootnoteUpperRoman:
        footnoteNumbering_ = NoteNumbering::UpperRoman;
        break;
    case K::FootnoteChicago:
        footnoteNumbering_ = NoteNumbering::Chicago;
        break;
    case K::EndnoteArabic:
        endnoteNumbering_ = NoteNumbering::Arabic;
        break;
    case K::EndnoteLowerAlpha:
        endnoteNumbering_ = NoteNumbering::LowerAlpha;
        break;
    case K::EndnoteUpperAlpha:
        endnoteNumbering_ = NoteNumbering::UpperAlpha;
        break;
    case K::EndnoteLowerRoman:
        endnoteNumbering_ = NoteNumbering::LowerRoman;
        break;
    case K::EndnoteUpperRoman:
        endnoteNumbering_ = NoteNumbering::UpperRoman;
        break;
    case K::EndnoteChicago:
        endnoteNumbering_ = NoteNumbering::Chicago;
        break;
    case K::FootnoteStart:
        nextFootnote_ = std::clamp(parameter, 1, 100000);
        break;
    case K::EndnoteStart:
        nextEndnote_ = std::clamp(parameter, 1, 100000);
        break;
    default:
        break;
    }
}

void Reader::EndParagraph(ParagraphEnd end, int tableLevel) {
    const ParaState& para = Top().para;
    if (tableLevel < 0)
        tableLevel = para.inTable ? std::max(1, para.nesting) : 0;
    builder_.EndParagraph(para.format, tableLevel, end);
    lastParagraphListed_ = openParagraphListed_;
    openParagraphListed_ = false;
}

} // namespace cadhost::text::rtf
