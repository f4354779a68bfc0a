#include "text/rtfreader.h"

#include "text/codepages.h"
#include "text/documentbuilder.h"
#include "text/rtfkeywords.h"
#include "text/rtftables.h"
#include "text/utf8.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace cadhost::text {
namespace {

// Groups nested deeper than this are read as if their braces were not there: real
// documents stay far below it, and the state kept per group stays bounded.
constexpr std::size_t kMaxGroupDepth = 256;
// Word's own limits; more would only let a damaged file grow every group's state.
constexpr std::size_t kMaxTabStops = 64;
constexpr std::size_t kMaxCells = 256;
constexpr int kMaxTwips = 1'000'000;
constexpr int kMaxHalfPoints = 3276;

enum class Dest : std::uint8_t {
    Body,       // document text
    ListText,   // the number or bullet of a list paragraph: text, but no paragraph formatting
    Skip,       // a nested group of a footnote or of the ANSI half of \upr
    FontTable,  // the font table and its entries
    FontAlt,    // a font's alternative name
    ColorTable, // the colour table
    StyleSheet, // the style sheet and its entries
    Footnote,   // a footnote or endnote: its text is left out, its kind is noted
    NestedTableProps,
    Defaults,    // \defchp or \defpap
    UnicodePair, // \upr: only the \ud half is read
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
    int unicodeSkip = 1;
    CharState chr;
    ParaState para;
};

enum class NoteNumbering { Arabic, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman, Chicago };

std::string FormatNoteNumber(int number, NoteNumbering style) {
    if (number < 1)
        number = 1;
    switch (style) {
    case NoteNumbering::Arabic:
        return std::to_string(number);
    case NoteNumbering::LowerAlpha:
    case NoteNumbering::UpperAlpha: {
        // a..z, then aa..zz, as word processors count
        char letter = static_cast<char>((style == NoteNumbering::LowerAlpha ? 'a' : 'A') +
                                        (number - 1) % 26);
        return std::string(static_cast<std::size_t>((number - 1) / 26 + 1), letter);
    }
    case NoteNumbering::LowerRoman:
    case NoteNumbering::UpperRoman: {
        static const std::pair<int, const char*> kRoman[] = {
            {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
            {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},   {4, "iv"},  {1, "i"}};
        std::string text;
        int rest = std::min(number, 3999);
        for (const auto& [value, digits] : kRoman)
            while (rest >= value) {
                text += digits;
                rest -= value;
            }
        if (style == NoteNumbering::UpperRoman)
            for (char& c : text)
                c = static_cast<char>(c - 'a' + 'A');
        return text;
    }
    case NoteNumbering::Chicago: {
        static const char* kMarks[] = {"*", "\u2020", "\u2021", "\u00A7"};
        std::string text;
        for (int i = 0; i <= (number - 1) / 4 && i < 8; ++i)
            text += kMarks[(number - 1) % 4];
        return text;
    }
    }
    return std::to_string(number);
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Appends a decoded character to text, leaving out the control characters that have no
// place in a document's text (tabs and line breaks reach the model through their words).
void AppendTextChar(std::string& out, char32_t c) {
    if (c < 0x20 ? c != '\t' : (c >= 0x7F && c < 0xA0))
        return;
    AppendUtf8(out, c);
}

// The bullet of a list in a symbol font (Symbol's dot, Wingdings' square or arrow) is a
// private-use character that shows as intended only where that font is installed; as a
// list's label it is written as the plain bullet U+2022, which every font has.
std::string SymbolGlyphsAsBullets(std::string_view utf8) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t start = pos;
        char32_t c = NextUtf8(utf8, pos);
        if (c >= 0xF020 && c <= 0xF0FF)
            AppendUtf8(out, 0x2022);
        else
            out.append(utf8.substr(start, pos - start));
    }
    return out;
}

class Reader {
public:
    explicit Reader(std::string_view input) : data_(input) {}

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
    void OnBytes(std::string_view bytes);
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

