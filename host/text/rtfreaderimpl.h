// The Rich Text reader's inner workings, shared by its source files (rtfreader*.cpp):
// the state kept per group and the reader itself.  Not for use outside the reader.
#pragma once

#include "text/codepages.h"
#include "text/documentbuilder.h"
#include "text/hexdigit.h"
#include "text/rtfkeywords.h"
#include "text/rtfreader.h"
#include "text/rtftables.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cadhost::text::rtf {

// Groups nested deeper than this are read as if their braces were not there: real
// documents stay far below it, and the state kept per group stays bounded.
constexpr std::size_t kMaxGroupDepth = 256;
// Word's own limits; more would only let a damaged file grow every group's state.
constexpr std::size_t kMaxTabStops = 64;
constexpr std::size_t kMaxCells = 256;
constexpr int kMaxTwips = 1'000'000;
constexpr int kMaxHalfPoints = 3276;

enum class Dest : std::uint8_t {
    Body,        // document text
    ListText,    // the number or bullet of a list paragraph: text, but no paragraph formatting
    Skip,        // a nested group of a footnote or of the ANSI half of \upr
    FontTable,   // the font table and its entries
    FontAlt,     // a font's alternative name
    ColorTable,  // the colour table
    StyleSheet,  // the style sheet and its entries
    Footnote,    // a footnote or endnote: its text is left out, its kind is noted
    Defaults,    // \defchp or \defpap
    UnicodePair, // \upr: only the \ud half is read
    FieldInstruction,
    OldList,     // \pn: the level of a Word 6 list
    OldListText, // the text before or after its number
};

struct CharState {
    int font = -1; // RTF font number; -1 is the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int color = 0;
    VerticalPosition vertical = VerticalPosition::Baseline;
};

struct ParaState {
    ParagraphFormat format;
    TabAlignment pendingTab = TabAlignment::Left;
    bool inTable = false;
    int nesting = 1;
};

struct Group {
    Dest dest = Dest::Body;
    Dest outer = Dest::Body; // for \upr: the destination its \ud half continues
    bool defaultsAreChar = false;
    bool endnote = false;
    bool field = false;          // the group of a \field
    bool nestedRowProps = false; // \nesttableprops: its row definition is not the outer row's
    bool textAfter = false;      // \pntxta rather than \pntxtb
    int unicodeSkip = 1;
    CharState chr;
    ParaState para;
};

enum class NoteNumbering { Arabic, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman, Chicago };

// A field being read: its instruction, and how much text the document had at its start (a
// field whose result added none may be one that the reader fills in itself).
struct FieldState {
    std::string instruction;
    std::size_t textAtStart = 0;
};

// A list level of the Word 6 kind ({\*\pn ...}), for documents that give no list text.
struct OldListLevel {
    int level = 0; // 0 body, 1..9 outline levels, -1 bullet, -2 continuation
    NoteNumbering numbering = NoteNumbering::Arabic;
    int start = 1;
    int font = -1;
    std::string before, after;
};

constexpr std::size_t kMaxFieldInstruction = 512;
constexpr std::size_t kMaxFieldNesting = 32;

inline bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends a decoded character to text, leaving out the control characters that have no
// place in a document's text (tabs and line breaks reach the model through their words).
void AppendTextChar(std::string& out, char32_t c);

// The bullet of a list in a symbol font is written as U+2022 (see rtfreadertext.cpp).
std::string SymbolGlyphsAsBullets(std::string_view utf8);

// A note or list number in the given style: 3, c, C, iii, III or the third Chicago mark.
std::string FormatNoteNumber(int number, NoteNumbering style);

class Reader {
public:
    Reader(std::string_view input, RtfLiterals literals)
        : data_(input), utf8Literals_(literals == RtfLiterals::Utf8) {}

    TextDocument Read();

private:
    // Syntax
    void OpenGroup();
    void CloseGroup();
    void SkipGroup();
    void ReadControl();
    void ReadText();
    void OnControlWord(std::string_view name, int parameter, bool hasParameter);
    void OnControlSymbol(char symbol);
    void SkipBinary(int count);

    // Content
    // Text bytes: literal ones, as they stand in the document, or the byte of a \'hh escape.
    void OnBytes(std::string_view bytes, bool literal);
    char32_t NextChar(std::string_view bytes, std::size_t& pos, bool literal);
    void OnUnicode(int value);
    void EmitChar(char32_t c);
    void EmitText(std::string_view utf8);
    void FlushSurrogate();

    // Control words by destination
    void Dispatch(RtfKeyword keyword, int parameter, bool hasParameter);
    void FontTableWord(RtfKeyword keyword, int parameter);
    void StyleSheetWord(RtfKeyword keyword, int parameter, bool hasParameter);
    void BodyWord(RtfKeyword keyword, int parameter, bool hasParameter);
    bool CharWord(CharState& chr, RtfKeyword keyword, int parameter, bool hasParameter);
    bool ParaWord(ParaState& para, RtfKeyword keyword, int parameter, bool hasParameter);
    void ApplyStyle(RtfStyleEntry::Kind kind, int number);
    void OldListWord(RtfKeyword keyword, int parameter);

    // Fonts and formats
    void BeginFont(int number);
    void FinishFont();
    void FinishStyle();
    RtfFont& ResolveFont(int number);
    int CurrentCodePage();
    CharFormat CurrentFormat();
    CharFormat CurrentFormatIn(RtfFont& font); // the current format, but in this font

    // Structure
    void EndParagraph(ParagraphEnd end, int tableLevel);
    void NoteMark();
    void ResolveNote(bool endnote);
    void EndField();
    void OldListLabel();

    Group& Top() { return stack_.back(); }

    std::string_view data_;
    bool utf8Literals_ = false;
    std::size_t pos_ = 0;
    std::vector<Group> stack_;
    std::size_t flatDepth_ = 0; // groups beyond kMaxGroupDepth, read flat
    bool finished_ = false;
    bool starPending_ = false;
    int skipCount_ = 0; // \uc fallback characters still to skip
    char32_t pendingHigh_ = 0;

    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    CharState defaultChar_;
    ParaState defaultPara_;
    ByteDecoder decoder_;
    std::string scratch_;

    std::unordered_map<int, RtfFont> fonts_;
    RtfFont fallbackFont_{DefaultFontFace(), 0, {}, -1};
    RtfFontEntry fontEntry_;
    RtfColorTable colors_;
    RtfStyleSheet styles_;
    RtfStyleEntry styleEntry_;

    TableRow row_;
    DocumentBuilder builder_;

    std::vector<FieldState> fields_;
    std::string scratchField_;
    std::size_t textCount_ = 0; // bytes of document text so far

    OldListLevel oldList_;
    int oldListCounters_[10] = {};
    bool lastParagraphListed_ = false;
    bool openParagraphListed_ = false;

    bool notePending_ = false;
    DocumentBuilder::Position notePosition_;
    int nextFootnote_ = 1;
    int nextEndnote_ = 1;
    NoteNumbering footnoteNumbering_ = NoteNumbering::Arabic;
    NoteNumbering endnoteNumbering_ = NoteNumbering::LowerRoman;
};

} // namespace cadhost::text::rtf
