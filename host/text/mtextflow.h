// Line breaking of MText content: the tokens of an MTextReader flow into lines of the
// entity's width.  Used two ways: for measuring (only the state below, which can be saved
// and resumed later) and for drawing (a recorder also keeps every line's runs and
// positions).
//
// Geometry, in the text's own coordinates (x to the right from the text's left edge, y up,
// 0 at the top of the first line):
// - a line's height h is the tallest text height placed on it (an empty line: the height in
//   force at its end); its pitch is 5/3 h, scaled by the paragraph's line spacing;
// - a line's top is the sum of the pitches of the lines above it, its baseline lies h below
//   its top, so capital letters reach from the baseline to the top;
// - the height of the whole text is the distance from the top of the first line to the
//   baseline of the last: the pitches of all lines but the last, plus the last line's h.
//   One line of height h measures h; a content with nothing to show measures 0.
#pragma once

#include "text/mtextformat.h"
#include "text/mtextreader.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace cadhost::text {

class Font;

struct LaidOutRun {
    enum class Kind : std::uint8_t { Text, Stack };
    Kind kind = Kind::Text;
    std::string text;          // Text: the characters; Stack: the upper part (UTF-8)
    std::string lower;         // Stack: the lower part
    char stackType = 0;        // Stack: '/', '#', '^' or 0
    std::vector<double> charX; // Text: each character's x, from the run's x
    double x = 0.0;            // from the text's left edge
    double width = 0.0;        // the run's advance
    double baseline = 0.0;     // y of the run's baseline (below the top, so negative)
    MTextCharFormat format;    // format.font indexes MTextLayout::fonts
};

// The lines a run's underline, overline and strike-through draw across its width, for every
// picture of it: stroke(above, thickness) for each, `above` measured from the run's baseline
// (negative: below it).
template <class Stroke> void ForEachDecoration(const LaidOutRun& run, Stroke&& stroke) {
    const double h = run.format.height;
    const double thickness = h * 0.07;
    if (run.format.underline)
        stroke(-0.2 * h, thickness);
    if (run.format.overline)
        stroke(1.15 * h, thickness);
    if (run.format.strike)
        stroke(0.5 * h, thickness);
}

struct LaidOutLine {
    double top = 0.0;
    double baseline = 0.0;
    double height = 0.0; // tallest text height on the line
    double pitch = 0.0;  // distance from this line's top to the next line's top
    double left = 0.0;   // horizontal extent of what the line shows (left == right: nothing)
    double right = 0.0;
    bool shows = false; // the line has runs (also when they were not kept)
    std::vector<LaidOutRun> runs;
};

// The state of the flow between two tokens.  Trivially copyable: measuring saves it often.
struct MTextFlowState {
    // Finished lines.
    int lines = 0;
    double pitchAbove = 0.0; // sum of the pitches of the finished lines but the last
    double pitchTotal = 0.0; // sum of the pitches of all finished lines
    double lastHeight = 0.0; // height of the last finished line
    // The open line.
    bool lineOpen = false;       // a line exists: something was read, or a break opened it
    bool firstLine = true;       // it is its paragraph's first line
    bool paragraphFixed = false; // the paragraph's format is chosen
    int paragraph = 0;           // the format's index in the reader's pools
    double lineStart = 0.0;      // where the line's content starts (its indent)
    double x = 0.0;              // end of what is placed on the line
    bool hasContent = false;     // something is placed (a word, a tab)
    double lineHeight = 0.0;     // tallest text placed
    double spaceWidth = 0.0;     // spaces after the last placed item, not placed yet
    double spaceHeight = 0.0;
    // The word being read (placed when it ends; broken eagerly when it cannot fit).
    bool wordOpen = false;
    double wordWidth = 0.0;
    double wordHeight = 0.0;
};

class MTextFlow {
public:
    class Recorder;

    // `fonts` caches the resolved font of each font index of the reader's pools; it may be
    // kept between flows over the same pools (entries past the pools' size are dropped).
    // A width of 0 (or less) does not wrap.
    MTextFlow(MTextReader& reader, std::vector<Font*>& fonts, double textHeight, double width,
              Recorder* recorder = nullptr);
    ~MTextFlow();