    // Fonts and formats
    void BeginFont(int number);
    void FinishFont();
    void FinishStyle();
    RtfFont& ResolveFont(int number);
    int CurrentCodePage();
    CharFormat CurrentFormat();

    // Structure
    void EndParagraph(ParagraphEnd end, int tableLevel);
    void NoteMark();
    void ResolveNote(bool endnote);

    Group& Top() { return stack_.back(); }

    std::string_view data_;
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

    bool notePending_ = false;
    DocumentBuilder::Position notePosition_;
    int nextFootnote_ = 1;
    int nextEndnote_ = 1;
    NoteNumbering footnoteNumbering_ = NoteNumbering::Arabic;
    NoteNumbering endnoteNumbering_ = NoteNumbering::LowerRoman;
};

TextDocument Reader::Read() {
    while (pos_ < data_.size() && !finished_) {
        char c = data_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            OpenGroup();
            break;
        case '}':
            ++pos_;
            CloseGroup();
            break;
        case '\\':
            ReadControl();
            break;
        case '\r':
        case '\n':
            ++pos_;
            break;
        default:
            ReadText();
            break;
        }
    }
    FlushSurrogate();
    if (notePending_)
        ResolveNote(false);
    builder_.SetDefaultHalfPoints(defaultChar_.halfPoints);
    return builder_.Finish();
}

void Reader::OpenGroup() {
    skipCount_ = 0;
    if (stack_.empty()) {
        Group root;
        root.chr = defaultChar_;
        root.para = defaultPara_;
        stack_.push_back(std::move(root));
        return;
    }
    if (flatDepth_ > 0 || stack_.size() >= kMaxGroupDepth) {
        ++flatDepth_;
        return;
    }
    Group child = stack_.back();
    bool skip = false;
    switch (child.dest) {
    case Dest::Footnote:
        skip = true;
        break;
    case Dest::UnicodePair: {
        // Of the two halves of \upr only the Unicode one, {\*\ud ...}, is read.
        std::string_view rest = data_.substr(pos_);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\r' ||
                                 rest.front() == '\n'))
            rest.remove_prefix(1);
        bool unicodeHalf = rest.starts_with("\\*\\ud") && (rest.size() == 5 || !IsLetter(rest[5]));
        if (unicodeHalf)
            child.dest = stack_.back().outer;
        else
            skip = true;
        break;
    }
    default:
        break;
    }
    child.endnote = false;
    if (skip)
        child.dest = Dest::Skip;
    stack_.push_back(std::move(child));
    if (skip)
        SkipGroup();
}

void Reader::CloseGroup() {
    skipCount_ = 0;
    if (flatDepth_ > 0) {
        --flatDepth_;
        return;
    }
    if (stack_.empty())
        return;
    Group& group = Top();
    switch (group.dest) {
    case Dest::FontTable:
        FinishFont();
        break;
    case Dest::StyleSheet:
        FinishStyle();
        break;
    case Dest::Footnote:
        if (notePending_)
            ResolveNote(group.endnote);
        break;
    case Dest::Defaults:
        if (group.defaultsAreChar)
            defaultChar_ = group.chr;
        else
            defaultPara_ = group.para;
        break;
    default:
        break;
    }
    Group closed = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.empty()) {
        finished_ = true;
        return;
    }
    if (closed.dest == Dest::Defaults) {
        // The defaults hold from here on for text that does not reset them itself.
        if (closed.defaultsAreChar)
            Top().chr = defaultChar_;
        else
            Top().para = defaultPara_;
    }
}

