#include "text/acicolor.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace cadhost::text {
namespace {

// Indexes 10..249 run through 24 hues, 15 degrees apart; each hue has five brightness
// levels, each in full and in half saturation.  1..9 are the basic colours and 250..255 a
// grey ramp.
std::array<Rgb, 256> BuildPalette() {
    std::array<Rgb, 256> palette{};
    const Rgb basic[10] = {{0, 0, 0},       {255, 0, 0},    {255, 255, 0}, {0, 255, 0},
                           {0, 255, 255},   {0, 0, 255},    {255, 0, 255}, {255, 255, 255},
                           {128, 128, 128}, {192, 192, 192}};
    for (int i = 0; i < 10; ++i)
        palette[i] = basic[i];
    const double levels[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
    for (int index = 10; index < 250; ++index) {
        int hueStep = (index - 10) / 10;
        int shade = (index - 10) % 10;
        double value = levels[shade / 2] * 255.0;
        double saturation = (shade % 2 == 0) ? 1.0 : 0.5;
        double hue = hueStep * 15.0;
        double chroma = value * saturation;
        double low = value - chroma;
        double sector = hue / 60.0;
        double x = chroma * (1.0 - std::fabs(std::fmod(sector, 2.0) - 1.0));
        double r = 0, g = 0, b = 0;
        switch (static_cast<int>(sector)) {
        case 0:
            r = chroma, g = x;
            break;
        case 1:
            r = x, g = chroma;
            break;
        case 2:
            g = chroma, b = x;
            break;
        case 3:
            g = x, b = chroma;
            break;
        case 4:
            r = x, b = chroma;
            break;
        default:
            r = chroma, b = x;
            break;
        }
        auto channel = [](double v) { return static_cast<std::uint8_t>(std::floor(v + 1e-9)); };
        palette[index] = Rgb{channel(r + low), channel(g + low), channel(b + low)};
    }
    const std::uint8_t greys[6] = {51, 91, 132, 173, 214, 255};
    for (int i = 0; i < 6; ++i)
        palette[250 + i] = Rgb{greys[i], greys[i], greys[i]};
    return palette;
}

const std::array<Rgb, 256>& Palette() {
    static const std::array<Rgb, 256> palette = BuildPalette();
    return palette;
}

} // namespace

Rgb AciToRgb(int index) {
    if (index < 1 || index > 255)
        return Rgb{};
    return Palette()[index];
}

int NearestAci(Rgb color) {
    const auto& palette = Palette();
    int best = 1;
    long bestDistance = -1;
    for (int index = 1; index <= 255; ++index) {
        long dr = long{palette[index].red} - color.red;
        long dg = long{palette[index].green} - color.green;
        long db = long{palette[index].blue} - color.blue;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

Rgb PaperColor(int index) {
    if (index <= 0 || index == 7 || index >= 256)
        return {0, 0, 0};
    return AciToRgb(index);
}

Rgb PaperColor(const MTextColor& color, int entityIndex) {
    switch (color.kind) {
    case MTextColor::Kind::Index:
        return PaperColor(color.index == 0 || color.index == 256 ? entityIndex : color.index);
    case MTextColor::Kind::True:
        return {color.red, color.green, color.blue};
    case MTextColor::Kind::Entity:
        break;
    }
    return PaperColor(entityIndex);
}

} // namespace cadhost::text
