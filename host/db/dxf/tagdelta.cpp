// Tag deltas: runs of tags copied from the source, skipped in it, or given as they are.
//
// The changes are a sequence of steps, each a letter and a count: 'C' copies the next count
// tags of the source, 'S' skips them, 'L' is followed by count bytes of tags laid out as
// they are.
#include "db/dxf/tagdelta.h"

#include "db/dxf/tags.h"

#include <cstdint>
#include <vector>

namespace cadhost::db::dxf {

namespace {

// A tag of a layout: where its two lines lie.
struct Span {
    std::size_t begin, end;
};

std::vector<Span> SpansOf(std::string_view layout) {
    std::vector<Span> spans;
    std::size_t pos = 0;
    while (pos < layout.size()) {
        std::size_t codeEnd = layout.find('\n', pos);
        if (codeEnd == std::string_view::npos)
            break;
        std::size_t valueEnd = layout.find('\n', codeEnd + 1);
        if (valueEnd == std::string_view::npos)
            break;
        spans.push_back({pos, valueEnd + 1});
        pos = valueEnd + 1;
    }
    return spans;
}

void Step(std::string& out, char letter, std::size_t count) {
    out += letter;
    for (; count >= 0x80; count >>= 7)
        out += static_cast<char>(0x80 | (count & 0x7F));
    out += static_cast<char>(count);
}

bool ReadStep(std::string_view delta, std::size_t& pos, char& letter, std::size_t& count) {
    if (pos >= delta.size())
        return false;
    letter = delta[pos++];
    count = 0;
    for (int shift = 0; pos < delta.size() && shift < 64; shift += 7) {
        auto b = static_cast<unsigned char>(delta[pos++]);
        count |= static_cast<std::size_t>(b & 0x7F) << shift;
        if (b < 0x80)
            return true;
    }
    return false;
}

} // namespace

std::string TagDelta(std::string_view from, std::string_view to) {
    const std::vector<Span> a = SpansOf(from), b = SpansOf(to);
    auto same = [&](std::size_t i, std::size_t j) {
        return from.substr(a[i].begin, a[i].end - a[i].begin) ==
               to.substr(b[j].begin, b[j].end - b[j].begin);
    };
    constexpr std::size_t kLook = 32; // how far a step looks ahead for the next match
    std::string delta;
    std::size_t i = 0, j = 0;
    char last = 0;
    std::size_t run = 0;
    auto flush = [&] {
        if (run)
            Step(delta, last, run);
        run = 0;
    };
    auto add = [&](char letter, std::size_t count) {
        if (letter != last)
            flush();
        last = letter;
        run += count;
    };
    while (j < b.size()) {
        if (i < a.size() && same(i, j)) {
            add('C', 1);
            ++i, ++j;
            continue;
        }
        // Tags of the source that are not wanted here, or tags that are new.
        std::size_t skip = 0;
        for (std::size_t k = i + 1; k < a.size() && k <= i + kLook && !skip; ++k)
            if (same(k, j))
                skip = k - i;
        if (skip) {
            add('S', skip);
            i += skip;
            continue;
        }
        // New tags up to one the source has a little further on (what they replace is
        // skipped then).
        auto ahead = [&](std::size_t at) {
            for (std::size_t k = i; k < a.size() && k <= i + kLook; ++k)
                if (same(k, at))
                    return true;
            return false;
        };
        flush();
        std::size_t end = j + 1;
        while (end < b.size() && end < j + kLook && !ahead(end))
            ++end;
        Step(delta, 'L', b[end - 1].end - b[j].begin);
        delta.append(to.substr(b[j].begin, b[end - 1].end - b[j].begin));
        last = 0;
        j = end;
    }
    flush();
    // Worth keeping only when much shorter than the tags themselves, and only when it
    // gives them back exactly.
    std::string check;
    if (delta.size() * 2 > to.size() || !ApplyTagDelta(from, delta, check) || check != to)
        return {};
    return delta;
}

bool ApplyTagDelta(std::string_view from, std::string_view delta, std::string& out) {
    std::size_t pos = 0, source = 0;
    char letter = 0;
    std::size_t count = 0;
    auto tagsEnd = [&](std::size_t at, std::size_t n) -> std::size_t {
        for (; n > 0; --n) {
            std::size_t codeEnd = from.find('\n', at);
            if (codeEnd == std::string_view::npos)
                return std::string_view::npos;
            std::size_t valueEnd = from.find('\n', codeEnd + 1);
            if (valueEnd == std::string_view::npos)
                return std::string_view::npos;
            at = valueEnd + 1;
        }
        return at;
    };
    while (ReadStep(delta, pos, letter, count)) {
        if (letter == 'L') {
            if (count > delta.size() - pos)
                return false;
            out.append(delta.substr(pos, count));
            pos += count;
            continue;
        }
        std::size_t end = tagsEnd(source, count);
        if (end == std::string_view::npos || (letter != 'C' && letter != 'S'))
            return false;
        if (letter == 'C')
            out.append(from.substr(source, end - source));
        source = end;
    }
    return pos == delta.size();
}

} // namespace cadhost::db::dxf