// Consumes the rest of the current group without reading it, then closes the group.
void Reader::SkipGroup() {
    std::size_t depth = 1;
    while (pos_ < data_.size()) {
        char c = data_[pos_++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                break;
        } else if (c == '\\' && pos_ < data_.size()) {
            char next = data_[pos_];
            if (!IsLetter(next)) {
                ++pos_; // an escaped brace or backslash is no group delimiter
                continue;
            }
            std::size_t start = pos_;
            while (pos_ < data_.size() && IsLetter(data_[pos_]))
                ++pos_;
            if (data_.substr(start, pos_ - start) != "bin")
                continue;
            long long count = 0;
            bool hasCount = false;
            while (pos_ < data_.size() && IsDigit(data_[pos_])) {
                if (count < INT_MAX)
                    count = count * 10 + (data_[pos_] - '0');
                hasCount = true;
                ++pos_;
            }
            if (pos_ < data_.size() && data_[pos_] == ' ')
                ++pos_;
            if (hasCount)
                SkipBinary(static_cast<int>(std::min<long long>(count, INT_MAX)));
        }
    }
    if (depth == 0)
        CloseGroup();
}

void Reader::SkipBinary(int count) {
    if (count <= 0)
        return;
    std::size_t left = data_.size() - pos_;
    pos_ += std::min<std::size_t>(left, static_cast<std::size_t>(count));
}

void Reader::ReadControl() {
    ++pos_; // the backslash
    if (pos_ >= data_.size())
        return;
    char c = data_[pos_];
    if (!IsLetter(c)) {
        ++pos_;
        OnControlSymbol(c);
        return;
    }
    std::size_t start = pos_;
    while (pos_ < data_.size() && IsLetter(data_[pos_]))
        ++pos_;
    std::string_view name = data_.substr(start, pos_ - start);
    bool negative = false;
    if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    long long value = 0;
    bool hasParameter = false;
    while (pos_ < data_.size() && IsDigit(data_[pos_])) {
        // Saturate: a parameter of forty digits is a damaged file, not a reason to overflow.
        if (value <= INT_MAX)
            value = value * 10 + (data_[pos_] - '0');
        hasParameter = true;
        ++pos_;
    }
    if (pos_ < data_.size() && data_[pos_] == ' ')
        ++pos_; // the delimiter belongs to the control word
    value = std::min<long long>(value, INT_MAX);
    int parameter = static_cast<int>(negative ? -value : value);
    OnControlWord(name, parameter, hasParameter);
}

void Reader::OnControlWord(std::string_view name, int parameter, bool hasParameter) {
    RtfKeyword keyword = LookupRtfKeyword(name);
    bool starred = starPending_;
    starPending_ = false;
    if (keyword == RtfKeyword::Binary) {
        // Binary data is never text; in a \u fallback it counts as one character.
        if (skipCount_ > 0)
            --skipCount_;
        SkipBinary(hasParameter ? parameter : 0);
        return;
    }
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    if (stack_.empty())
        return;
    bool isRoot = stack_.size() == 1 && flatDepth_ == 0;
    if ((starred && keyword == RtfKeyword::Unknown) ||
        keyword == RtfKeyword::SkippedDestination) {
        if (!isRoot)
            SkipGroup();
        return;
    }
    Dispatch(keyword, parameter, hasParameter);
}

void Reader::OnControlSymbol(char symbol) {
    if (symbol == '\'') {
        int high = pos_ < data_.size() ? HexValue(data_[pos_]) : -1;
        if (high < 0)
            return;
        ++pos_;
        int low = pos_ < data_.size() ? HexValue(data_[pos_]) : -1;
        int value = high;
        if (low >= 0) {
            ++pos_;
            value = high * 16 + low;
        }
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        if (stack_.empty())
            return;
        char byte = static_cast<char>(value);
        OnBytes(std::string_view(&byte, 1));
        return;
    }
    if (symbol == '*') {
        starPending_ = true;
        return;
    }
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    if (stack_.empty())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        OnBytes(std::string_view(&symbol, 1));
        break;
    case '~':
        EmitChar(0x00A0);
        break;
    case '_':
        EmitChar(0x2011);
        break;
    case '\t':
        EmitChar('\t');
        break;
    case '\r':
    case '\n':
        Dispatch(RtfKeyword::Par, 0, false);
        break;
    default:
        // \- (optional hyphen), \: (index subentry), \| (formula) show nothing.
        break;
    }
}