    void feed(const MTextToken& token);
    // Ends the content: closes the open word and line.  The state is final afterwards.
    void finish();

    // The state is complete at every token boundary; measuring saves it only between words,
    // which is once per word rather than once per character.
    bool atRestartPoint() const { return !m_state.wordOpen; }
    const MTextFlowState& state() const { return m_state; }
    void restore(const MTextFlowState& state) {
        m_state = state;
        m_limitParagraph = -1;
    }

    // The height of what has been finished so far (after finish(): of the whole text).
    double height() const {
        return m_state.lines == 0 ? 0.0 : m_state.pitchAbove + m_state.lastHeight;
    }

private:
    Font& font(int index);
    Font& switchFont(int index);
    double advance(const MTextCharFormat& format, char32_t c);
    double stackWidth(const MTextCharFormat& format, const MTextToken& token);
    const MTextParagraphFormat& paragraphFormat() const;
    void fixParagraph();
    void addGlyph(double advance, double height, const MTextToken* token);
    void addSpace(double advance, double height);
    void addTab(double height);
    double nextTabStop(double position) const;
    void placeWord();
    void finishLine();
    void startLine(bool first);
    double limit();
    double paragraphLimit();
    int recordedFormat();

    MTextReader& m_reader;
    std::vector<Font*>& m_fonts;
    int m_lastFontIndex = -1; // the font last asked for, which a flow's pools keep meaning
    Font* m_lastFont = nullptr;
    double m_textHeight;
    double m_width;
    Recorder* m_recorder;
    MTextFlowState m_state;
    int m_limitParagraph = -1; // the paragraph m_limit is of; -1: none yet
    double m_limit = 0.0;
};

// Keeps the lines a flow makes, with their runs, for drawing and picking.
class MTextFlow::Recorder {
public:
    std::vector<LaidOutLine> lines;

    // False: each line keeps its extents and `shows`, but not its runs.
    bool keepRuns = true;
    // False: runs keep their place, size and format, but not their characters (text and
    // charX), for drawing them without letters.
    bool keepCharacters = true;
    // When set, each line goes to it as soon as it is finished instead of into `lines`, so
    // that only one line at a time is held.
    std::function<void(LaidOutLine&)> sink;
    // Text that is not wrapped has no width to centre or right-align its lines in; they are
    // aligned within the widest line instead.  Once all lines are known, alignToWidest does
    // that to the kept lines and sets `widest`; a recorder given `widest` beforehand (from
    // an earlier flow over the same content) aligns every line as it is finished.
    double widest = std::numeric_limits<double>::quiet_NaN();
    void alignToWidest();

private:
    friend class MTextFlow;
    struct Glyph {
        double x = 0.0;
        double advance = 0.0;
        char32_t ch = 0;
        int format = 0; // index into formats
        int stack = -1; // index into stacks
    };
    int formatIndex(const MTextCharFormat& format);
    static void alignLine(LaidOutLine& line, MTextParagraphAlign align, double widest);
    void buildLine(const MTextFlowState& state, const MTextParagraphFormat& paragraph,
                   double height, double pitch, double top, double limit);

    std::vector<MTextParagraphAlign> aligns; // of each line
    std::vector<MTextCharFormat> formats;
    std::uint64_t formatSerial = 0; // the reader's when the last of `formats` was looked up
    std::vector<MTextToken> stacks;
    std::vector<Glyph> word, spaces, line;
};

// The work the flows of this process have done, for tests that check that it grows in step
// with the content (single-threaded, like the host).
struct MTextFlowWork {
    std::uint64_t advances = 0;    // character advances looked up
    std::uint64_t glyphCopies = 0; // glyphs a recorder copied from a word or spaces into a line
    std::uint64_t lines = 0;       // lines finished
};
MTextFlowWork& MTextFlowWorkDone();

} // namespace cadhost::text
