// Fuzz target for the MText content parser and the measuring that resumes from saved states.
//
// Besides not crashing, measuring must not depend on the way a content arrived: the content
// is grown in cuts chosen by the input's first bytes and measured after each cut by one
// measurer, and every height must equal that of a fresh measurer and of the full layout.
// This catches states resumed past what they had looked at.  The layout without runs and the
// layout line by line must give the full layout's lines.
#include "text/mtextlayout.h"
#include "text/mtextmeasure.h"
#include "text/mtextparse.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool SameExtents(const cadhost::text::LaidOutLine& a, const cadhost::text::LaidOutLine& b) {
    return a.top == b.top && a.baseline == b.baseline && a.height == b.height &&
           a.pitch == b.pitch && a.left == b.left && a.right == b.right && a.shows == b.shows;
}

// The layout without runs and the layout line by line give the full layout's lines.
void CheckLayoutsAgree(std::string_view content, double width,
                       const cadhost::text::MTextLayout& full) {
    using namespace cadhost::text;
    MTextLayout extents = LayOutMTextExtents(content, 0.25, width, "Arial");
    if (extents.height != full.height || extents.width != full.width ||
        extents.lines.size() != full.lines.size())
        std::abort();
    std::size_t index = 0;
    ForEachMTextLine(content, 0.25, width, "Arial", extents, [&](const LaidOutLine& line) {
        if (index >= full.lines.size() || !SameExtents(line, full.lines[index]) ||
            !SameExtents(extents.lines[index], full.lines[index]) ||
            line.runs.size() != full.lines[index].runs.size() || line.shows != !line.runs.empty())
            std::abort();
        for (std::size_t r = 0; r < line.runs.size(); ++r)
            if (line.runs[r].x != full.lines[index].runs[r].x ||
                line.runs[r].text != full.lines[index].runs[r].text ||
                line.runs[r].charX != full.lines[index].runs[r].charX)
                std::abort();
        ++index;
    });
    if (index != full.lines.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    using namespace cadhost::text;
    const double widths[] = {0.0, 0.3, 2.0, 10.0};
    double width = widths[data[0] % 4];
    unsigned step = 1 + data[1] % 64;
    std::string_view content(reinterpret_cast<const char*>(data) + 2, size - 2);

    ParsedMText parsed = ParseMText(content, 0.25, "Arial");
    for (const MTextParagraph& paragraph : parsed.paragraphs)
        for (const MTextRun& run : paragraph.runs)
            if (run.format.font < 0 ||
                static_cast<std::size_t>(run.format.font) >= parsed.fonts.size())
                std::abort();
    (void)PlainText(parsed);

    MTextMeasurer grown;
    for (std::size_t cut = 0;; cut = std::min(content.size(), cut + step)) {
        std::string_view prefix = content.substr(0, cut);
        MTextMeasurer fresh;
        double expected = fresh.measure(prefix, 0.25, width, "Arial");
        if (grown.measure(prefix, 0.25, width, "Arial") != expected)
            std::abort();
        if (cut == content.size()) {
            MTextLayout layout = LayOutMText(prefix, 0.25, width, "Arial");
            if (layout.height != expected)
                std::abort();
            CheckLayoutsAgree(prefix, width, layout);
            break;
        }
    }
    // Back to a shorter content, as the column layout does when a piece did not fit.
    std::string_view shorter = content.substr(0, content.size() / 2);
    MTextMeasurer fresh;
    if (grown.measure(shorter, 0.25, width, "Arial") !=
        fresh.measure(shorter, 0.25, width, "Arial"))
        std::abort();
    return 0;
}
