// The Rich Text reader's text: decoding bytes and Unicode escapes, and the character
// format that text gets.
#include "text/rtfreaderimpl.h"

#include "text/utf8.h"

#include <algorithm>

namespace cadhost::text::rtf {

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

void Reader::OnBytes(std::string_view bytes, bool literal) {
    Group& group = Top();
    switch (group.dest) {
    case Dest::Body:
    case Dest::ListText: {
        scratch_.clear();
        decoder_.SetCodePage(CurrentCodePage());
        bool ascii = decoder_.AsciiTransparent();
        for (std::size_t i = 0; i < bytes.size();) {
            auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80 && ascii && !decoder_.Pending()) {
                // The characters AppendTextChar keeps: DEL is as much a control as the rest.
                if ((b >= 0x20 && b != 0x7F) || b == '\t')
                    scratch_.push_back(bytes[i]);
                ++i;
                continue;
            }
            char32_t c = NextChar(bytes, i, literal);
            if (c != ByteDecoder::kNoChar)
                AppendTextChar(scratch_, c);
        }
        EmitText(scratch_);
        return;
    }
    case Dest::FontTable:
    case Dest::FontAlt: {
        for (std::size_t i = 0; i < bytes.size();) {
            if (bytes[i] == ';' && group.dest == Dest::FontTable) {
                ++i;
                FinishFont();
                continue;
            }
            if (!fontEntry_.active) {
                ++i;
                continue;
            }
            decoder_.SetCodePage(EntryCodePage(fontEntry_, documentCodePage_));
            char32_t c = NextChar(bytes, i, literal);
            if (c == ByteDecoder::kNoChar)
                continue;
            std::string& target =
                group.dest == Dest::FontAlt ? fontEntry_.alternative : fontEntry_.name;
            if (target.size() < 256)
                AppendTextChar(target, c);
        }
        return;
    }
    case Dest::FieldInstruction:
    case Dest::OldListText: {
        scratch_.clear();
        decoder_.SetCodePage(CurrentCodePage());
        for (std::size_t i = 0; i < bytes.size();) {
            char32_t c = NextChar(bytes, i, literal);
            if (c != ByteDecoder::kNoChar)
                AppendTextChar(scratch_, c);
        }
        EmitText(scratch_);
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

// The character of the byte(s) at pos, advancing past them: the current code page decodes a
// byte (kNoChar while a lead byte waits), but a literal UTF-8 sequence is read whole when the
// document's literals are UTF-8.  An escaped byte is always one of the code page.
char32_t Reader::NextChar(std::string_view bytes, std::size_t& pos, bool literal) {
    auto b = static_cast<unsigned char>(bytes[pos]);
    if (literal && utf8Literals_ && b >= 0x80) {
        decoder_.Reset();
        return NextUtf8(bytes, pos);
    }
    ++pos;
    return decoder_.Decode(b);
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
    if (group.dest == Dest::FieldInstruction || group.dest == Dest::OldListText) {
        std::string& target = group.dest == Dest::OldListText
                                  ? (group.textAfter ? oldList_.after : oldList_.before)
                                  : (fields_.empty() ? scratchField_ : fields_.back().instruction);
        if (target.size() < kMaxFieldInstruction)
            target.append(utf8.substr(0, kMaxFieldInstruction - target.size()));
        return;
    }
    if (group.dest != Dest::Body && group.dest != Dest::ListText)
        return;
    textCount_ += utf8.size();
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
    // Bytes that decoded to nothing leave the document as it was: not even their font is
    // one of its fonts.
    if (!utf8.empty())
        builder_.AppendText(CurrentFormat(), group.para.format, utf8);
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
    return CurrentFormatIn(ResolveFont(Top().chr.font));
}

// The document's fonts are those its text uses, in the order of first use: a font joins
// them here, when text in it is about to be added.
CharFormat Reader::CurrentFormatIn(RtfFont& font) {
    const CharState& chr = Top().chr;
    if (font.documentIndex < 0)
        font.documentIndex = builder_.AddFont(font.face);
    CharFormat format;
    format.font = font.documentIndex;
    format.halfPoints = chr.halfPoints;
    format.bold = chr.bold;
    format.italic = chr.italic;
    format.underline = chr.underline;
    format.strike = chr.strike;
    format.hidden = chr.hidden;
    format.vertical = chr.vertical;
    if (auto color = colors_.At(chr.color)) {
        format.hasColor = true;
        format.color = *color;
    }
    return format;
}

} // namespace cadhost::text::rtf
