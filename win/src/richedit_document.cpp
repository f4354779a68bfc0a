#include "richedit_document.h"

#include "text/plaintextwriter.h"

#include <algorithm>
#include <vector>

namespace win::richedit {

using cadhost::text::Paragraph;
using cadhost::text::ParagraphEnd;
using cadhost::text::Run;

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Merges neighbouring runs of one format and drops runs left without text.
void Normalize(Paragraph& paragraph) {
    std::vector<Run> runs;
    for (Run& run : paragraph.runs) {
        if (run.text.empty())
            continue;
        if (!runs.empty() && runs.back().format == run.format)
            runs.back().text += run.text;
        else
            runs.push_back(std::move(run));
    }
    paragraph.runs = std::move(runs);
}

// Removes the characters [from, to) of a paragraph; hidden text stays.
void Erase(Paragraph& paragraph, long from, long to) {
    long start = 0;
    for (Run& run : paragraph.runs) {
        if (run.format.hidden)
            continue;
        long n = CharCount(run.text);
        long a = std::max(from, start), b = std::min(to, start + n);
        if (a < b) {
            std::size_t first = ByteOffset(run.text, a - start);
            std::size_t last = ByteOffset(run.text, b - start);
            run.text.erase(first, last - first);
        }
        start += n;
    }
}

// Splits the runs of a paragraph at a character offset: the runs before it stay, the runs
// from it on are returned.
std::vector<Run> SplitRuns(Paragraph& paragraph, long offset) {
    std::vector<Run> before, after;
    long start = 0;
    for (Run& run : paragraph.runs) {
        long n = run.format.hidden ? 0 : CharCount(run.text);
        if (start + n <= offset) {
            before.push_back(std::move(run));
        } else if (start >= offset) {
            after.push_back(std::move(run));
        } else {
            std::size_t cut = ByteOffset(run.text, offset - start);
            after.push_back(Run{run.format, run.text.substr(cut)});
            run.text.resize(cut);
            before.push_back(std::move(run));
        }
        start += n;
    }
    paragraph.runs = std::move(before);
    return after;
}

void Insert(Paragraph& paragraph, long offset, const CharFormat& format, const std::string& text) {
    if (text.empty())
        return;
    std::vector<Run> after = SplitRuns(paragraph, offset);
    paragraph.runs.push_back(Run{format, text});
    for (Run& run : after)
        paragraph.runs.push_back(std::move(run));
    Normalize(paragraph);
}

// The text split at its line ends ("\r\n", "\r" or "\n").
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
            continue;
        }
        lines.back().push_back(c);
    }
    return lines;
}

const Run* LastVisibleRun(const Paragraph& paragraph) {
    for (auto it = paragraph.runs.rbegin(); it != paragraph.runs.rend(); ++it)
        if (!it->format.hidden && !it->text.empty())
            return &*it;
    return nullptr;
}

const Run* FirstVisibleRun(const Paragraph& paragraph) {
    for (const Run& run : paragraph.runs)
        if (!run.format.hidden && !run.text.empty())
            return &run;
    return nullptr;
}

} // namespace

long CharCount(const std::string& utf8) {
    long n = 0;
    for (unsigned char c : utf8)
        if (!IsContinuation(c))
            ++n;
    return n;
}

std::size_t ByteOffset(const std::string& utf8, long chars) {
    std::size_t i = 0;
    long seen = 0;
    while (i < utf8.size()) {
        if (!IsContinuation(static_cast<unsigned char>(utf8[i]))) {
            if (seen == chars)
                return i;
            ++seen;
        }
        ++i;
    }
    return utf8.size();
}

long ParagraphLength(const Paragraph& paragraph) {
    long n = 0;
    for (const Run& run : paragraph.runs)
        if (!run.format.hidden)
            n += CharCount(run.text);
    return n;
}

std::string Text(const TextDocument& document) {
    std::string text = cadhost::text::WritePlainText(document);
    std::replace(text.begin(), text.end(), '\n', '\r');
    return text;
}

long Length(const TextDocument& document) {
    long n = 0;
    for (const Paragraph& paragraph : document.paragraphs)
        n += ParagraphLength(paragraph);
    if (!document.paragraphs.empty())
        n += static_cast<long>(document.paragraphs.size()) - 1;
    return n;
}

