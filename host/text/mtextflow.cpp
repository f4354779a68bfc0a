#include "text/mtextflow.h"

#include "text/fonts.h"
#include "text/utf8.h"

#include <algorithm>
#include <cmath>

namespace cadhost::text {

namespace {

constexpr double kPitchPerHeight = 5.0 / 3.0;
constexpr double kDefaultTabStride = 4.0; // default tab stops, in entity text heights
constexpr double kStackScale = 0.7;       // the parts of a stack, relative to its height

MTextFlowWork g_work;

} // namespace

MTextFlowWork& MTextFlowWorkDone() {
    return g_work;
}

MTextFlow::MTextFlow(MTextReader& reader, std::vector<Font*>& fonts, double textHeight,
                     double width, Recorder* recorder)
    : m_reader(reader), m_fonts(fonts), m_textHeight(textHeight),
      m_width(width > 0.0 && std::isfinite(width) ? width : 0.0), m_recorder(recorder) {
    if (m_fonts.size() > reader.pools().fontCount())
        m_fonts.resize(reader.pools().fontCount());
}

MTextFlow::~MTextFlow() = default;

Font& MTextFlow::font(int index) {
    // Text comes in long stretches of one font.
    if (index == m_lastFontIndex)
        return *m_lastFont;
    auto at = static_cast<std::size_t>(index);
    if (at >= m_fonts.size())
        m_fonts.resize(at + 1, nullptr);
    if (!m_fonts[at])
        m_fonts[at] = &FontLibrary::instance().resolve(m_reader.pools().font(index));
    m_lastFontIndex = index;
    m_lastFont = m_fonts[at];
    return *m_lastFont;
}

double MTextFlow::advance(const MTextCharFormat& format, char32_t c) {
    ++g_work.advances;
    Font& f = font(format.font);
    return f.advance(c) * format.height * f.emPerHeight() * format.widthFactor * format.tracking;
}

double MTextFlow::stackWidth(const MTextCharFormat& format, const MTextToken& token) {
    auto width = [&](const std::string& part) {
        double sum = 0.0;
        for (std::size_t pos = 0; pos < part.size();)
            sum += advance(format, NextUtf8(part, pos));
        return sum;
    };
    double upper = width(token.upper);
    if (!token.stackType)
        return upper;
    double lower = width(token.lower);
    if (token.stackType == '#')
        return (upper + advance(format, '/') + lower) * kStackScale;
    return std::max(upper, lower) * kStackScale;
}

const MTextParagraphFormat& MTextFlow::paragraphFormat() const {
    return m_reader.pools().paragraph(m_state.paragraph);
}

double MTextFlow::limit() const {
    return m_width > 0.0 ? m_width - paragraphFormat().rightIndent
                         : std::numeric_limits<double>::infinity();
}

void MTextFlow::fixParagraph() {
    if (m_state.paragraphFixed)
        return;
    m_state.paragraphFixed = true;
    m_state.paragraph = m_reader.paragraphIndex();
    const MTextParagraphFormat& f = paragraphFormat();
    m_state.lineStart = f.leftIndent + (m_state.firstLine ? f.firstIndent : 0.0);
    if (!m_state.hasContent)
        m_state.x = m_state.lineStart;
}

void MTextFlow::feed(const MTextToken& token) {
    m_state.lineOpen = true;
    fixParagraph();
    const MTextCharFormat& format = m_reader.format();
    switch (token.kind) {
    case MTextTokenKind::Char:
        if (token.ch == ' ') {
            if (m_state.wordOpen)
                placeWord();
            addSpace(advance(format, ' '), format.height);
        } else {
            addGlyph(advance(format, token.ch), format.height, &token);
        }
        break;
    case MTextTokenKind::Stack:
        addGlyph(stackWidth(format, token), format.height, &token);
        break;
    case MTextTokenKind::Tab:
        if (m_state.wordOpen)
            placeWord();
        addTab(format.height);
        break;
    case MTextTokenKind::LineBreak:
    case MTextTokenKind::ParagraphBreak:
        if (m_state.wordOpen)
            placeWord();
        finishLine();
        if (token.kind == MTextTokenKind::ParagraphBreak)
            m_state.paragraphFixed = false;
        startLine(token.kind == MTextTokenKind::ParagraphBreak);
        break;
    }
}

void MTextFlow::finish() {
    if (m_state.wordOpen)
        placeWord();
    if (m_state.lineOpen) {
        fixParagraph();
        finishLine();
    }
}

void MTextFlow::addGlyph(double advance, double height, const MTextToken* token) {
    MTextFlowState& s = m_state;
    if (!s.wordOpen) {
        s.wordOpen = true;
        s.wordWidth = 0.0;
        s.wordHeight = 0.0;
    }
    if (m_width > 0.0) {
        // Decided as soon as the word outgrows the line, which gives the same lines as
        // deciding at its end (a word only grows) and keeps every finished line final.
        double end = limit();
        if (s.x + s.spaceWidth + s.wordWidth + advance > end) {
            if (s.hasContent) {
                finishLine(); // the word moves to a line of its own
                startLine(false);
            }
            if (s.x + s.spaceWidth + s.wordWidth + advance > end && s.wordWidth > 0.0) {
                // Longer than a whole line: broken between characters.  A line holds at
                // least one character, so even a width smaller than one makes progress.
                placeWord();
                finishLine();
                startLine(false);
                s.wordOpen = true;
            }
        }
    }
    if (m_recorder) {
        Recorder::Glyph glyph;
        glyph.x = s.wordWidth;
        glyph.advance = advance;
        glyph.format = recordedFormat();
        if (token->kind == MTextTokenKind::Stack) {
            glyph.stack = static_cast<int>(m_recorder->stacks.size());
            m_recorder->stacks.push_back(*token);
        } else {
            glyph.ch = token->ch;
        }
        m_recorder->word.push_back(glyph);
    }
    s.wordWidth += advance;
    s.wordHeight = std::max(s.wordHeight, height);
}

void MTextFlow::addSpace(double advance, double height) {
    if (m_recorder) {
        Recorder::Glyph glyph;
        glyph.x = m_state.spaceWidth;
        glyph.advance = advance;
        glyph.ch = ' ';
        glyph.format = recordedFormat();
        m_recorder->spaces.push_back(glyph);
    }
    m_state.spaceWidth += advance;
    m_state.spaceHeight = std::max(m_state.spaceHeight, height);
}

void MTextFlow::placeWord() {
    MTextFlowState& s = m_state;
    double start = s.x + s.spaceWidth;
    if (m_recorder) {
        std::vector<Recorder::Glyph>& line = m_recorder->line;
        std::vector<Recorder::Glyph>& spaces = m_recorder->spaces;
        std::vector<Recorder::Glyph>& word = m_recorder->word;
        g_work.glyphCopies += spaces.size() + word.size();
        std::size_t at = line.size();
        line.insert(line.end(), spaces.begin(), spaces.end());
        for (std::size_t i = at; i < line.size(); ++i)
            line[i].x += s.x;
        at = line.size();
        line.insert(line.end(), word.begin(), word.end());
        for (std::size_t i = at; i < line.size(); ++i)
            line[i].x += start;
        spaces.clear();
        word.clear();
    }
    if (s.spaceWidth > 0.0)
        s.lineHeight = std::max(s.lineHeight, s.spaceHeight);
    s.x = start + s.wordWidth;
    s.lineHeight = std::max(s.lineHeight, s.wordHeight);
    s.hasContent = true;
    s.spaceWidth = s.spaceHeight = 0.0;
    s.wordOpen = false;
    s.wordWidth = s.wordHeight = 0.0;
}

double MTextFlow::nextTabStop(double position) const {
    const MTextParagraphFormat& f = paragraphFormat();
    double tolerance = 1e-9 * m_textHeight;
    double stop = std::numeric_limits<double>::infinity();
    for (int i = 0; i < f.tabCount; ++i) {
        if (f.tabs[i].position > position + tolerance) {
            stop = f.tabs[i].position;
            break;
        }
    }
    // A hanging first line (a list's number) tabs to the left indent, as word processors do.
    if (m_state.firstLine && f.firstIndent < 0.0 && f.leftIndent > position + tolerance)
        stop = std::min(stop, f.leftIndent);
    if (std::isinf(stop)) {
        double stride = kDefaultTabStride * m_textHeight;
        stop = (std::floor((position + tolerance) / stride) + 1.0) * stride;
    }
    return stop;
}

void MTextFlow::addTab(double height) {
    MTextFlowState& s = m_state;
    double stop = nextTabStop(s.x + s.spaceWidth);
    if (m_width > 0.0 && stop > limit() && s.hasContent) {
        finishLine();
        startLine(false);
        stop = nextTabStop(s.x);
    }
    if (m_recorder)
        m_recorder->spaces.clear(); // spaces before a tab show nothing
    if (s.spaceWidth > 0.0)
        s.lineHeight = std::max(s.lineHeight, s.spaceHeight);
    s.x = stop;
    s.hasContent = true;
    s.lineHeight = std::max(s.lineHeight, height);
    s.spaceWidth = s.spaceHeight = 0.0;
}

void MTextFlow::finishLine() {
    MTextFlowState& s = m_state;
    const MTextParagraphFormat& f = paragraphFormat();
    double height = s.hasContent ? s.lineHeight : m_reader.format().height;
    double pitch = kPitchPerHeight * height;
    if (f.spacingAtLeast)
        pitch = std::max(f.lineSpacing * kPitchPerHeight * m_textHeight, pitch);
    else
        pitch *= f.lineSpacing;
    if (m_recorder)
        m_recorder->buildLine(s, f, height, pitch, s.pitchTotal, limit());
    ++s.lines;
    ++g_work.lines;
    s.pitchAbove = s.pitchTotal;
    s.pitchTotal += pitch;
    s.lastHeight = height;
    s.lineOpen = false;
}

void MTextFlow::startLine(bool first) {
    MTextFlowState& s = m_state;
    s.lineOpen = true;
    s.firstLine = first;
    s.hasContent = false;
    s.lineHeight = 0.0;
    s.spaceWidth = s.spaceHeight = 0.0;
    if (s.paragraphFixed) {
        const MTextParagraphFormat& f = paragraphFormat();
        s.lineStart = f.leftIndent + (first ? f.firstIndent : 0.0);
    } else {
        s.lineStart = 0.0; // chosen with the paragraph's format
    }
    s.x = s.lineStart;
    if (m_recorder) {
        m_recorder->spaces.clear();
        m_recorder->line.clear();
    }
}

int MTextFlow::recordedFormat() {
    // The reader's format is the last one recorded unless a code or brace came in between.
    Recorder& r = *m_recorder;
    if (r.formats.empty() || r.formatSerial != m_reader.formatSerial()) {
        r.formatSerial = m_reader.formatSerial();
        return r.formatIndex(m_reader.format());
    }
    return static_cast<int>(r.formats.size() - 1);
}

int MTextFlow::Recorder::formatIndex(const MTextCharFormat& format) {
    if (formats.empty() || !(formats.back() == format))
        formats.push_back(format);
    return static_cast<int>(formats.size() - 1);
}

void MTextFlow::Recorder::buildLine(const MTextFlowState& state,
                                    const MTextParagraphFormat& paragraph, double height,
                                    double pitch, double top, double limit) {
    LaidOutLine out;
    out.top = -top;
    out.height = height;
    out.baseline = out.top - height;
    out.pitch = pitch;
    double right = state.lineStart;
    for (const Glyph& g : line)
        right = std::max(right, g.x + g.advance);
    double shift = 0.0;
    if (std::isfinite(limit)) {
        if (paragraph.align == MTextParagraphAlign::Right)
            shift = limit - right;
        else if (paragraph.align == MTextParagraphAlign::Center)
            shift = (limit - right) / 2.0;
    }
    out.left = state.lineStart + shift;
    out.right = out.left;
    // The extents come from the runs' positions and widths, whether or not the runs are
    // kept, so that a line has the same extents either way.
    double runX = 0.0, runWidth = 0.0;
    auto endRun = [&] {
        if (!out.shows) {
            out.shows = true;
            out.left = runX;
        }
        out.left = std::min(out.left, runX);
        out.right = std::max(out.right, runX + runWidth);
    };
    const double gapTolerance = 1e-9 * std::max(height, 1e-12);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const Glyph& g = line[i];
        bool startRun = i == 0 || g.stack >= 0 || line[i - 1].stack >= 0 ||
                        g.format != line[i - 1].format ||
                        std::fabs(g.x - (line[i - 1].x + line[i - 1].advance)) > gapTolerance;
        if (startRun) {
            if (i > 0)
                endRun();
            runX = g.x + shift;
            if (keepRuns) {
                LaidOutRun run;
                run.x = runX;
                run.format = formats[g.format];
                double fh = run.format.height;
                run.baseline = out.baseline;
                if (fh < height && run.format.verticalAlign == MTextVerticalAlign::Center)
                    run.baseline += (height - fh) / 2.0;
                else if (fh < height && run.format.verticalAlign == MTextVerticalAlign::Top)
                    run.baseline += height - fh;
                if (g.stack >= 0) {
                    MTextToken& stack = stacks[g.stack];
                    run.kind = LaidOutRun::Kind::Stack;
                    run.text = std::move(stack.upper);
                    run.lower = std::move(stack.lower);
                    run.stackType = stack.stackType;
                }
                out.runs.push_back(std::move(run));
            }
        }
        runWidth = g.x + shift + g.advance - runX;
        if (keepRuns) {
            LaidOutRun& run = out.runs.back();
            if (run.kind == LaidOutRun::Kind::Text && keepCharacters) {
                run.charX.push_back(g.x + shift - run.x);
                AppendUtf8(run.text, g.ch);
            }
            run.width = runWidth;
        }
    }
    if (!line.empty())
        endRun();
    if (!std::isnan(widest))
        alignLine(out, paragraph.align, widest);
    if (sink) {
        sink(out);
    } else {
        lines.push_back(std::move(out));
        aligns.push_back(paragraph.align);
    }
    line.clear();
    // Formats and stacks of finished lines are no longer referred to.
    if (word.empty() && spaces.empty()) {
        formats.clear();
        stacks.clear();
    }
}

void MTextFlow::Recorder::alignLine(LaidOutLine& line, MTextParagraphAlign align, double widest) {
    double shift = 0.0;
    if (align == MTextParagraphAlign::Right)
        shift = widest - line.right;
    else if (align == MTextParagraphAlign::Center)
        shift = (widest - line.right) / 2.0;
    if (shift == 0.0 || !line.shows)
        return;
    for (LaidOutRun& run : line.runs)
        run.x += shift;
    line.left += shift;
    line.right += shift;
}

void MTextFlow::Recorder::alignToWidest() {
    widest = 0.0;
    for (const LaidOutLine& line : lines)
        widest = std::max(widest, line.right);
    for (std::size_t i = 0; i < lines.size(); ++i)
        alignLine(lines[i], aligns[i], widest);
}

} // namespace cadhost::text
