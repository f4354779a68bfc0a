#include "text/rtftables.h"

#include "text/codepages.h"

#include <algorithm>

namespace cadhost::text {
namespace {

constexpr std::size_t kMaxStyleChain = 8;
constexpr std::size_t kMaxColors = 4096;

std::string CleanFontName(const std::string& raw) {
    std::string name;
    for (char c : raw) {
        unsigned char u = static_cast<unsigned char>(c);
        // '|' and ';' end the fields of an MText font code, braces and backslashes are
        // MText syntax; none of them belongs in a family name.
        if (u < 0x20 || c == '|' || c == ';' || c == '\\' || c == '{' || c == '}')
            continue;
        name.push_back(c);
    }
    auto first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    auto last = name.find_last_not_of(' ');
    return name.substr(first, last - first + 1);
}

} // namespace

bool IsSymbolFontName(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "symbol",        "wingdings",    "wingdings 2", "wingdings 3", "webdings",
        "zapf dingbats", "zapfdingbats", "mt extra",    "marlett",     "ms outlook"};
    std::string lower;
    for (char c : name)
        lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    for (std::string_view known : kNames)
        if (lower == known)
            return true;
    return false;
}

int EntryCodePage(const RtfFontEntry& entry, int documentCodePage) {
    if (entry.codePage > 0 && IsKnownCodePage(entry.codePage))
        return entry.codePage;
    int fromCharset = entry.charset >= 0 ? CodePageForCharset(entry.charset) : 0;
    // A symbol font's name is spelled in ordinary letters, not in its glyph positions.
    if (fromCharset == kSymbolCodePage)
        fromCharset = 0;
    return fromCharset != 0 ? fromCharset : documentCodePage;
}

RtfFont MakeFont(const RtfFontEntry& entry) {
    RtfFont font;
    font.face.name = CleanFontName(entry.name);
    font.alternative = CleanFontName(entry.alternative);
    if (font.face.name.empty())
        font.face.name = font.alternative.empty() ? DefaultFontFace().name : font.alternative;
    int charset = entry.charset;
    if (charset < 0 && IsSymbolFontName(font.face.name))
        charset = 2;
    font.face.charset = (charset >= 0 && charset <= 255) ? charset : 0;
    font.face.pitchAndFamily = (entry.family & 0xF0) | (entry.pitch & 0x03);
    if (entry.codePage > 0 && IsKnownCodePage(entry.codePage))
        font.codePage = entry.codePage;
    else if (charset >= 0)
        font.codePage = CodePageForCharset(charset);
    return font;
}

void RtfStyleSheet::Add(const RtfStyleEntry& entry) {
    if (entry.kind == RtfStyleEntry::Kind::None)
        return;
    MapOf(entry.kind)[entry.number] = entry.style;
    flattened_.clear();
}

const std::vector<RtfRecordedWord>* RtfStyleSheet::Flattened(RtfStyleEntry::Kind kind, int number) {
    long long key = (static_cast<long long>(kind == RtfStyleEntry::Kind::Character) << 32) |
                    static_cast<unsigned int>(number);
    auto cached = flattened_.find(key);
    if (cached != flattened_.end())
        return &cached->second;
    Map& map = MapOf(kind);
    if (map.find(number) == map.end())
        return nullptr;
    // Walk up the chain of bases (bounded, and safe against a style based on itself), then
    // replay from the most basic style down.
    std::vector<const RtfStyle*> chain;
    int current = number;
    while (chain.size() < kMaxStyleChain) {
        auto found = map.find(current);
        if (found == map.end())
            break;
        chain.push_back(&found->second);
        if (found->second.basedOn < 0 || found->second.basedOn == current)
            break;
        current = found->second.basedOn;
    }
    std::vector<RtfRecordedWord> words;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const auto& word : (*it)->words)
            if (words.size() < kMaxWordsPerStyle)
                words.push_back(word);
    return &flattened_.emplace(key, std::move(words)).first->second;
}

void RtfColorTable::SetComponent(RtfKeyword keyword, int value) {
    auto v = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    if (keyword == RtfKeyword::Red)
        pending_.red = v;
    else if (keyword == RtfKeyword::Green)
        pending_.green = v;
    else
        pending_.blue = v;
    pendingSet_ = true;
}

void RtfColorTable::EndEntry() {
    if (colors_.size() < kMaxColors) {
        if (pendingSet_)
            colors_.emplace_back(pending_);
        else
            colors_.emplace_back(std::nullopt);
    }
    pending_ = Rgb{};
    pendingSet_ = false;
}

std::optional<Rgb> RtfColorTable::At(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= colors_.size())
        return std::nullopt;
    return colors_[static_cast<std::size_t>(index)];
}

} // namespace cadhost::text
