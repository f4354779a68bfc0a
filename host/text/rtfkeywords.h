// The Rich Text control words the reader acts on.  Every other control word is read and
// ignored (or, after \*, skipped with its group).
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace cadhost::text {

enum class RtfKeyword : std::uint16_t {
    Unknown,
    // Document and character set
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    UnicodeSkip, // \ucN
    Unicode,     // \uN
    Binary,      // \binN
    // Destinations that are read
    FontTable,
    ColorTable,
    StyleSheet,
    FontAlternative,
    Field,
    FieldResult,
    ListText,
    Footnote,
    Object,
    ObjectResult,
    UnicodePair,    // \upr
    UnicodeVersion, // \ud
    DefaultCharProps,
    DefaultParaProps,
    NestedTableProps,
    FieldInstruction,
    OldList,           // \pn: a list level of the Word 6 kind
    OldListTextBefore, // \pntxtb
    OldListTextAfter,  // \pntxta
    // Destinations that are skipped whole
    SkippedDestination,
    // Font table
    FontFamilyNil,
    FontFamilyRoman,
    FontFamilySwiss,
    FontFamilyModern,
    FontFamilyScript,
    FontFamilyDecor,
    FontFamilyTech,
    FontFamilyBidi,
    FontCharset,
    FontPitch,
    FontCodePage,
    // Colour table
    Red,
    Green,
    Blue,
    // Style sheet
    BasedOn,
    ParagraphStyle, // \sN
    CharStyle,      // \csN
    OtherStyle,     // \dsN \tsN
    // Character formatting
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Color,
    Superscript,
    Subscript,
    NoSuperSub,
    Up,
    Down,
    Hidden,
    // Paragraph formatting
    ParagraphDefault,
    FirstIndent,
    LeftIndent,
    RightIndent,
    SpaceBefore,
    SpaceAfter,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    TabCenter,
    TabRight,
    TabDecimal,
    TabPosition,
    BarTabPosition,
    InTable,
    TableNesting, // \itapN
    // Tables
    RowDefaults,
    RowLeft,
    CellRight,
    Cell,
    NestedCell,
    Row,
    NestedRow,
    // Breaks and special characters
    Par,
    Line,
    LineBreakType, // \lbrN
    Tab,
    Section,
    Page,
    Column,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    LeftToRightMark,
    RightToLeftMark,
    FootnoteMark, // \chftn
    Endnote,      // \ftnalt
    // Note numbering
    FootnoteArabic,
    FootnoteLowerAlpha,
    FootnoteUpperAlpha,
    FootnoteLowerRoman,
    FootnoteUpperRoman,
    FootnoteChicago,
    EndnoteArabic,
    EndnoteLowerAlpha,
    EndnoteUpperAlpha,
    EndnoteLowerRoman,
    EndnoteUpperRoman,
    EndnoteChicago,
    FootnoteStart,
    EndnoteStart,
    // Word 6 list levels
    OldListBullet,
    OldListBody,
    OldListLevel,
    OldListContinue,
    OldListDecimal,
    OldListUpperLetter,
    OldListLowerLetter,
    OldListUpperRoman,
    OldListLowerRoman,
    OldListStart,
    OldListFont,
};

// What a control word does, which decides where it may be recorded and replayed (styles
// record only formatting).
enum class RtfKeywordKind : std::uint8_t { Other, CharFormat, ParaFormat };

// The keyword of a control word's name (its letters, without backslash or parameter); Unknown
// for a name the reader does not act on.
RtfKeyword LookupRtfKeyword(std::string_view name);
RtfKeywordKind KindOf(RtfKeyword keyword);

// Every name LookupRtfKeyword knows, with its keyword (for tests).
std::vector<std::pair<std::string_view, RtfKeyword>> RtfKeywordNames();

} // namespace cadhost::text