Place PlaceOf(const TextDocument& document, long position) {
    const auto& paragraphs = document.paragraphs;
    long left = std::max(0L, position);
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        long n = ParagraphLength(paragraphs[p]);
        if (left <= n)
            return Place{p, left};
        left -= n + 1;
    }
    if (paragraphs.empty())
        return Place{};
    return Place{paragraphs.size() - 1, ParagraphLength(paragraphs.back())};
}

CharFormat FormatAt(const TextDocument& document, long position) {
    const auto& paragraphs = document.paragraphs;
    if (paragraphs.empty()) {
        CharFormat format;
        format.halfPoints = document.defaultHalfPoints;
        return format;
    }
    Place place = PlaceOf(document, position);
    const Paragraph& here = paragraphs[place.paragraph];
    long start = 0;
    for (const Run& run : here.runs) {
        if (run.format.hidden)
            continue;
        long n = CharCount(run.text);
        if (n > 0 && place.offset > start && place.offset <= start + n)
            return run.format;
        start += n;
    }
    if (const Run* first = FirstVisibleRun(here))
        return first->format;
    for (std::size_t p = place.paragraph; p-- > 0;)
        if (const Run* last = LastVisibleRun(paragraphs[p]))
            return last->format;
    for (std::size_t p = place.paragraph + 1; p < paragraphs.size(); ++p)
        if (const Run* first = FirstVisibleRun(paragraphs[p]))
            return first->format;
    CharFormat format;
    format.halfPoints = document.defaultHalfPoints;
    return format;
}

void Replace(TextDocument& document, long from, long to, const std::string& text) {
    long length = Length(document);
    from = std::clamp(from, 0L, length);
    to = std::clamp(to, 0L, length);
    if (from > to)
        std::swap(from, to);
    // Text typed over a selection takes the format of its first character.
    CharFormat format = FormatAt(document, from < to ? from + 1 : from);
    if (from < to && PlaceOf(document, from + 1).offset == 0)
        format = FormatAt(document, from); // the selection starts with a paragraph break
    auto& paragraphs = document.paragraphs;
    if (paragraphs.empty())
        paragraphs.emplace_back();

    Place first = PlaceOf(document, from);
    Place last = PlaceOf(document, to);
    if (first.paragraph == last.paragraph) {
        Erase(paragraphs[first.paragraph], first.offset, last.offset);
    } else {
        Paragraph& head = paragraphs[first.paragraph];
        Paragraph& tail = paragraphs[last.paragraph];
        Erase(head, first.offset, ParagraphLength(head));
        Erase(tail, 0, last.offset);
        for (Run& run : tail.runs)
            head.runs.push_back(std::move(run));
        head.end = tail.end;
        paragraphs.erase(paragraphs.begin() + static_cast<std::ptrdiff_t>(first.paragraph) + 1,
                         paragraphs.begin() + static_cast<std::ptrdiff_t>(last.paragraph) + 1);
    }
    Normalize(paragraphs[first.paragraph]);

    std::vector<std::string> lines = Lines(text);
    std::size_t p = first.paragraph;
    long offset = first.offset;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            // A new paragraph of the same format takes what followed the insertion point.
            Paragraph next;
            next.format = paragraphs[p].format;
            next.end = paragraphs[p].end;
            next.tableLevel = paragraphs[p].tableLevel;
            next.row = paragraphs[p].row;
            next.runs = SplitRuns(paragraphs[p], offset);
            paragraphs[p].end = ParagraphEnd::Paragraph;
            Normalize(paragraphs[p]);
            paragraphs.insert(paragraphs.begin() + static_cast<std::ptrdiff_t>(p) + 1,
                              std::move(next));
            ++p;
            offset = 0;
        }
        Insert(paragraphs[p], offset, format, lines[i]);
        offset += CharCount(lines[i]);
    }
}

void Truncate(TextDocument& document, long limit) {
    long left = limit;
    auto& paragraphs = document.paragraphs;
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) {
            if (left == 0) {
                paragraphs.resize(p);
                return;
            }
            --left; // the break before this paragraph
        }
        auto& runs = paragraphs[p].runs;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            if (runs[r].format.hidden)
                continue;
            long n = CharCount(runs[r].text);
            if (n <= left) {
                left -= n;
                continue;
            }
            runs[r].text.resize(ByteOffset(runs[r].text, left));
            runs.resize(r + 1);
            paragraphs.resize(p + 1);
            return;
        }
    }
}

} // namespace win::richedit
