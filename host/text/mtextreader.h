// A resumable reader of MText content: it turns the in-line codes into formatting state and
// hands out the visible content one token at a time (characters, tabs, breaks, stacks).
//
// Measuring grows a content string piece by piece, so the reader can save its state between
// two tokens and later resume from it on a longer (or different) string that shares the text
// read so far.  `State::horizon` tells how far the reader has looked: a saved state stays
// valid for any string whose first `horizon` bytes (the end of the text counts as one more
// byte) are the same as the string it was saved on.
#pragma once

#include "text/mtextformat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cadhost::text {

enum class MTextTokenKind : std::uint8_t { Char, Tab, LineBreak, ParagraphBreak, Stack };

struct MTextToken {
    MTextTokenKind kind = MTextTokenKind::Char;
    char32_t ch = 0;          // Char: the character (U+00A0 for the non-breaking space)
    std::string upper, lower; // Stack: the two parts, UTF-8
    char stackType = 0;       // Stack: '/', '#', '^', or 0 when there is no lower part
};

// The fonts and paragraph formats met so far.  Character and paragraph formats refer to them
// by index, which keeps the formats small enough to copy at every saved state.  Equal values
// share one entry.
class MTextFormatPools {
public:
    int internFont(const MTextFontRequest& request);
    int internParagraph(const MTextParagraphFormat& format);
    const MTextFontRequest& font(int index) const { return m_fonts[index]; }
    const MTextParagraphFormat& paragraph(int index) const { return m_paragraphs[index]; }
    const std::vector<MTextFontRequest>& fonts() const { return m_fonts; }
    std::size_t fontCount() const { return m_fonts.size(); }
    std::size_t paragraphCount() const { return m_paragraphs.size(); }
    // Forgets the entries added after the pools had these sizes.
    void truncate(std::size_t fonts, std::size_t paragraphs);
    void clear() { truncate(0, 0); }

private:
    std::vector<MTextFontRequest> m_fonts;
    std::vector<MTextParagraphFormat> m_paragraphs;
    std::unordered_multimap<std::size_t, int> m_fontIndex;
    std::unordered_multimap<std::size_t, int> m_paragraphIndex;
};

class MTextReader {
public:
    // Brace groups nest this deep at most; deeper braces still pair up, but their formatting
    // is not restored at the closing brace (so 1 MB of "{" costs no memory).
    static constexpr int kMaxSavedDepth = 64;

    struct Frame {
        MTextCharFormat format;
        int paragraph = 0;
    };
    struct State {
        std::size_t pos = 0;
        std::size_t horizon = 0; // bytes looked at; the text's size + 1 once its end was seen
        int depth = 0;           // open brace groups, saved or not
        std::vector<Frame> saved;
        MTextCharFormat format;
        int paragraph = 0;         // index of the current paragraph format in the pools
        std::size_t fontCount = 0; // pool sizes when the state was saved
        std::size_t paragraphCount = 0;
    };

    // `textHeight` is the entity's height: the starting height and the unit of paragraph
    // indents and tab stops (relative height codes such as \H2x; multiply the height in
    // force).  `styleFont` is the text style's font (a family name or a font file name).
    MTextReader(double textHeight, std::string_view styleFont, MTextFormatPools& pools);

    // Starts reading `text` from its beginning; the pools are cleared.
    void begin(std::string_view text);

    // Reads up to the next token; false at the end of the text.
    bool next(MTextToken& token);

    const MTextCharFormat& format() const { return m_state.format; }
    const MTextParagraphFormat& paragraphFormat() const {
        return m_pools.paragraph(m_state.paragraph);
    }
    int paragraphIndex() const { return m_state.paragraph; }
    const MTextFormatPools& pools() const { return m_pools; }
    std::size_t position() const { return m_state.pos; }
    std::size_t horizon() const { return m_state.horizon; }
    // Changes whenever the format may have changed (a code, a brace, a new start), so that a
    // caller can tell cheaply that it has not.
    std::uint64_t formatSerial() const { return m_formatSerial; }

    // The state between the last token and the next one.
    void save(State& out) const;
    // Continues from a state saved on a text whose first `state.horizon` bytes equal those of
    // `text`; entries added to the pools after the state was saved are dropped.
    void restore(const State& state, std::string_view text);

private:
    int peek(std::size_t i); // the byte at i, or -1 past the end; both count towards horizon
    void openGroup();
    void closeGroup();
    bool readBackslashCode(MTextToken& token);
    bool readCaret(MTextToken& token);
    void readFontCode(bool fromFile);
    void readHeightCode();
    void readFactorCode(double& value, double low, double high);
    void readObliqueCode();
    void readAlignCode();
    void readColorIndexCode();
    void readTrueColorCode();
    void readParagraphCode();
    void readStackCode(MTextToken& token);
    bool readUnicodeEscape(MTextToken& token);
    std::string_view readArgument(); // up to the next ";" (consumed) or the end
    bool readNumber(double& value);
    void skipTerminator();
    char32_t readUtf8();

    std::string_view m_text;
    double m_textHeight;
    MTextFontRequest m_styleFont;
    MTextFormatPools& m_pools;
    State m_state;
    std::uint64_t m_formatSerial = 0;
};

// A font name as a text style or a \F code gives it: a family name, or a file name whose
// folder and extension (.ttf, .otf, .shx, ...) are dropped.
MTextFontRequest FontRequestFromName(std::string_view name);

} // namespace cadhost::text