void Reader::ReadText() {
    std::size_t start = pos_;
    while (pos_ < data_.size()) {
        char c = data_[pos_];
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++pos_;
    }
    std::string_view bytes = data_.substr(start, pos_ - start);
    if (skipCount_ > 0) {
        std::size_t n = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(skipCount_));
        bytes.remove_prefix(n);
        skipCount_ -= static_cast<int>(n);
    }
    if (!bytes.empty() && !stack_.empty())
        OnBytes(bytes);
}

void Reader::OnBytes(std::string_view bytes) {
    Group& group = Top();
    switch (group.dest) {
    case Dest::Body:
    case Dest::ListText: {
        if (group.chr.hidden)
            return;
        scratch_.clear();
        decoder_.SetCodePage(CurrentCodePage());
        bool ascii = decoder_.AsciiTransparent();
        for (char ch : bytes) {
            auto b = static_cast<unsigned char>(ch);
            if (b < 0x80 && ascii && !decoder_.Pending()) {
                if (b >= 0x20 || b == '\t')
                    scratch_.push_back(ch);
                continue;
            }
            char32_t c = decoder_.Decode(b);
            if (c != ByteDecoder::kNoChar)
                AppendTextChar(scratch_, c);
        }
        EmitText(scratch_);
        return;
    }
    case Dest::FontTable:
    case Dest::FontAlt: {
        for (char ch : bytes) {
            if (ch == ';' && group.dest == Dest::FontTable) {
                FinishFont();
                continue;
            }
            if (!fontEntry_.active)
                continue;
            decoder_.SetCodePage(EntryCodePage(fontEntry_, documentCodePage_));
            char32_t c = decoder_.Decode(static_cast<unsigned char>(ch));
            if (c == ByteDecoder::kNoChar)
                continue;
            std::string& target =
                group.dest == Dest::FontAlt ? fontEntry_.alternative : fontEntry_.name;
            if (target.size() < 256)
                AppendTextChar(target, c);
        }
        return;
    }
    case Dest::ColorTable:
        for (char ch : bytes)
            if (ch == ';')
                colors_.EndEntry();
        return;
    case Dest::StyleSheet:
        for (char ch : bytes)
            if (ch == ';')
                FinishStyle();
        return;
    default:
        return;
    }
}

void Reader::OnUnicode(int value) {
    char32_t c = static_cast<char32_t>(value < 0 ? value + 65536 : value);
    if (value < -32768 || c > 0x10FFFF)
        c = kReplacementChar;
    if (c >= 0xD800 && c <= 0xDBFF) {
        FlushSurrogate();
        pendingHigh_ = c;
        return;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (pendingHigh_ != 0) {
            char32_t pair = 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (c - 0xDC00);
            pendingHigh_ = 0;
            EmitChar(pair);
        } else {
            EmitChar(kReplacementChar);
        }
        return;
    }
    EmitChar(c);
}

void Reader::FlushSurrogate() {
    if (pendingHigh_ == 0)
        return;
    pendingHigh_ = 0;
    EmitChar(kReplacementChar);
}

void Reader::EmitChar(char32_t c) {
    if (stack_.empty())
        return;
    Group& group = Top();
    if (group.dest == Dest::FontTable || group.dest == Dest::FontAlt) {
        if (!fontEntry_.active)
            return;
        std::string& target =
            group.dest == Dest::FontAlt ? fontEntry_.alternative : fontEntry_.name;
        if (target.size() < 256)
            AppendTextChar(target, c);
        return;
    }
    scratch_.clear();
    if (c == '\n')
        scratch_.push_back('\n'); // a line break from \line; decoded text never holds one
    else
        AppendTextChar(scratch_, c);
    EmitText(scratch_);
}

void Reader::EmitText(std::string_view utf8) {
    Group& group = Top();
    if ((group.dest != Dest::Body && group.dest != Dest::ListText) || group.chr.hidden)
        return;
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        std::string replacement;
        AppendUtf8(replacement, kReplacementChar);
        builder_.AppendText(CurrentFormat(), group.para.format, replacement);
    }
    if (group.dest == Dest::ListText && utf8.find("\xEF") != std::string_view::npos) {
        builder_.AppendText(CurrentFormat(), group.para.format, SymbolGlyphsAsBullets(utf8));
        return;
    }
    builder_.AppendText(CurrentFormat(), group.para.format, utf8);
}

