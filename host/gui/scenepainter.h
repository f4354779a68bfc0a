// Draws a scene into the window's view: on white paper, as EXPORT's pictures are, with each
// text's glyphs where the text engine placed them.  What lies outside the view is left out;
// a text whose letters would be too small to read shows as bars where its words stand; the
// selected entities are drawn highlighted, with their grips.
#pragma once

#include "gui/drawingscene.h"
#include "gui/viewtransform.h"

#include <QColor>
#include <QRawFont>

#include <cstdint>
#include <list>
#include <unordered_map>

class QPainter;

namespace cadhost::gui {

class ScenePainter {
public:
    // Letters shorter than this many pixels on the screen show as bars.
    static constexpr double kSmallestLetters = 3.0;
    static const QColor kHighlight;

    void paint(QPainter& painter, const DrawingScene& scene, const ViewTransform& view);

    // What the last paint drew.
    struct Counts {
        std::size_t entities = 0; // in view
        std::size_t glyphs = 0;   // drawn as glyphs
        std::size_t bars = 0;     // pieces of text drawn as bars
    };
    const Counts& counts() const { return m_counts; }

private:
    class TextPainter;
    // A face at a size on the screen, kept between paints (the glyphs drawn at that size stay
    // in it), the least recently used let go first.
    const QRawFont& sized(int face, double pixels);

    Counts m_counts;
    struct Sized {
        QRawFont font;
        std::list<std::uint64_t>::iterator age;
    };
    std::unordered_map<std::uint64_t, Sized> m_sized;
    std::list<std::uint64_t> m_ages; // most recent first
};

} // namespace cadhost::gui
