#include "text/mtextlayout.h"

#include "text/fonts.h"
#include "text/mtextreader.h"

#include <algorithm>
#include <cmath>

namespace cadhost::text {

namespace {

MTextLayout LayOut(std::string_view contents, double textHeight, double width,
                   std::string_view styleFont, bool keepRuns) {
    MTextLayout layout;
    if (!(textHeight > 0.0) || !std::isfinite(textHeight))
        return layout;
    MTextFormatPools pools;
    MTextReader reader(textHeight, styleFont, pools);
    reader.begin(contents);
    std::vector<Font*> fonts;
    MTextFlow::Recorder recorder;
    recorder.keepRuns = keepRuns;
    MTextFlow flow(reader, fonts, textHeight, width, &recorder);
    MTextToken token;
    while (reader.next(token))
        flow.feed(token);
    flow.finish();
    if (!(width > 0.0)) {
        recorder.alignToWidest();
        layout.alignWidth = recorder.widest;
    }

    layout.height = flow.height();
    layout.lines = std::move(recorder.lines);
    for (const LaidOutLine& line : layout.lines)
        layout.width = std::max(layout.width, line.right);
    layout.fonts = pools.fonts();
    for (const MTextFontRequest& request : layout.fonts) {
        Font& font = FontLibrary::instance().resolve(request);
        layout.faces.push_back(
            {font.family(), font.bold(), font.italic(), font.emPerHeight(), font.file()});
    }
    return layout;
}

} // namespace

MTextLayout LayOutMText(std::string_view contents, double textHeight, double width,
                        std::string_view styleFont) {
    return LayOut(contents, textHeight, width, styleFont, true);
}

MTextLayout LayOutMTextExtents(std::string_view contents, double textHeight, double width,
                               std::string_view styleFont) {
    return LayOut(contents, textHeight, width, styleFont, false);
}

void ForEachMTextLine(std::string_view contents, double textHeight, double width,
                      std::string_view styleFont, const MTextLayout& extents,
                      const std::function<void(const LaidOutLine&)>& onLine, bool characters) {
    if (!(textHeight > 0.0) || !std::isfinite(textHeight))
        return;
    MTextFormatPools pools;
    MTextReader reader(textHeight, styleFont, pools);
    reader.begin(contents);
    std::vector<Font*> fonts;
    MTextFlow::Recorder recorder;
    recorder.keepCharacters = characters;
    recorder.sink = [&](LaidOutLine& line) { onLine(line); };
    if (!(width > 0.0))
        recorder.widest = extents.alignWidth;
    MTextFlow flow(reader, fonts, textHeight, width, &recorder);
    MTextToken token;
    while (reader.next(token))
        flow.feed(token);
    flow.finish();
}

} // namespace cadhost::text