void Reader::Dispatch(RtfKeyword keyword, int parameter, bool hasParameter) {
    Group& group = Top();
    if (keyword == RtfKeyword::UnicodeSkip) {
        group.unicodeSkip = std::clamp(parameter, 0, 255);
        return;
    }
    if (keyword == RtfKeyword::Unicode) {
        if (hasParameter && group.dest != Dest::ColorTable && group.dest != Dest::StyleSheet)
            OnUnicode(parameter);
        skipCount_ = group.unicodeSkip;
        return;
    }
    switch (group.dest) {
    case Dest::FontTable:
    case Dest::FontAlt:
        FontTableWord(keyword, parameter);
        return;
    case Dest::ColorTable:
        if (keyword == RtfKeyword::Red || keyword == RtfKeyword::Green ||
            keyword == RtfKeyword::Blue)
            colors_.SetComponent(keyword, parameter);
        return;
    case Dest::StyleSheet:
        StyleSheetWord(keyword, parameter, hasParameter);
        return;
    case Dest::Footnote:
        if (keyword == RtfKeyword::Endnote)
            group.endnote = true;
        return;
    case Dest::NestedTableProps:
        if (keyword == RtfKeyword::NestedRow) {
            builder_.EndRow(std::max(2, group.para.nesting), nullptr);
        }
        return;
    case Dest::Defaults:
        if (!CharWord(group.chr, keyword, parameter, hasParameter))
            ParaWord(group.para, keyword, parameter, hasParameter);
        return;
    case Dest::UnicodePair:
    case Dest::Skip:
        return;
    case Dest::Body:
    case Dest::ListText:
        BodyWord(keyword, parameter, hasParameter);
        return;
    }
}

void Reader::BeginFont(int number) {
    FinishFont();
    fontEntry_ = RtfFontEntry{};
    fontEntry_.active = true;
    fontEntry_.number = number;
}

void Reader::FinishFont() {
    if (!fontEntry_.active)
        return;
    fonts_[fontEntry_.number] = MakeFont(fontEntry_);
    fontEntry_ = RtfFontEntry{};
}

void Reader::FontTableWord(RtfKeyword keyword, int parameter) {
    using K = RtfKeyword;
    if (keyword == K::Font) {
        BeginFont(parameter);
        return;
    }
    if (keyword == K::FontAlternative) {
        Top().dest = Dest::FontAlt;
        return;
    }
    if (!fontEntry_.active)
        return;
    switch (keyword) {
    case K::FontFamilyNil:
    case K::FontFamilyTech:
    case K::FontFamilyBidi:
        fontEntry_.family = 0x00;
        break;
    case K::FontFamilyRoman:
        fontEntry_.family = 0x10;
        break;
    case K::FontFamilySwiss:
        fontEntry_.family = 0x20;
        break;
    case K::FontFamilyModern:
        fontEntry_.family = 0x30;
        break;
    case K::FontFamilyScript:
        fontEntry_.family = 0x40;
        break;
    case K::FontFamilyDecor:
        fontEntry_.family = 0x50;
        break;
    case K::FontCharset:
        fontEntry_.charset = parameter;
        break;
    case K::FontPitch:
        fontEntry_.pitch = std::clamp(parameter, 0, 2);
        break;
    case K::FontCodePage:
        fontEntry_.codePage = parameter;
        break;
    default:
        break;
    }
}

