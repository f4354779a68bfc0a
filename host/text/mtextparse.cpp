#include "text/mtextparse.h"

#include "text/mtextreader.h"
#include "text/utf8.h"

namespace cadhost::text {

ParsedMText ParseMText(std::string_view contents, double textHeight, std::string_view styleFont) {
    MTextFormatPools pools;
    MTextReader reader(textHeight, styleFont, pools);
    reader.begin(contents);
    ParsedMText parsed;
    MTextToken token;
    bool formatFixed = false;

    auto paragraph = [&]() -> MTextParagraph& {
        if (parsed.paragraphs.empty())
            parsed.paragraphs.emplace_back();
        return parsed.paragraphs.back();
    };
    auto fixFormat = [&] {
        if (!formatFixed) {
            paragraph().format = reader.paragraphFormat();
            formatFixed = true;
        }
    };
    auto run = [&](MTextRun::Kind kind) -> MTextRun& {
        auto& runs = paragraph().runs;
        runs.push_back({kind, {}, {}, 0, reader.format()});
        return runs.back();
    };

    while (reader.next(token)) {
        switch (token.kind) {
        case MTextTokenKind::Char: {
            fixFormat();
            auto& runs = paragraph().runs;
            if (runs.empty() || runs.back().kind != MTextRun::Kind::Text ||
                !(runs.back().format == reader.format()))
                run(MTextRun::Kind::Text);
            AppendUtf8(runs.back().text, token.ch);
            break;
        }
        case MTextTokenKind::Tab:
            fixFormat();
            run(MTextRun::Kind::Tab);
            break;
        case MTextTokenKind::LineBreak:
            fixFormat();
            run(MTextRun::Kind::LineBreak);
            break;
        case MTextTokenKind::Stack: {
            fixFormat();
            MTextRun& stack = run(MTextRun::Kind::Stack);
            stack.text = std::move(token.upper);
            stack.lower = std::move(token.lower);
            stack.stackType = token.stackType;
            break;
        }
        case MTextTokenKind::ParagraphBreak:
            fixFormat();
            parsed.paragraphs.emplace_back();
            formatFixed = false;
            break;
        }
    }
    if (!parsed.paragraphs.empty())
        fixFormat();
    parsed.fonts = reader.pools().fonts();
    return parsed;
}

std::string PlainText(const ParsedMText& parsed) {
    std::string out;
    for (std::size_t p = 0; p < parsed.paragraphs.size(); ++p) {
        if (p > 0)
            out += '\n';
        for (const MTextRun& run : parsed.paragraphs[p].runs) {
            switch (run.kind) {
            case MTextRun::Kind::Text:
                out += run.text;
                break;
            case MTextRun::Kind::Tab:
                out += '\t';
                break;
            case MTextRun::Kind::LineBreak:
                out += '\n';
                break;
            case MTextRun::Kind::Stack:
                out += run.text;
                if (run.stackType) {
                    out += run.stackType;
                    out += run.lower;
                }
                break;
            }
        }
    }
    return out;
}

} // namespace cadhost::text
