#include "text/documentbuilder.h"

#include <algorithm>
#include <utility>

namespace cadhost::text {

int DocumentBuilder::AddFont(const FontFace& face) {
    auto key = std::make_tuple(face.name, face.charset, face.pitchAndFamily);
    auto found = fontIndex_.find(key);
    if (found != fontIndex_.end())
        return found->second;
    int index = static_cast<int>(document_.fonts.size());
    document_.fonts.push_back(face);
    fontIndex_.emplace(std::move(key), index);
    return index;
}

void DocumentBuilder::AppendText(const CharFormat& format, const ParagraphFormat& paragraph,
                                 std::string_view utf8) {
    if (utf8.empty())
        return;
    if (!openHasFormat_) {
        open_.format = paragraph;
        openHasFormat_ = true;
    }
    if (open_.runs.empty() || !(open_.runs.back().format == format) ||
        placeholder_ == open_.runs.size() - 1)
        open_.runs.push_back(Run{format, std::string(utf8)});
    else
        open_.runs.back().text.append(utf8);
    openHasText_ = true;
}

void DocumentBuilder::EndParagraph(const ParagraphFormat& format, int tableLevel,
                                   ParagraphEnd end) {
    open_.format = format;
    open_.tableLevel = tableLevel;
    open_.end = end;
    document_.paragraphs.push_back(std::move(open_));
    open_ = Paragraph{};
    placeholder_ = kNoRun;
    openHasText_ = false;
    openHasFormat_ = false;
}

void DocumentBuilder::EndRow(int tableLevel, const TableRow* geometry) {
    auto& paragraphs = document_.paragraphs;
    if (openHasText_) {
        ParagraphFormat format = open_.format;
        EndParagraph(format, tableLevel, ParagraphEnd::Row);
    } else if (!paragraphs.empty() && paragraphs.back().end == ParagraphEnd::Cell &&
               paragraphs.back().tableLevel == tableLevel) {
        paragraphs.back().end = ParagraphEnd::Row;
    } else if (!paragraphs.empty() && paragraphs.back().tableLevel == tableLevel &&
               paragraphs.back().end == ParagraphEnd::Paragraph) {
        // A row whose last cell was closed by a paragraph mark only.
        paragraphs.back().end = ParagraphEnd::Row;
    }
    if (tableLevel != 1)
        return;
    if (geometry) {
        int index = static_cast<int>(document_.rows.size());
        document_.rows.push_back(*geometry);
        for (std::size_t i = rowStart_; i < paragraphs.size(); ++i)
            if (paragraphs[i].tableLevel == 1)
                paragraphs[i].row = index;
    }
    rowStart_ = paragraphs.size();
}

DocumentBuilder::Position DocumentBuilder::Here(const CharFormat& format) {
    open_.runs.push_back(Run{format, {}});
    placeholder_ = open_.runs.size() - 1;
    return Position{document_.paragraphs.size(), placeholder_, 0};
}

Paragraph& DocumentBuilder::ParagraphAt(std::size_t index) {
    return index < document_.paragraphs.size() ? document_.paragraphs[index] : open_;
}

void DocumentBuilder::InsertAt(const Position& position, std::string_view utf8) {
    Paragraph& paragraph = ParagraphAt(position.paragraph);
    if (position.run >= paragraph.runs.size())
        return;
    std::string& text = paragraph.runs[position.run].text;
    text.insert(std::min(position.offset, text.size()), utf8);
    if (&paragraph == &open_ && !utf8.empty())
        openHasText_ = true;
}

TextDocument DocumentBuilder::Finish() {
    if (openHasText_) {
        ParagraphFormat format = open_.format;
        int level = open_.tableLevel;
        EndParagraph(format, level, ParagraphEnd::Paragraph);
    }
    // Runs that were opened for text that never came carry nothing; neighbours of one
    // format (split around a filled-in place) become one run again.  The runs are moved up
    // in place.
    for (auto& paragraph : document_.paragraphs) {
        auto& runs = paragraph.runs;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            Run& run = runs[i];
            if (run.text.empty())
                continue;
            if (kept > 0 && runs[kept - 1].format == run.format) {
                runs[kept - 1].text += run.text;
            } else {
                if (kept != i)
                    runs[kept] = std::move(run);
                ++kept;
            }
        }
        runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(kept), runs.end());
    }
    TextDocument result = std::move(document_);
    document_ = TextDocument{};
    return result;
}

} // namespace cadhost::text
