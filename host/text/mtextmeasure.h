// The height of an MText content laid out at a width (what AcDbMText::actualHeight answers),
// measured incrementally.
//
// The column layout grows a content piece by piece and measures after every piece, or goes
// back to a shorter content that fitted.  A measurer keeps, for the last few contents it
// measured, the reader's and the flow's state at restart points (paragraph starts, and points
// between words); a new content resumes from the last restart point that lies within what it
// shares with a kept one, so growing a content costs the time of what was added.  The
// results are exactly those of measuring from the start.
#pragma once

#include "text/mtextflow.h"
#include "text/mtextreader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::text {

class Font;

class MTextMeasurer {
public:
    // `slots`: how many contents (with their parameters) are kept to resume from.
    explicit MTextMeasurer(std::size_t slots = 4);
    ~MTextMeasurer();
    MTextMeasurer(const MTextMeasurer&) = delete;
    MTextMeasurer& operator=(const MTextMeasurer&) = delete;

    // See text/mtextflow.h for what the height is.  A text height that is not positive
    // measures 0; a width of 0 does not wrap.
    double measure(std::string_view contents, double textHeight, double width,
                   std::string_view styleFont);

    // Bytes of content the last measure read (the rest it resumed over).
    std::size_t lastBytesRead() const { return m_lastBytesRead; }
    void clear();

private:
    struct RestartPoint {
        MTextReader::State reader;
        MTextFlowState flow;
        bool kept = false; // false: only the latest point between words, replaced by the next
    };
    struct Slot {
        double textHeight = 0.0;
        double width = 0.0;
        std::string styleFont;
        std::string contents;
        double height = 0.0;
        MTextFormatPools pools;
        std::vector<Font*> fonts;
        std::vector<RestartPoint> points; // in content order
        std::uint64_t lastUse = 0;
        bool used = false;
    };

    Slot& chooseSlot(std::string_view contents, double textHeight, double width,
                     std::string_view styleFont, std::size_t& resumeAt, std::size_t& shared);
    // The number of restart points usable for `contents`; `shared` is the length of the
    // prefix it has in common with the slot's contents.
    static std::size_t resumePoint(const Slot& slot, std::string_view contents,
                                   std::size_t& shared);
    void run(Slot& slot, std::string_view contents, std::size_t point);
    static void savePoint(Slot& slot, const MTextReader& reader, const MTextFlow& flow,
                          bool paragraphStart);

    std::vector<Slot> m_slots;
    std::uint64_t m_clock = 0;
    std::size_t m_lastBytesRead = 0;
};

// Measures with one measurer kept for the process (single-threaded, like the host).
double MeasureMTextHeight(std::string_view contents, double textHeight, double width,
                          const std::string& styleFont);

// What MeasureMTextHeight has done in this process, for reports of where time goes.
struct MeasureTotals {
    std::uint64_t calls = 0;
    std::uint64_t bytesRead = 0; // content read; the rest was resumed over
    double seconds = 0.0;
};
const MeasureTotals& MeasureMTextTotals();

} // namespace cadhost::text
