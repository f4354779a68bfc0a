#include "text/mtextmeasure.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace cadhost::text {

namespace {

// Restart points are kept at every paragraph start and at least this often (in bytes)
// within long paragraphs; the latest point between two words is always kept too.
constexpr std::size_t kPointSpacing = 512;
// Past this many kept points every other one goes, so memory stays bounded while the
// points still cover the whole content.
constexpr std::size_t kMaxPoints = 256;

// Every measure compares the new content with a kept one; memcmp over blocks, then eight
// bytes at a time, keeps that a small part of the cost of reading what was added.
std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    constexpr std::size_t kBlock = 4096;
    std::size_t n = std::min(a.size(), b.size());
    std::size_t at = 0;
    while (at + kBlock <= n && std::memcmp(a.data() + at, b.data() + at, kBlock) == 0)
        at += kBlock;
    while (at + sizeof(std::uint64_t) <= n) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + at, sizeof x);
        std::memcpy(&y, b.data() + at, sizeof y);
        if (x != y)
            break;
        at += sizeof x;
    }
    while (at < n && a[at] == b[at])
        ++at;
    return at;
}

} // namespace

MTextMeasurer::MTextMeasurer(std::size_t slots) : m_slots(std::max<std::size_t>(slots, 1)) {}

MTextMeasurer::~MTextMeasurer() = default;

void MTextMeasurer::clear() {
    for (Slot& slot : m_slots)
        slot = Slot{};
}

std::size_t MTextMeasurer::resumePoint(const Slot& slot, std::string_view contents,
                                       std::size_t& shared) {
    // A point is good for the new content when everything the reader looked at before it
    // is the same in both.
    shared = CommonPrefix(slot.contents, contents);
    auto after = std::upper_bound(
        slot.points.begin(), slot.points.end(), shared,
        [](std::size_t bytes, const RestartPoint& p) { return bytes < p.reader.horizon; });
    return static_cast<std::size_t>(after - slot.points.begin());
}

MTextMeasurer::Slot& MTextMeasurer::chooseSlot(std::string_view contents, double textHeight,
                                               double width, std::string_view styleFont,
                                               std::size_t& resumeAt, std::size_t& shared) {
    Slot* best = nullptr;
    std::size_t bestPoints = 0;
    std::size_t bestBytes = 0;
    for (Slot& slot : m_slots) {
        if (!slot.used || slot.textHeight != textHeight || slot.width != width ||
            slot.styleFont != styleFont)
            continue;
        std::size_t common = 0;
        std::size_t points = resumePoint(slot, contents, common);
        std::size_t bytes = points ? slot.points[points - 1].reader.pos : 0;
        if (points && (!best || bytes > bestBytes)) {
            best = &slot;
            bestPoints = points;
            bestBytes = bytes;
            shared = common;
        }
    }
    if (best) {
        resumeAt = bestPoints;
        return *best;
    }
    // Nothing to resume from: the least recently used slot starts over.
    Slot* oldest = &m_slots.front();
    for (Slot& slot : m_slots) {
        if (!slot.used) {
            oldest = &slot;
            break;
        }
        if (slot.lastUse < oldest->lastUse)
            oldest = &slot;
    }
    resumeAt = 0;
    shared = 0;
    oldest->contents.clear();
    oldest->used = true;
    oldest->textHeight = textHeight;
    oldest->width = width;
    oldest->styleFont.assign(styleFont);
    return *oldest;
}

double MTextMeasurer::measure(std::string_view contents, double textHeight, double width,
                              std::string_view styleFont) {
    m_lastBytesRead = 0;
    if (!(textHeight > 0.0) || !std::isfinite(textHeight))
        return 0.0;
    if (!(width > 0.0) || !std::isfinite(width))
        width = 0.0;
    for (Slot& slot : m_slots) {
        if (slot.used && slot.textHeight == textHeight && slot.width == width &&
            slot.styleFont == styleFont && slot.contents == contents) {
            slot.lastUse = ++m_clock;
            return slot.height;
        }
    }
    std::size_t point = 0;
    std::size_t shared = 0;
    Slot& slot = chooseSlot(contents, textHeight, width, styleFont, point, shared);
    slot.lastUse = ++m_clock;
    // The contents kept for comparison: a content that extends the old one only appends
    // what was added.
    if (shared == slot.contents.size())
        slot.contents.append(contents.substr(shared));
    else
        slot.contents.assign(contents);
    run(slot, contents, point);
    return slot.height;
}

void MTextMeasurer::savePoint(Slot& slot, const MTextReader& reader, const MTextFlow& flow,
                              bool paragraphStart) {
    std::vector<RestartPoint>& points = slot.points;
    std::size_t pos = reader.position();
    if (!points.empty() && points.back().reader.pos == pos)
        return;
    std::size_t lastKept = 0;
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
        if (it->kept) {
            lastKept = it->reader.pos;
            break;
        }
    }
    if (points.empty() || points.back().kept)
        points.emplace_back();
    RestartPoint& point = points.back();
    reader.save(point.reader);
    point.flow = flow.state();
    point.kept = paragraphStart || pos - lastKept >= kPointSpacing;
    if (point.kept && points.size() > kMaxPoints) {
        // Thin out: every other point goes, the newest stays.
        std::size_t out = 0;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (i % 2 == 1 || i + 1 == points.size())
                points[out++] = std::move(points[i]);
        points.resize(out);
    }
}

void MTextMeasurer::run(Slot& slot, std::string_view contents, std::size_t point) {
    MTextReader reader(slot.textHeight, slot.styleFont, slot.pools);
    if (point == 0) {
        reader.begin(contents);
        slot.fonts.clear();
        slot.points.clear();
    } else {
        slot.points.resize(point);
        reader.restore(slot.points.back().reader, contents);
    }
    MTextFlow flow(reader, slot.fonts, slot.textHeight, slot.width);
    if (point != 0)
        flow.restore(slot.points.back().flow);
    m_lastBytesRead = contents.size() - reader.position();

    MTextToken token;
    bool paragraphStart = point == 0;
    for (;;) {
        if (flow.atRestartPoint())
            savePoint(slot, reader, flow, paragraphStart);
        if (!reader.next(token))
            break;
        flow.feed(token);
        paragraphStart = token.kind == MTextTokenKind::ParagraphBreak;
    }
    flow.finish();
    slot.height = flow.height();
}

namespace {
MeasureTotals g_totals;
}

double MeasureMTextHeight(std::string_view contents, double textHeight, double width,
                          const std::string& styleFont) {
    static MTextMeasurer measurer;
    auto start = std::chrono::steady_clock::now();
    double height = measurer.measure(contents, textHeight, width, styleFont);
    g_totals.seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++g_totals.calls;
    g_totals.bytesRead += measurer.lastBytesRead();
    return height;
}

const MeasureTotals& MeasureMTextTotals() {
    return g_totals;
}

} // namespace cadhost::text
