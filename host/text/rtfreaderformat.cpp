// The Rich Text reader's formatting: the font table, the style sheet, character and
// paragraph formatting words.
#include "text/rtfreaderimpl.h"

#include <algorithm>

namespace cadhost::text::rtf {

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
    TablesChanged();
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

} // namespace cadhost::text::rtf
