// The Rich Text reader's syntax: groups, control words and symbols, text, and which
// destination a control word goes to.
#include "text/rtfreader.h"

#include "text/rtfreaderimpl.h"
#include "text/utf8.h"

#include <algorithm>
#include <climits>

namespace cadhost::text {
namespace rtf {

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
        while (!rest.empty() &&
               (rest.front() == ' ' || rest.front() == '\r' || rest.front() == '\n'))
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
    child.field = false;
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
    if (group.field)
        EndField();
    Group closed = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.empty()) {
        finished_ = true;
        return;
    }
    if (closed.dest == Dest::OldList && Top().dest != Dest::OldList)
        OldListLabel();
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
    if ((starred && keyword == RtfKeyword::Unknown) || keyword == RtfKeyword::SkippedDestination) {
        if (!isRoot)
            SkipGroup();
        return;
    }
    Dispatch(keyword, parameter, hasParameter);
}

void Reader::OnControlSymbol(char symbol) {
    if (symbol == '\'') {
        int high = pos_ < data_.size() ? HexDigit(data_[pos_]) : -1;
        if (high < 0)
            return;
        ++pos_;
        int low = pos_ < data_.size() ? HexDigit(data_[pos_]) : -1;
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
        OnBytes(std::string_view(&byte, 1), false);
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
        OnBytes(std::string_view(&symbol, 1), false);
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
        OnBytes(bytes, true);
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
    case Dest::OldList:
        OldListWord(keyword, parameter);
        return;
    case Dest::FieldInstruction:
    case Dest::OldListText:
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

} // namespace rtf

TextDocument ReadRtf(std::string_view rtf, RtfLiterals literals) {
    rtf::Reader reader(rtf, literals);
    return reader.Read();
}

} // namespace cadhost::text
