#include "conversion/mtextrtf.h"

#include "conversion/mtextescape.h"

int CMtextRtf::SplitContents(const std::string& content) {
    m_Contents = content;

    std::string piece;
    std::string fontCode;
    std::string heightCode;
    bool inFontCode = false;
    bool inHeightCode = false;
    // Unbalanced braces only move the depth; below zero it counts as an outer level.
    int depth = 0;

    auto endPiece = [&] {
        if (!piece.empty())
            m_Pieces.Add(piece);
        piece.clear();
    };
    // Characters of an open code go to the code as well as to the piece.
    auto takeIntoCode = [&](const std::string& text) {
        if (inFontCode)
            fontCode += text;
        else if (inHeightCode)
            heightCode += text;
    };

    const std::size_t n = content.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = content[i];
        if (IsEscapedCharacter(content, i)) {
            std::string escaped = content.substr(i, 2);
            piece += escaped;
            if (depth < 2)
                takeIntoCode(escaped);
            ++i;
            continue;
        }
        if (c == '{' || c == '}') {
            depth += c == '{' ? 1 : -1;
            piece += c;
            continue;
        }
        // Nested groups are kept whole: what they change ends with them.
        if (depth >= 2) {
            piece += c;
            continue;
        }
        if (c != '\\') {
            piece += c;
            if (inFontCode) {
                fontCode += c;
                if (c == ';') {
                    inFontCode = false;
                    m_FontCodes.Add(fontCode);
                }
            } else if (inHeightCode) {
                heightCode += c;
                if (c == ';') {
                    inHeightCode = false;
                    m_HeightCodes.Add(heightCode);
                }
            }
            continue;
        }
        // A backslash: the letter after it (added on the next round) says which code.
        const char next = i + 1 < n ? content[i + 1] : '\0';
        if (next == 'P') {
            endPiece();
        } else if (next == 'f') {
            inFontCode = true;
            endPiece();
            fontCode = "\\";
        } else if (next == 'H') {
            // A height change alone does not start a piece: it stays with the text it sizes.
            inHeightCode = true;
            heightCode = "\\";
        }
        piece += '\\';
    }
    endPiece();
    return static_cast<int>(m_Pieces.GetSize());
}