void Reader::StyleSheetWord(RtfKeyword keyword, int parameter, bool hasParameter) {
    using K = RtfKeyword;
    using Kind = RtfStyleEntry::Kind;
    if (!styleEntry_.active) {
        styleEntry_ = RtfStyleEntry{};
        styleEntry_.active = true;
    }
    switch (keyword) {
    case K::ParagraphStyle:
        styleEntry_.kind = Kind::Paragraph;
        styleEntry_.number = parameter;
        return;
    case K::CharStyle:
        styleEntry_.kind = Kind::Character;
        styleEntry_.number = parameter;
        return;
    case K::OtherStyle:
        styleEntry_.kind = Kind::None;
        return;
    case K::BasedOn:
        styleEntry_.style.basedOn = parameter;
        return;
    default:
        break;
    }
    if (KindOf(keyword) != RtfKeywordKind::Other &&
        styleEntry_.style.words.size() < RtfStyleSheet::kMaxWordsPerStyle)
        styleEntry_.style.words.push_back({keyword, parameter, hasParameter});
}

void Reader::FinishStyle() {
    if (!styleEntry_.active)
        return;
    styles_.Add(styleEntry_);
    styleEntry_ = RtfStyleEntry{};
}

void Reader::ApplyStyle(RtfStyleEntry::Kind kind, int number) {
    const auto* words = styles_.Flattened(kind, number);
    if (!words)
        return;
    Group& group = Top();
    for (const auto& word : *words) {
        if (!CharWord(group.chr, word.keyword, word.parameter, word.hasParameter) &&
            kind == RtfStyleEntry::Kind::Paragraph && group.dest == Dest::Body)
            ParaWord(group.para, word.keyword, word.parameter, word.hasParameter);
    }
}

bool Reader::CharWord(CharState& chr, RtfKeyword keyword, int parameter, bool hasParameter) {
    using K = RtfKeyword;
    bool on = !hasParameter || parameter != 0;
    switch (keyword) {
    case K::Plain:
        chr = defaultChar_;
        return true;
    case K::Font:
        chr.font = hasParameter ? parameter : -1;
        return true;
    case K::FontSize:
        chr.halfPoints = (hasParameter && parameter > 0) ? std::min(parameter, kMaxHalfPoints) : 24;
        return true;
    case K::Bold:
        chr.bold = on;
        return true;
    case K::Italic:
        chr.italic = on;
        return true;
    case K::Underline:
        chr.underline = on;
        return true;
    case K::UnderlineNone:
        chr.underline = false;
        return true;
    case K::Strike:
        chr.strike = on;
        return true;
    case K::Color:
        chr.color = hasParameter ? parameter : 0;
        return true;
    case K::Superscript:
        chr.vertical = VerticalPosition::Superscript;
        return true;
    case K::Subscript:
        chr.vertical = VerticalPosition::Subscript;
        return true;
    case K::NoSuperSub:
        chr.vertical = VerticalPosition::Baseline;
        return true;
    case K::Up:
        chr.vertical = (!hasParameter || parameter > 0) ? VerticalPosition::Superscript
                                                         : VerticalPosition::Baseline;
        return true;
    case K::Down:
        chr.vertical = (!hasParameter || parameter > 0) ? VerticalPosition::Subscript
                                                         : VerticalPosition::Baseline;
        return true;
    case K::Hidden:
        chr.hidden = on;
        return true;
    default:
        return false;
    }
}

