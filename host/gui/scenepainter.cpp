#include "gui/scenepainter.h"

#include "text/acicolor.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cadhost::gui {

const QColor ScenePainter::kHighlight(30, 110, 255);

namespace {

// Sizes on the screen are kept to a quarter pixel, so that a face is not made again for
// every slightly different size.
constexpr double kSizeSteps = 4.0;
constexpr std::size_t kSizedFaces = 64;
constexpr double kGripPixels = 7.0;

QColor ColorOf(text::Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Whether two boxes (of either orientation) overlap or touch; lines without width count.
bool Overlap(const QRectF& a, const QRectF& b) {
    QRectF n = a.normalized(), m = b.normalized();
    return n.left() <= m.right() && n.right() >= m.left() && n.top() <= m.bottom() &&
           n.bottom() >= m.top();
}

} // namespace

// Draws one text: its frame's axes on the screen, then line by line what the view shows.
class ScenePainter::TextPainter {
public:
    TextPainter(ScenePainter& owner, QPainter& painter, const ViewTransform& view,
                const SceneShape& shape, int entityColor, const QRectF& screen)
        : m_owner(owner), m_painter(painter), m_text(*shape.text), m_scale(view.scale()),
          m_entityColor(entityColor), m_screen(screen) {
        const text::TextFrame& f = shape.frame;
        m_origin = view.toScreen(f.origin.x, f.origin.y);
        // The text's x and y (up) axes on the screen, per drawing unit.
        m_x = QPointF(f.xAxis.x, -f.xAxis.y) * m_scale;
        m_y = QPointF(f.yAxis.x, -f.yAxis.y) * m_scale;
        m_upright = std::fabs(m_x.y()) < 1e-9 * m_scale && std::fabs(m_y.x()) < 1e-9 * m_scale &&
                    m_x.x() > 0.0 && m_y.y() < 0.0;
    }

    QPointF at(double x, double y) const { return m_origin + m_x * x + m_y * y; }

    void paint() {
        for (const PreparedLine& line : m_text.lines) {
            if (m_upright) {
                // Lines above or below the view are passed over.
                double top = at(0.0, line.top).y(), bottom = at(0.0, line.bottom).y();
                if (bottom < m_screen.top() || top > m_screen.bottom())
                    continue;
            }
            for (std::size_t i = 0; i < line.pieceCount; ++i)
                piece(m_text.pieces[line.firstPiece + i]);
            for (std::size_t i = 0; i < line.strokeCount; ++i)
                stroke(m_text.strokes[line.firstStroke + i]);
        }
        m_painter.resetTransform();
    }

private:
    QColor colorOf(const text::MTextColor& color) const {
        return ColorOf(text::PaperColor(color, m_entityColor));
    }

    void piece(const GlyphPiece& piece) {
        double height = piece.format.height * piece.sizeScale;
        QColor color = colorOf(piece.format.color);
        if (height * m_scale < kSmallestLetters) {
            bar(piece, height, color);
            return;
        }
        int face = piece.face >= 0 && static_cast<std::size_t>(piece.face) < m_text.faces.size()
                       ? m_text.faces[static_cast<std::size_t>(piece.face)]
                       : -1;
        double emPerHeight =
            piece.face >= 0 && static_cast<std::size_t>(piece.face) < m_text.faceInfo.size()
                ? m_text.faceInfo[static_cast<std::size_t>(piece.face)].emPerHeight
                : 1.0;
        double pixels = height * emPerHeight * m_scale;
        const QRawFont& font = m_owner.sized(face, pixels);
        double w = piece.format.widthFactor > 0.0 ? piece.format.widthFactor : 1.0;
        double slant = std::tan(piece.format.obliqueDegrees * std::numbers::pi / 180.0);
        // Glyph space: x along the baseline before the width factor, y down, in pixels; the
        // matrix is the one EXPORT writes for its text elements.
        QPointF along = m_x / m_scale, down = -m_y / m_scale;
        QPointF origin = at(piece.x, piece.baseline);
        QTransform glyphSpace(w * along.x(), w * along.y(), down.x() - slant * along.x(),
                              down.y() - slant * along.y(), origin.x(), origin.y());
        bool plain = glyphSpace.type() <= QTransform::TxTranslate;
        QList<QPointF> positions;
        positions.reserve(static_cast<qsizetype>(piece.xs.size()));
        for (double x : piece.xs)
            positions.append(QPointF(x * m_scale / w, 0.0));
        QGlyphRun run;
        run.setRawFont(font);
        run.setGlyphIndexes(piece.glyphs);
        run.setPositions(positions);
        m_painter.setPen(color);
        if (plain) {
            m_painter.resetTransform();
            m_painter.drawGlyphRun(origin, run);
        } else {
            m_painter.setTransform(glyphSpace);
            m_painter.drawGlyphRun(QPointF(0.0, 0.0), run);
        }
        m_owner.m_counts.glyphs += static_cast<std::size_t>(piece.glyphs.size());
        if (!piece.missing.empty())
            missing(piece, pixels, w,
                    plain ? QTransform::fromTranslate(origin.x(), origin.y()) : glyphSpace);
    }

    // Characters the face has none of: a font that has them draws them at their places.
    void missing(const GlyphPiece& piece, double pixels, double w, const QTransform& space) {
        QFont font;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
        m_painter.setTransform(space);
        m_painter.setFont(font);
        for (const auto& [index, ch] : piece.missing) {
            char32_t c = ch;
            m_painter.drawText(QPointF(piece.xs[index] * m_scale / w, 0.0),
                               QString::fromUcs4(&c, 1));
        }
    }

