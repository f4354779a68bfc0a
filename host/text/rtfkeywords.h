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

// The hash by which the keywords are looked up (FNV-1a, its starting value picked for the
// table), built a letter at a time so that a reader can build it while it scans a name.
class RtfKeywordHash {
public:
    constexpr void Add(char letter) {
        state_ = (state_ ^ static_cast<unsigned char>(letter)) * 16777619u;
    }
    constexpr std::uint32_t Value() const { return state_ ^ (state_ >> 15); }

private:
    std::uint32_t state_ = 2166136438u;
};

// The keyword of a control word's name (its letters, without backslash or parameter); Unknown
// for a name the reader does not act on.
RtfKeyword LookupRtfKeyword(std::string_view name);
// The same, for a name whose hash the caller has built.
RtfKeyword LookupRtfKeyword(std::string_view name, RtfKeywordHash hash);

constexpr RtfKeywordKind KindOf(RtfKeyword keyword) {
    using K = RtfKeyword;
    switch (keyword) {
    case K::Font:
    case K::FontSize:
    case K::Bold:
    case K::Italic:
    case K::Underline:
    case K::UnderlineNone:
    case K::Strike:
    case K::Color:
    case K::Superscript:
    case K::Subscript:
    case K::NoSuperSub:
    case K::Up:
    case K::Down:
    case K::Hidden:
        return RtfKeywordKind::CharFormat;
    case K::FirstIndent:
    case K::LeftIndent:
    case K::RightIndent:
    case K::SpaceBefore:
    case K::SpaceAfter:
    case K::AlignLeft:
    case K::AlignCenter:
    case K::AlignRight:
    case K::AlignJustify:
    case K::TabCenter:
    case K::TabRight:
    case K::TabDecimal:
    case K::TabPosition:
    case K::BarTabPosition:
        return RtfKeywordKind::ParaFormat;
    default:
        return RtfKeywordKind::Other;
    }
}

// Every name LookupRtfKeyword knows, with its keyword (for tests).
std::vector<std::pair<std::string_view, RtfKeyword>> RtfKeywordNames();

} // namespace cadhost::text
