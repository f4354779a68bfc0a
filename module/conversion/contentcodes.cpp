#include "conversion/contentcodes.h"

#include "conversion/mtextescape.h"

void RemoveLeadingBreaks(std::string& content) {
    bool inParagraphCode = false;
    bool inFontCode = false;
    bool afterHeightCode = false;

    std::size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        const char next = i + 1 < content.size() ? content[i + 1] : '\0';
        if (c == '{' || c == '}') {
            ++i;
            continue;
        }
        if (IsEscapedCharacter(content, i)) {
            // A backslash or brace of the text: visible, unless it is part of a code's value.
            if (!inParagraphCode && !inFontCode && !afterHeightCode)
                return;
            i += 2;
            continue;
        }
        if (c == '\\') {
            if (next == 'P') {
                content.erase(i, 2);
                // The character before the break is looked at again: after a finished code
                // that is its ";", which ends the walk.  At the start there is none, and the
                // walk goes on from the start.
                if (i > 0)
                    --i;
                continue;
            }
            if (next == 'f')
                inFontCode = true;
            else if (next == 'p')
                inParagraphCode = true;
            else if (next == 'H')
                afterHeightCode = true;
            ++i;
            continue;
        }
        // Code letters and values, or the first visible character.
        if (inParagraphCode) {
            if (c == ';')
                inParagraphCode = false;
        } else if (inFontCode) {
            if (c == ';')
                inFontCode = false;
        } else if (!afterHeightCode) {
            return;
        } else if (c == ';') {
            afterHeightCode = false;
        }
        ++i;
    }
}

namespace {

// Reads one paragraph code's values (the text after "\p" up to its ";") into the strings, each
// letter's value replacing what the string held.  A comma ends a letter's value.
void ReadParagraphCode(const std::string& values, std::string& firstIndent, std::string& tabs,
                       std::string& leftIndent) {
    std::string* current = nullptr;
    bool firstSeen = false;
    bool tabsSeen = false;
    bool leftSeen = false;
    bool pendingP = false;
    for (char c : values) {
        if (c != 'p')
            pendingP = false;
        switch (c) {
        case ',':
            current = nullptr;
            break;
        case '\\':
            // Codes joined without commas ("\pi-1\pl1;", as a continued column carries
            // them): the next letter starts after the "p".
            current = nullptr;
            pendingP = true;
            continue;
        case 'p':
            if (pendingP) {
                pendingP = false;
                continue;
            }
            if (current)
                *current += c;
            break;
        case 'i':
            firstIndent.clear();
            firstSeen = true;
            current = &firstIndent;
            break;
        case 'l':
            leftIndent.clear();
            leftSeen = true;
            current = &leftIndent;
            break;
        case 't':
            tabs.clear();
            tabsSeen = true;
            current = &tabs;
            break;
        default:
            if (current)
                *current += c;
            break;
        }
    }
    if (firstSeen && !firstIndent.empty())
        firstIndent.insert(0, "\\pi");
    if (tabsSeen && !tabs.empty())
        tabs.insert(0, "\\pt");
    if (leftSeen && !leftIndent.empty())
        leftIndent.insert(0, "\\pl");
}

} // namespace

void ParagraphCodesAtEnd(const std::string& content, std::string& firstIndent, std::string& tabs,
                         std::string& leftIndent) {
    std::size_t i = 0;
    while (i < content.size()) {
        if (IsEscapedCharacter(content, i)) {
            i += 2;
            continue;
        }
        if (content[i] != '\\' || i + 1 >= content.size() || content[i + 1] != 'p') {
            ++i;
            continue;
        }
        std::size_t start = i + 2;
        std::size_t end = content.find(';', start);
        if (end == std::string::npos)
            end = content.size();
        ReadParagraphCode(content.substr(start, end - start), firstIndent, tabs, leftIndent);
        i = end;
    }
}
