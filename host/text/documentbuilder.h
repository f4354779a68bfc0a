// Assembles a TextDocument from the stream of text and breaks that a reader produces:
// merges text of one format into runs, closes paragraphs, cells and table rows.
#pragma once

#include "text/textdocument.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace cadhost::text {

class DocumentBuilder {
public:
    // A place in the text, for text that a reader can only fill in later (a note number
    // whose style is known once the note itself has been read).
    struct Position {
        std::size_t paragraph = 0;
        std::size_t run = 0;
        std::size_t offset = 0;
    };

    int AddFont(const FontFace& face);
    void SetDefaultHalfPoints(int halfPoints) { document_.defaultHalfPoints = halfPoints; }

    // `paragraph` is the paragraph formatting in force; the first text of a paragraph takes
    // it as the paragraph's formatting until the paragraph mark says otherwise.
    void AppendText(const CharFormat& format, const ParagraphFormat& paragraph,
                    std::string_view utf8);

    // True once the open paragraph holds any text.
    bool HasOpenText() const { return openHasText_; }

    void EndParagraph(const ParagraphFormat& format, int tableLevel, ParagraphEnd end);
    // Closes the row of the given nesting level; top-level rows keep their geometry.
    void EndRow(int tableLevel, const TableRow* geometry);

    Position Here(const CharFormat& format);
    void InsertAt(const Position& position, std::string_view utf8);

    // Closes the open paragraph (when it holds text) and hands over the document.
    TextDocument Finish();

private:
    Paragraph& ParagraphAt(std::size_t index);

    TextDocument document_;
    std::map<std::tuple<std::string, int, int>, int> fontIndex_;
    Paragraph open_;
    // The run of the open paragraph that holds a place for later text; nothing is merged
    // into it, so filling it in moves no other text.
    std::size_t placeholder_ = kNoRun;
    static constexpr std::size_t kNoRun = static_cast<std::size_t>(-1);
    bool openHasText_ = false;
    bool openHasFormat_ = false;
    std::size_t rowStart_ = 0;
};

} // namespace cadhost::text
