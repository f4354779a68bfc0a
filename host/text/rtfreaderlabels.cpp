// Text the Rich Text reader makes itself: note numbers, Word 6 list labels, the
// character of a SYMBOL field.
#include "text/rtfreaderimpl.h"

#include "text/utf8.h"

#include <algorithm>
#include <iterator>

namespace cadhost::text::rtf {

std::string FormatNoteNumber(int number, NoteNumbering style) {
    if (number < 1)
        number = 1;
    switch (style) {
    case NoteNumbering::Arabic:
        return std::to_string(number);
    case NoteNumbering::LowerAlpha:
    case NoteNumbering::UpperAlpha: {
        // a..z, then aa..zz, as word processors count
        char letter =
            static_cast<char>((style == NoteNumbering::LowerAlpha ? 'a' : 'A') + (number - 1) % 26);
        return std::string(static_cast<std::size_t>((number - 1) / 26 + 1), letter);
    }
    case NoteNumbering::LowerRoman:
    case NoteNumbering::UpperRoman: {
        static const std::pair<int, const char*> kRoman[] = {
            {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
            {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
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

void Reader::NoteMark() {
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

void Reader::OldListWord(RtfKeyword keyword, int parameter) {
    using K = RtfKeyword;
    switch (keyword) {
    case K::OldListBullet:
        oldList_.level = -1;
        break;
    case K::OldListBody:
        oldList_.level = 0;
        break;
    case K::OldListLevel:
        oldList_.level = std::clamp(parameter, 1, 9);
        break;
    case K::OldListContinue:
        oldList_.level = -2;
        break;
    case K::OldListDecimal:
        oldList_.numbering = NoteNumbering::Arabic;
        break;
    case K::OldListUpperLetter:
        oldList_.numbering = NoteNumbering::UpperAlpha;
        break;
    case K::OldListLowerLetter:
        oldList_.numbering = NoteNumbering::LowerAlpha;
        break;
    case K::OldListUpperRoman:
        oldList_.numbering = NoteNumbering::UpperRoman;
        break;
    case K::OldListLowerRoman:
        oldList_.numbering = NoteNumbering::LowerRoman;
        break;
    case K::OldListStart:
        oldList_.start = std::clamp(parameter, 0, 100000);
        break;
    case K::OldListFont:
        // The texts before and after the number are in the list's font.
        oldList_.font = parameter;
        Top().chr.font = parameter;
        break;
    case K::OldListTextBefore:
    case K::OldListTextAfter:
        if (stack_.size() > 2) {
            Top().dest = Dest::OldListText;
            Top().textAfter = keyword == K::OldListTextAfter;
        }
        break;
    default:
        break;
    }
}

// A Word 6 list level names its number's style but documents written for newer readers
// also give the number as text (\pntext); only paragraphs without that text get a label
// made here, as Word would show it.
void Reader::OldListLabel() {
    if (builder_.HasOpenText() || oldList_.level == -2)
        return;
    std::string label;
    if (oldList_.level == -1) {
        label = oldList_.before.empty() ? std::string("\u2022") : oldList_.before;
    } else {
        auto level = static_cast<std::size_t>(oldList_.level);
        if (!lastParagraphListed_)
            std::fill(std::begin(oldListCounters_), std::end(oldListCounters_), 0);
        int& counter = oldListCounters_[level];
        counter = counter == 0 ? std::max(oldList_.start, 1) : counter + 1;
        for (std::size_t deeper = level + 1; deeper < std::size(oldListCounters_); ++deeper)
            oldListCounters_[deeper] = 0;
        label = oldList_.before + FormatNoteNumber(counter, oldList_.numbering) + oldList_.after;
    }
    label += '\t';
    CharFormat format =
        oldList_.font >= 0 ? CurrentFormatIn(ResolveFont(oldList_.font)) : CurrentFormat();
    builder_.AppendText(format, Top().para.format, SymbolGlyphsAsBullets(label));
    textCount_ += label.size();
    openParagraphListed_ = true;
}

// A SYMBOL field shows one character, named by number in its instruction; Word stores no
// result for it, so the character is inserted here.
void Reader::EndField() {
    FieldState field = std::move(fields_.back());
    fields_.pop_back();
    if (textCount_ != field.textAtStart)
        return;
    std::string_view rest = field.instruction;
    auto skipSpaces = [&] {
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
    };
    skipSpaces();
    if (rest.size() < 6)
        return;
    std::string keyword(rest.substr(0, 6));
    for (char& c : keyword)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (keyword != "SYMBOL")
        return;
    rest.remove_prefix(6);
    skipSpaces();
    long long code = 0;
    bool hex = rest.starts_with("0x") || rest.starts_with("0X");
    if (hex)
        rest.remove_prefix(2);
    std::size_t digits = 0;
    while (!rest.empty() && digits < 8) {
        int value = HexDigit(rest.front());
        if (value < 0 || (!hex && value > 9))
            break;
        code = code * (hex ? 16 : 10) + value;
        rest.remove_prefix(1);
        ++digits;
    }
    if (digits == 0 || code <= 0 || code > 0x10FFFF)
        return;
    std::string fontName;
    bool unicode = false;
    while (!rest.empty()) {
        skipSpaces();
        if (rest.size() < 2 || rest.front() != '\\') {
            if (!rest.empty())
                rest.remove_prefix(1);
            continue;
        }
        char option = rest[1];
        rest.remove_prefix(2);
        if (option == 'u')
            unicode = true;
        if (option != 'f')
            continue;
        skipSpaces();
        if (!rest.empty() && rest.front() == '"') {
            rest.remove_prefix(1);
            auto close = rest.find('"');
            fontName = std::string(rest.substr(0, close));
            rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
        } else {
            auto end = rest.find_first_of(" \t\\");
            fontName = std::string(rest.substr(0, end));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
        }
    }
    char32_t c = static_cast<char32_t>(code);
    if (!unicode && code >= 0x80 && code <= 0xFF && !IsSymbolFontName(fontName)) {
        ByteDecoder decoder(documentCodePage_);
        char32_t decoded = decoder.Decode(static_cast<std::uint8_t>(code));
        if (decoded != ByteDecoder::kNoChar)
            c = decoded;
    }
    std::string text;
    AppendTextChar(text, c);
    if (text.empty())
        return;
    RtfFontEntry entry;
    entry.name = fontName;
    RtfFont font = MakeFont(entry);
    CharFormat format = fontName.empty() ? CurrentFormat() : CurrentFormatIn(font);
    builder_.AppendText(format, Top().para.format, text);
    textCount_ += text.size();
}

} // namespace cadhost::text::rtf