bool Reader::ParaWord(ParaState& para, RtfKeyword keyword, int parameter, bool hasParameter) {
    using K = RtfKeyword;
    int twips = std::clamp(parameter, -kMaxTwips, kMaxTwips);
    ParagraphFormat& format = para.format;
    switch (keyword) {
    case K::ParagraphDefault:
        para = defaultPara_;
        return true;
    case K::FirstIndent:
        format.firstIndent = twips;
        return true;
    case K::LeftIndent:
        format.leftIndent = twips;
        return true;
    case K::RightIndent:
        format.rightIndent = twips;
        return true;
    case K::SpaceBefore:
        format.spaceBefore = twips;
        return true;
    case K::SpaceAfter:
        format.spaceAfter = twips;
        return true;
    case K::AlignLeft:
        format.alignment = Alignment::Left;
        return true;
    case K::AlignCenter:
        format.alignment = Alignment::Center;
        return true;
    case K::AlignRight:
        format.alignment = Alignment::Right;
        return true;
    case K::AlignJustify:
        format.alignment = Alignment::Justified;
        return true;
    case K::TabCenter:
        para.pendingTab = TabAlignment::Center;
        return true;
    case K::TabRight:
        para.pendingTab = TabAlignment::Right;
        return true;
    case K::TabDecimal:
        para.pendingTab = TabAlignment::Decimal;
        return true;
    case K::BarTabPosition:
        para.pendingTab = TabAlignment::Left;
        return true;
    case K::TabPosition: {
        TabStop stop{std::max(twips, 0), para.pendingTab};
        para.pendingTab = TabAlignment::Left;
        auto& tabs = format.tabs;
        auto at = std::lower_bound(tabs.begin(), tabs.end(), stop.position,
                                   [](const TabStop& t, int p) { return t.position < p; });
        if (at != tabs.end() && at->position == stop.position)
            *at = stop;
        else if (tabs.size() < kMaxTabStops)
            tabs.insert(at, stop);
        return true;
    }
    case K::InTable:
        para.inTable = true;
        return true;
    case K::TableNesting:
        para.nesting = std::clamp(parameter, 1, 64);
        if (hasParameter)
            para.inTable = parameter > 0;
        return true;
    default:
        return false;
    }
}

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
        if (stack_.size() > 1)
            group.dest = Dest::NestedTableProps;
        break;
    case K::ParagraphStyle:
        if (!inList)
            ApplyStyle(RtfStyleEntry::Kind::Paragraph, parameter);
        break;
    case K::CharStyle:
        ApplyStyle(RtfStyleEntry::Kind::Character, parameter);
        break;
    case K::RowDefaults:
        row_ = TableRow{};
        break;
    case K::RowLeft:
        row_.left = std::clamp(parameter, -kMaxTwips, kMaxTwips);
        break;
    case K::CellRight:
        if (row_.cellRightEdges.size() < kMaxCells)
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
        if (!inList)
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

RtfFont& Reader::ResolveFont(int number) {
    if (number < 0)
        number = defaultFont_;
    auto found = fonts_.find(number);
    if (found == fonts_.end())
        found = fonts_.find(defaultFont_);
    return found == fonts_.end() ? fallbackFont_ : found->second;
}

int Reader::CurrentCodePage() {
    const RtfFont& font = ResolveFont(Top().chr.font);
    return font.codePage != 0 ? font.codePage : documentCodePage_;
}

CharFormat Reader::CurrentFormat() {
    const CharState& chr = Top().chr;
    RtfFont& font = ResolveFont(chr.font);
    if (font.documentIndex < 0)
        font.documentIndex = builder_.AddFont(font.face);
    CharFormat format;
    format.font = font.documentIndex;
    format.halfPoints = chr.halfPoints;
    format.bold = chr.bold;
    format.italic = chr.italic;
    format.underline = chr.underline;
    format.strike = chr.strike;
    format.vertical = chr.vertical;
    if (auto color = colors_.At(chr.color)) {
        format.hasColor = true;
        format.color = *color;
    }
    return format;
}

void Reader::EndParagraph(ParagraphEnd end, int tableLevel) {
    const ParaState& para = Top().para;
    if (tableLevel < 0)
        tableLevel = para.inTable ? std::max(1, para.nesting) : 0;
    builder_.EndParagraph(para.format, tableLevel, end);
}

void Reader::NoteMark() {
    if (Top().chr.hidden)
        return;
    if (notePending_)
        ResolveNote(false);
    notePosition_ = builder_.Here(CurrentFormat());
    notePending_ = true;
}

void Reader::ResolveNote(bool endnote) {
    notePending_ = false;
    std::string number = endnote ? FormatNoteNumber(nextEndnote_++, endnoteNumbering_)
                                 : FormatNoteNumber(nextFootnote_++, footnoteNumbering_);
    builder_.InsertAt(notePosition_, number);
}

} // namespace

TextDocument ReadRtf(std::string_view rtf) {
    Reader reader(rtf);
    return reader.Read();
}

} // namespace cadhost::text
