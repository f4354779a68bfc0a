// The tables a Rich Text document declares before its text: fonts, colours, styles.
#pragma once

#include "text/rtfkeywords.h"
#include "text/textdocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cadhost::text {

struct RtfFont {
    FontFace face;
    int codePage = 0; // 0: the document's code page
    std::string alternative;
    int documentIndex = -1; // index in TextDocument::fonts once text uses it
};

// One font table entry while it is being read.
struct RtfFontEntry {
    bool active = false;
    int number = 0;
    int family = 0;
    int pitch = 0;
    int charset = -1; // -1: not given
    int codePage = 0; // \cpgN
    std::string name;
    std::string alternative;
};

// True for the fonts that Windows gives the symbol charset whatever a document says:
// Symbol, Wingdings, Webdings and their kin.
bool IsSymbolFontName(std::string_view name);

// Builds the font of a finished entry: the name cleaned of characters that would break an
// MText font code, the alternative or the default face's name when it is empty.
RtfFont MakeFont(const RtfFontEntry& entry);

// The code page in which an entry's own name is written.
int EntryCodePage(const RtfFontEntry& entry, int documentCodePage);

struct RtfRecordedWord {
    RtfKeyword keyword;
    int parameter;
    bool hasParameter;
};

// A style: the formatting control words of its definition, replayed where it is applied.
struct RtfStyle {
    std::vector<RtfRecordedWord> words;
    int basedOn = -1;
};

// A style sheet entry while it is being read.
struct RtfStyleEntry {
    enum class Kind { None, Paragraph, Character };
    bool active = false;
    Kind kind = Kind::Paragraph;
    int number = 0;
    RtfStyle style;
};

class RtfStyleSheet {
public:
    void Add(const RtfStyleEntry& entry);
    // The words of a style with those of the styles it is based on first, capped so that
    // applying a style costs a bounded amount of work whatever the document says.
    const std::vector<RtfRecordedWord>* Flattened(RtfStyleEntry::Kind kind, int number);

    static constexpr std::size_t kMaxWordsPerStyle = 48;

private:
    using Map = std::unordered_map<int, RtfStyle>;
    Map& MapOf(RtfStyleEntry::Kind kind) {
        return kind == RtfStyleEntry::Kind::Character ? character_ : paragraph_;
    }
    Map paragraph_, character_;
    std::unordered_map<long long, std::vector<RtfRecordedWord>> flattened_;
};

// Colour table: entry i is the colour of \cfi; an entry without components is automatic.
class RtfColorTable {
public:
    void SetComponent(RtfKeyword keyword, int value);
    void EndEntry();
    std::optional<Rgb> At(int index) const;

private:
    std::vector<std::optional<Rgb>> colors_;
    Rgb pending_;
    bool pendingSet_ = false;
};

} // namespace cadhost::text
