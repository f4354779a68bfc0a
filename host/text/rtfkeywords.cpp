#include "text/rtfkeywords.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace cadhost::text {
namespace {

using K = RtfKeyword;

// Destinations whose content is never document text: metadata, pictures, headers and
// footers (which a plain reading of the document leaves out), annotations, drawing objects
// and the tables that only Word itself uses.
constexpr std::string_view kSkipped[] = {
    "aftncn",
    "aftnsep",
    "aftnsepc",
    "annotation",
    "atndate",
    "atnauthor",
    "atnid",
    "atnparent",
    "atnref",
    "atrfend",
    "atrfstart",
    "author",
    "background",
    "bkmkend",
    "bkmkstart",
    "blipuid",
    "buptim",
    "category",
    "colorschememapping",
    "comment",
    "company",
    "creatim",
    "datafield",
    "datastore",
    "do",
    "doccomm",
    "docvar",
    "expandedcolortbl",
    "factoidname",
    "filetbl",
    "fname",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "ftncn",
    "ftnsep",
    "ftnsepc",
    "generator",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "hlinkbase",
    "htmltag",
    "info",
    "keycode",
    "keywords",
    "latentstyles",
    "listoverridetable",
    "listpicture",
    "listtable",
    "manager",
    "mhtmltag",
    "mmathPr",
    "nonesttables",
    "nonshppict",
    "objalias",
    "objclass",
    "objdata",
    "objname",
    "objsect",
    "objtime",
    "oldcprops",
    "oldpprops",
    "oldsprops",
    "oldtprops",
    "operator",
    "panose",
    "password",
    "passwordhash",
    "pgdsctbl",
    "pgptbl",
    "pict",
    "picprop",
    "pnseclvl",
    "printim",
    "protusertbl",
    "revtbl",
    "revtim",
    "rsidtbl",
    "rxe",
    "shp",
    "shpinst",
    "shppict",
    "shprslt",
    "sn",
    "sp",
    "subject",
    "sv",
    "tc",
    "template",
    "themedata",
    "title",
    "txe",
    "userprops",
    "wgrffmtfilter",
    "xe",
    "xmlnstbl",
};

constexpr std::pair<std::string_view, RtfKeyword> kWords[] = {
    {"rtf", K::Rtf},
    {"ansi", K::Ansi},
    {"mac", K::Mac},
    {"pc", K::Pc},
    {"pca", K::Pca},
    {"ansicpg", K::AnsiCodePage},
    {"deff", K::DefaultFont},
    {"uc", K::UnicodeSkip},
    {"u", K::Unicode},
    {"bin", K::Binary},
    {"fonttbl", K::FontTable},
    {"colortbl", K::ColorTable},
    {"stylesheet", K::StyleSheet},
    {"falt", K::FontAlternative},
    {"field", K::Field},
    {"fldrslt", K::FieldResult},
    {"listtext", K::ListText},
    {"pntext", K::ListText},
    {"footnote", K::Footnote},
    {"object", K::Object},
    {"result", K::ObjectResult},
    {"upr", K::UnicodePair},
    {"ud", K::UnicodeVersion},
    {"defchp", K::DefaultCharProps},
    {"defpap", K::DefaultParaProps},
    {"nesttableprops", K::NestedTableProps},
    {"fnil", K::FontFamilyNil},
    {"froman", K::FontFamilyRoman},
    {"fswiss", K::FontFamilySwiss},
    {"fmodern", K::FontFamilyModern},
    {"fscript", K::FontFamilyScript},
    {"fdecor", K::FontFamilyDecor},
    {"ftech", K::FontFamilyTech},
    {"fbidi", K::FontFamilyBidi},
    {"fcharset", K::FontCharset},
    {"fprq", K::FontPitch},
    {"cpg", K::FontCodePage},
    {"red", K::Red},
    {"green", K::Green},
    {"blue", K::Blue},
    {"sbasedon", K::BasedOn},
    {"s", K::ParagraphStyle},
    {"cs", K::CharStyle},
    {"ds", K::OtherStyle},
    {"ts", K::OtherStyle},
    {"plain", K::Plain},
    {"f", K::Font},
    {"fs", K::FontSize},
    {"b", K::Bold},
    {"i", K::Italic},
    {"ul", K::Underline},
    {"uld", K::Underline},
    {"uldash", K::Underline},
    {"uldashd", K::Underline},
    {"uldashdd", K::Underline},
    {"uldb", K::Underline},
    {"ulhwave", K::Underline},
    {"ulldash", K::Underline},
    {"ulth", K::Underline},
    {"ulthd", K::Underline},
    {"ulthdash", K::Underline},
    {"ulthdashd", K::Underline},
    {"ulthdashdd", K::Underline},
    {"ulthldash", K::Underline},
    {"ululdbwave", K::Underline},
    {"ulw", K::Underline},
    {"ulwave", K::Underline},
    {"ulnone", K::UnderlineNone},
    {"strike", K::Strike},
    {"striked", K::Strike},
    {"cf", K::Color},
    {"super", K::Superscript},
    {"sub", K::Subscript},
    {"nosupersub", K::NoSuperSub},
    {"up", K::Up},
    {"dn", K::Down},
    {"v", K::Hidden},
    {"pard", K::ParagraphDefault},
    {"fi", K::FirstIndent},
    {"li", K::LeftIndent},
    {"lin", K::LeftIndent},
    {"ri", K::RightIndent},
    {"rin", K::RightIndent},
    {"sb", K::SpaceBefore},
    {"sa", K::SpaceAfter},
    {"ql", K::AlignLeft},
    {"qc", K::AlignCenter},
    {"qr", K::AlignRight},
    {"qj", K::AlignJustify},
    {"qd", K::AlignJustify},
    {"tqc", K::TabCenter},
    {"tqr", K::TabRight},
    {"tqdec", K::TabDecimal},
    {"tx", K::TabPosition},
    {"tb", K::BarTabPosition},
    {"intbl", K::InTable},
    {"itap", K::TableNesting},
    {"trowd", K::RowDefaults},
    {"trleft", K::RowLeft},
    {"cellx", K::CellRight},
    {"cell", K::Cell},
    {"nestcell", K::NestedCell},
    {"row", K::Row},
    {"nestrow", K::NestedRow},
    {"par", K::Par},
    {"line", K::Line},
    {"lbr", K::LineBreakType},
    {"tab", K::Tab},
    {"sect", K::Section},
    {"page", K::Page},
    {"column", K::Column},
    {"emdash", K::EmDash},
    {"endash", K::EnDash},
    {"bullet", K::Bullet},
    {"lquote", K::LeftQuote},
    {"rquote", K::RightQuote},
    {"ldblquote", K::LeftDoubleQuote},
    {"rdblquote", K::RightDoubleQuote},
    {"emspace", K::EmSpace},
    {"enspace", K::EnSpace},
    {"qmspace", K::QuarterEmSpace},
    {"zwj", K::ZeroWidthJoiner},
    {"zwnj", K::ZeroWidthNonJoiner},
    {"ltrmark", K::LeftToRightMark},
    {"rtlmark", K::RightToLeftMark},
    {"chftn", K::FootnoteMark},
    {"ftnalt", K::Endnote},
    {"ftnnar", K::FootnoteArabic},
    {"ftnnalc", K::FootnoteLowerAlpha},
    {"ftnnauc", K::FootnoteUpperAlpha},
    {"ftnnrlc", K::FootnoteLowerRoman},
    {"ftnnruc", K::FootnoteUpperRoman},
    {"ftnnchi", K::FootnoteChicago},
    {"aftnnar", K::EndnoteArabic},
    {"aftnnalc", K::EndnoteLowerAlpha},
    {"aftnnauc", K::EndnoteUpperAlpha},
    {"aftnnrlc", K::EndnoteLowerRoman},
    {"aftnnruc", K::EndnoteUpperRoman},
    {"aftnnchi", K::EndnoteChicago},
    {"ftnstart", K::FootnoteStart},
    {"aftnstart", K::EndnoteStart},
    {"fldinst", K::FieldInstruction},
    {"pn", K::OldList},
    {"pntxtb", K::OldListTextBefore},
    {"pntxta", K::OldListTextAfter},
    {"pnlvlblt", K::OldListBullet},
    {"pnlvlbody", K::OldListBody},
    {"pnlvl", K::OldListLevel},
    {"pnlvlcont", K::OldListContinue},
    {"pndec", K::OldListDecimal},
    {"pnucltr", K::OldListUpperLetter},
    {"pnlcltr", K::OldListLowerLetter},
    {"pnucrm", K::OldListUpperRoman},
    {"pnlcrm", K::OldListLowerRoman},
    {"pnstart", K::OldListStart},
    {"pnf", K::OldListFont},
};

// The words are found in an open-addressing table built at compile time: a control word
// costs one short hash of its letters and, mostly, one comparison.
constexpr std::size_t kMaxNameLength = 20;
constexpr std::size_t kTableSize = 1024; // a power of two, about four times the word count

struct Slot {
    char name[kMaxNameLength] = {};
    std::uint8_t length = 0; // 0: an empty slot
    RtfKeyword keyword = K::Unknown;
};

// RtfKeywordHash's starting value was picked, among a few thousand tried, so that no word of
// the table lies more than one slot past its own.
constexpr std::uint32_t Hash(std::string_view name) {
    RtfKeywordHash hash;
    for (char c : name)
        hash.Add(c);
    return hash.Value();
}

struct Table {
    Slot slots[kTableSize];
    std::size_t longestProbe = 0;
    bool fits = true; // every name short enough and met once
};

constexpr bool Insert(Table& table, std::string_view name, RtfKeyword keyword) {
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    for (std::size_t probe = 0; probe < kTableSize; ++probe) {
        Slot& slot = table.slots[(Hash(name) + probe) & (kTableSize - 1)];
        if (slot.length == 0) {
            for (std::size_t i = 0; i < name.size(); ++i)
                slot.name[i] = name[i];
            slot.length = static_cast<std::uint8_t>(name.size());
            slot.keyword = keyword;
            table.longestProbe = std::max(table.longestProbe, probe + 1);
            return true;
        }
        if (std::string_view(slot.name, slot.length) == name)
            return false;
    }
    return false;
}

constexpr Table MakeTable() {
    Table table;
    for (std::string_view name : kSkipped)
        table.fits = Insert(table, name, K::SkippedDestination) && table.fits;
    for (const auto& [name, keyword] : kWords)
        table.fits = Insert(table, name, keyword) && table.fits;
    return table;
}

constexpr Table kTable = MakeTable();
static_assert(kTable.fits, "a control word is too long or listed twice");
// A word is found, or told not to be there, after at most this many slots (a word added to
// the table may make it 3 or 4; more calls for another starting value of the hash).
static_assert(kTable.longestProbe <= 4, "the hash clusters the control words");

} // namespace

RtfKeyword LookupRtfKeyword(std::string_view name) {
    RtfKeywordHash hash;
    for (char c : name)
        hash.Add(c);
    return LookupRtfKeyword(name, hash);
}

RtfKeyword LookupRtfKeyword(std::string_view name, RtfKeywordHash nameHash) {
    if (name.empty() || name.size() > kMaxNameLength)
        return K::Unknown;
    std::uint32_t hash = nameHash.Value();
    for (std::size_t probe = 0; probe < kTable.longestProbe; ++probe) {
        const Slot& slot = kTable.slots[(hash + probe) & (kTableSize - 1)];
        if (slot.length == 0)
            return K::Unknown;
        if (slot.length == name.size() && std::memcmp(slot.name, name.data(), name.size()) == 0)
            return slot.keyword;
    }
    return K::Unknown;
}

std::vector<std::pair<std::string_view, RtfKeyword>> RtfKeywordNames() {
    std::vector<std::pair<std::string_view, RtfKeyword>> names;
    for (std::string_view name : kSkipped)
        names.emplace_back(name, K::SkippedDestination);
    for (const auto& pair : kWords)
        names.push_back(pair);
    return names;
}

} // namespace cadhost::text