    // A piece too small to read: a bar from its baseline to the height of small letters.
    void bar(const GlyphPiece& piece, double height, const QColor& color) {
        ++m_owner.m_counts.bars;
        QColor faint = color;
        faint.setAlpha(110);
        double top = piece.baseline + 0.6 * height;
        if (m_upright) {
            QRectF box(at(piece.x, top), at(piece.x + piece.width, piece.baseline));
            m_painter.fillRect(box.normalized().adjusted(0, 0, 0, 0.5), faint);
            return;
        }
        QPolygonF area;
        area << at(piece.x, piece.baseline) << at(piece.x + piece.width, piece.baseline)
             << at(piece.x + piece.width, top) << at(piece.x, top);
        m_painter.resetTransform();
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(faint);
        m_painter.drawPolygon(area);
        m_painter.setBrush(Qt::NoBrush);
    }

    void stroke(const TextStroke& stroke) {
        m_painter.resetTransform();
        QPen pen(colorOf(stroke.color));
        pen.setWidthF(std::max(1.0, stroke.thickness * m_scale));
        pen.setCapStyle(Qt::FlatCap);
        m_painter.setPen(pen);
        m_painter.drawLine(at(stroke.x0, stroke.y), at(stroke.x1, stroke.y));
    }

    ScenePainter& m_owner;
    QPainter& m_painter;
    const PreparedText& m_text;
    double m_scale;
    int m_entityColor;
    QRectF m_screen;
    QPointF m_origin, m_x, m_y;
    bool m_upright = false;
};

const QRawFont& ScenePainter::sized(int face, double pixels) {
    double steps = std::max(1.0, std::round(pixels * kSizeSteps));
    std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(face)) << 32) |
                        static_cast<std::uint32_t>(std::min(steps, 4.0e9));
    auto it = m_sized.find(key);
    if (it != m_sized.end()) {
        m_ages.splice(m_ages.begin(), m_ages, it->second.age);
        return it->second.font;
    }
    if (m_sized.size() >= kSizedFaces) {
        m_sized.erase(m_ages.back());
        m_ages.pop_back();
    }
    QRawFont font = Face(face);
    if (font.isValid())
        font.setPixelSize(steps / kSizeSteps);
    m_ages.push_front(key);
    return m_sized.emplace(key, Sized{font, m_ages.begin()}).first->second.font;
}

void ScenePainter::paint(QPainter& painter, const DrawingScene& scene, const ViewTransform& view) {
    m_counts = Counts();
    QRectF screen(QPointF(0.0, 0.0), view.viewport());
    painter.fillRect(screen, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QRectF visible = view.visibleWorld();
    double s = view.scale();
    // A margin of a few pixels: line widths and grips reach past an entity's box.
    QRectF reach = visible.adjusted(-10.0 / s, -10.0 / s, 10.0 / s, 10.0 / s);

    auto drawShapes = [&](const SceneEntity& entity, const QPen* highlight) {
        for (const SceneShape& shape : entity.shapes) {
            QPen pen =
                highlight ? *highlight : QPen(ColorOf(text::PaperColor(shape.colorIndex)), 0);
            switch (shape.kind) {
            case SceneShape::Kind::Polyline: {
                painter.setPen(pen);
                QPolygonF points;
                points.reserve(static_cast<qsizetype>(shape.points.size()));
                for (const QPointF& p : shape.points)
                    points << view.toScreen(p);
                painter.drawPolyline(points);
                break;
            }
            case SceneShape::Kind::Circle:
            case SceneShape::Kind::Arc: {
                painter.setPen(pen);
                QPointF c = view.toScreen(shape.center);
                double r = shape.radius * s;
                QRectF box(c - QPointF(r, r), c + QPointF(r, r));
                if (shape.kind == SceneShape::Kind::Circle)
                    painter.drawEllipse(box);
                else
                    painter.drawArc(box, static_cast<int>(std::lround(shape.startDegrees * 16)),
                                    static_cast<int>(std::lround(shape.sweepDegrees * 16)));
                break;
            }
            case SceneShape::Kind::Text:
                if (highlight) {
                    // The box of the text's lines, dashed around it.
                    const QRectF& ink = shape.text->box;
                    QPolygonF outline;
                    for (QPointF corner : {ink.topLeft(), ink.topRight(), ink.bottomRight(),
                                           ink.bottomLeft(), ink.topLeft()}) {
                        text::Vec3 p = shape.frame.toWorld(corner.x(), corner.y());
                        outline << view.toScreen(p.x, p.y);
                    }
                    painter.setPen(*highlight);
                    painter.drawPolyline(outline);
                } else {
                    TextPainter(*this, painter, view, shape, shape.colorIndex, screen).paint();
                }
                break;
            }
        }
    };

    QPen highlight(kHighlight, 2.0, Qt::DashLine);
    for (const SceneEntity& entity : scene.entities()) {
        if (!entity.hasBounds || !Overlap(entity.bounds, reach))
            continue;
        ++m_counts.entities;
        drawShapes(entity, nullptr);
        if (!scene.isSelected(entity))
            continue;
        drawShapes(entity, &highlight);
        // Grips: the points the entity is grabbed at.
        painter.setPen(Qt::NoPen);
        for (const SceneShape& shape : entity.shapes) {
            std::vector<QPointF> grips;
            if (shape.kind == SceneShape::Kind::Polyline)
                grips = shape.points;
            else if (shape.kind == SceneShape::Kind::Text)
                grips = {shape.location};
            else
                grips = {shape.center};
            for (const QPointF& g : grips) {
                QPointF p = view.toScreen(g);
                painter.fillRect(QRectF(p - QPointF(kGripPixels / 2, kGripPixels / 2),
                                        QSizeF(kGripPixels, kGripPixels)),
                                 kHighlight);
            }
        }
    }
}

} // namespace cadhost::gui
