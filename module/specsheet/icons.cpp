#include "specsheet/icons.h"

#include <string>
#include <utility>

namespace {

// The classic palette's colours that the icons use.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDarkGrey = RGB(128, 128, 128);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kOlive = RGB(128, 128, 0);

using Palette = std::vector<std::pair<char, COLORREF>>;

const Palette kTextSizesColours = {{'k', kBlack}, {'b', kNavy}};
const Palette kArrowColours = {{'B', kBlue}, {'b', kNavy}};
const Palette kRemoveColours = {{'x', kDarkGrey}, {'o', kBlack}};
const Palette kRemoveHotColours = {{'x', kRed}, {'o', kDarkRed}};
// k outline, w paper, g the folded corner, K lines of text, C the lens, c the lines seen
// through it, h the handle.
const Palette kPreviewColours = {{'k', kBlack}, {'w', kWhite}, {'g', kLightGrey}, {'K', kDarkGrey},
                                 {'C', kCyan},  {'c', kTeal},  {'h', kOlive}};

// The images are drawn row by row: one character a pixel, a blank where the icon is
// transparent.
// clang-format off
// A large and a small letter A beside a double arrow, 32 by 32
const char* const kTextSizes32[] = {
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "     kkkk                   bb  ",
    "     kkkk                  bbbb ",
    "     kkkk                 bbbbbb",
    "    kkkkkk                  bb  ",
    "    kkkkkk                  bb  ",
    "    kkkkkk                  bb  ",
    "    kkkkkk                  bb  ",
    "   kkk  kkk                 bb  ",
    "   kkk  kkk                 bb  ",
    "   kkk  kkk                 bb  ",
    "   kkk  kkk                 bb  ",
    "  kkk    kkk       kk       bb  ",
    "  kkk    kkk       kk       bb  ",
    "  kkk    kkk      kkkk      bb  ",
    "  kkkkkkkkkk      kkkk      bb  ",
    "  kkkkkkkkkk      kkkk      bb  ",
    " kkk      kkk    kk  kk     bb  ",
    " kkk      kkk    kk  kk     bb  ",
    " kkk      kkk   kkkkkkkk    bb  ",
    " kkk      kkk   kkkkkkkk    bb  ",
    "kkk        kkk  kk    kk  bbbbbb",
    "kkk        kkk kk      kk  bbbb ",
    "kkk        kkk kk      kk   bb  ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};

// A large and a small letter A beside a double arrow, 16 by 16
const char* const kTextSizes16[] = {
    "                ",
    "                ",
    "  kkk         b ",
    "  kkk        bbb",
    "  kkk         b ",
    "  kkk         b ",
    " kk kk        b ",
    " kk kk        b ",
    " kk kk        b ",
    " kk kk    k   b ",
    " kkkkk    k   b ",
    "kk   kk  k k  b ",
    "kk   kk  kkk  b ",
    "kk   kk k   kbbb",
    "kk   kk k   k b ",
    "                ",
};

// An arrow pointing up, 32 by 32
const char* const kMoveUp32[] = {
    "                                ",
    "                                ",
    "               bb               ",
    "              bBBb              ",
    "             bBBBBb             ",
    "            bBBBBBBb            ",
    "           bBBBBBBBBb           ",
    "          bBBBBBBBBBBb          ",
    "         bBBBBBBBBBBBBb         ",
    "        bBBBBBBBBBBBBBBb        ",
    "       bBBBBBBBBBBBBBBBBb       ",
    "      bBBBBBBBBBBBBBBBBBBb      ",
    "     bBBBBBBBBBBBBBBBBBBBBb     ",
    "    bBBBBBBBBBBBBBBBBBBBBBBb    ",
    "   bBBBBBBBBBBBBBBBBBBBBBBBBb   ",
    "  bBBBBBBBBBBBBBBBBBBBBBBBBBBb  ",
    "   bbbbbbbbBBBBBBBBBBbbbbbbbb   ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "           bbbbbbbbbb           ",
    "                                ",
    "                                ",
};

// An arrow pointing up, 16 by 16
const char* const kMoveUp16[] = {
    "                ",
    "       bb       ",
    "      bBBb      ",
    "     bBBBBb     ",
    "    bBBBBBBb    ",
    "   bBBBBBBBBb   ",
    "  bBBBBBBBBBBb  ",
    " bBBBBBBBBBBBBb ",
    "  bbbBBBBBBbbb  ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "     bbbbbb     ",
};

// The same arrow pointing down, 32 by 32
const char* const kMoveDown32[] = {
    "                                ",
    "                                ",
    "           bbbbbbbbbb           ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "          bBBBBBBBBBBb          ",
    "   bbbbbbbbBBBBBBBBBBbbbbbbbb   ",
    "  bBBBBBBBBBBBBBBBBBBBBBBBBBBb  ",
    "   bBBBBBBBBBBBBBBBBBBBBBBBBb   ",
    "    bBBBBBBBBBBBBBBBBBBBBBBb    ",
    "     bBBBBBBBBBBBBBBBBBBBBb     ",
    "      bBBBBBBBBBBBBBBBBBBb      ",
    "       bBBBBBBBBBBBBBBBBb       ",
    "        bBBBBBBBBBBBBBBb        ",
    "         bBBBBBBBBBBBBb         ",
    "          bBBBBBBBBBBb          ",
    "           bBBBBBBBBb           ",
    "            bBBBBBBb            ",
    "             bBBBBb             ",
    "              bBBb              ",
    "               bb               ",
    "                                ",
    "                                ",
};

// The same arrow pointing down, 16 by 16
const char* const kMoveDown16[] = {
    "     bbbbbb     ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "    bBBBBBBb    ",
    "  bbbBBBBBBbbb  ",
    " bBBBBBBBBBBBBb ",
    "  bBBBBBBBBBBb  ",
    "   bBBBBBBBBb   ",
    "    bBBBBBBb    ",
    "     bBBBBb     ",
    "      bBBb      ",
    "       bb       ",
    "                ",
};

// A diagonal cross: x is its body, o its outline, 32 by 32
const char* const kRemove32[] = {
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "     ooo                ooo     ",
    "    oxxxo              oxxxo    ",
    "    oxxxxo            oxxxxo    ",
    "    oxxxxxo          oxxxxxo    ",
    "     oxxxxxo        oxxxxxo     ",
    "      oxxxxxo      oxxxxxo      ",
    "       oxxxxxo    oxxxxxo       ",
    "        oxxxxxo  oxxxxxo        ",
    "         oxxxxxooxxxxxo         ",
    "          oxxxxxxxxxxo          ",
    "           oxxxxxxxxo           ",
    "            oxxxxxxo            ",
    "            oxxxxxxo            ",
    "           oxxxxxxxxo           ",
    "          oxxxxxxxxxxo          ",
    "         oxxxxxooxxxxxo         ",
    "        oxxxxxo  oxxxxxo        ",
    "       oxxxxxo    oxxxxxo       ",
    "      oxxxxxo      oxxxxxo      ",
    "     oxxxxxo        oxxxxxo     ",
    "    oxxxxxo          oxxxxxo    ",
    "    oxxxxo            oxxxxo    ",
    "    oxxxo              oxxxo    ",
    "     ooo                ooo     ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};

// A diagonal cross: x is its body, o its outline, 16 by 16
const char* const kRemove16[] = {
    "                ",
    "  oo        oo  ",
    " oxxo      oxxo ",
    " oxxxo    oxxxo ",
    "  oxxxo  oxxxo  ",
    "   oxxxooxxxo   ",
    "    oxxxxxxo    ",
    "     oxxxxo     ",
    "     oxxxxo     ",
    "    oxxxxxxo    ",
    "   oxxxooxxxo   ",
    "  oxxxo  oxxxo  ",
    " oxxxo    oxxxo ",
    " oxxo      oxxo ",
    "  oo        oo  ",
    "                ",
};

// A page of lines under a magnifying glass, 32 by 32
const char* const kPreview32[] = {
    "                                ",
    "  kkkkkkkkkkkkkkk               ",
    "  kwwwwwwwwwwwwwkk              ",
    "  kwwwwwwwwwwwwwkgk             ",
    "  kwwwwwwwwwwwwwkggk            ",
    "  kwwKKKKKKKKwwwkgggk           ",
    "  kwwwwwwwwwwwwwkkkkkk          ",
    "  kwwwwwwwwwwwwwwwwwwk          ",
    "  kwwKKKKKKKKKKKKKwwwk          ",
    "  kwwwwwwwwwwwwwwwwwwk          ",
    "  kwwwwwwwwwwwwwwkkkkk          ",
    "  kwwKKKKKKKKKKkkkkkkkkk        ",
    "  kwwwwwwwwwwwkkkCCCCCkkk       ",
    "  kwwwwwwwwwwkkkCCCCCCCkkk      ",
    "  kwwKKKKKKKKkkcccCCCCCCkk      ",
    "  kwwwwwwwwwkkCCCCCCCCCCCkk     ",
    "  kwwwwwwwwwkkCCCCCCCCCCCkk     ",
    "  kwwKKKKKKKkkCCCCCCCCCCCkk     ",
    "  kwwwwwwwwwkkCCCCCCCCCCCkk     ",
    "  kwwwwwwwwwkkCCCCCCCCCCCkk     ",
    "  kwwKKKKKKKKkkcccCCCCCCkk      ",
    "  kwwwwwwwwwwkkkCCCCCCCkkh      ",
    "  kwwwwwwwwwwwkkkCCCCCkkkkh     ",
    "  kwwKKKKKKKKKKkkkkkkkkhkkkh    ",
    "  kwwwwwwwwwwwwwwkkkkk  hkhhh   ",
    "  kwwwwwwwwwwwwwwwwwwk  hhhhhh  ",
    "  kwwKKKKKKKKKKwwwwwwk   hhhhh  ",
    "  kwwwwwwwwwwwwwwwwwwk    hhhhh ",
    "  kkkkkkkkkkkkkkkkkkkk     hhhhh",
    "                            hhh ",
    "                             h  ",
    "                                ",
};

// A page of lines under a magnifying glass, 16 by 16
const char* const kPreview16[] = {
    " kkkkkkkkkk     ",
    " kwwwwwwwwk     ",
    " kwwwwwwwwk     ",
    " kwKKKKwwwk     ",
    " kwwwwwkkkkk    ",
    " kwKKKkkcCCkk   ",
    " kwwwkkCCCCCkk  ",
    " kwKKkccCCCCCk  ",
    " kwwwkCCCCCCCk  ",
    " kwKKkcccCCCCk  ",
    " kwwwkkCCCCChk  ",
    " kwKKKkkCCChhh  ",
    " kwwwwwkkkkkhhh ",
    " kwwwwwwwwk  hhh",
    " kkkkkkkkkk  hhh",
    "              hh",
};

// clang-format on

template <std::size_t N>
win::IconImage Image(const char* const (&rows)[N], const Palette& palette) {
    win::IconImage image;
    image.width = static_cast<int>(std::string(rows[0]).size());
    image.height = static_cast<int>(N);
    image.palette = palette;
    image.rows.assign(rows, rows + N);
    return image;
}

} // namespace

std::vector<win::IconResource> SpecSheetIcons() {
    using namespace SpecSheetIcon;
    return {
        {kSetTextSizes,
         {Image(kTextSizes32, kTextSizesColours), Image(kTextSizes16, kTextSizesColours)}},
        {kMoveUp, {Image(kMoveUp32, kArrowColours), Image(kMoveUp16, kArrowColours)}},
        {kMoveDown, {Image(kMoveDown32, kArrowColours), Image(kMoveDown16, kArrowColours)}},
        {kRemove, {Image(kRemove32, kRemoveColours), Image(kRemove16, kRemoveColours)}},
        {kRemoveHot, {Image(kRemove32, kRemoveHotColours), Image(kRemove16, kRemoveHotColours)}},
        {kPreview, {Image(kPreview32, kPreviewColours), Image(kPreview16, kPreviewColours)}},
    };
}
