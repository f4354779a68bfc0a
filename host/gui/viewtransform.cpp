#include "gui/viewtransform.h"

#include <algorithm>
#include <cmath>

namespace cadhost::gui {

namespace {

// Beyond these the arithmetic of the view loses the drawing.
constexpr double kMinScale = 1e-9;
constexpr double kMaxScale = 1e9;

double Clamped(double scale) {
    if (!std::isfinite(scale))
        return 1.0;
    return std::clamp(scale, kMinScale, kMaxScale);
}

} // namespace

void ViewTransform::setCenterAndScale(const QPointF& center, double scale) {
    if (std::isfinite(center.x()) && std::isfinite(center.y()))
        m_center = center;
    m_scale = Clamped(scale);
}

QPointF ViewTransform::toScreen(const QPointF& world) const {
    return {m_viewport.width() / 2.0 + (world.x() - m_center.x()) * m_scale,
            m_viewport.height() / 2.0 - (world.y() - m_center.y()) * m_scale};
}

QPointF ViewTransform::toWorld(const QPointF& screen) const {
    return {m_center.x() + (screen.x() - m_viewport.width() / 2.0) / m_scale,
            m_center.y() - (screen.y() - m_viewport.height() / 2.0) / m_scale};
}

QRectF ViewTransform::visibleWorld() const {
    QPointF topLeft = toWorld({0.0, 0.0});
    QPointF bottomRight = toWorld({m_viewport.width(), m_viewport.height()});
    return QRectF(QPointF(topLeft.x(), bottomRight.y()), QPointF(bottomRight.x(), topLeft.y()));
}

QTransform ViewTransform::worldToScreen() const {
    return QTransform(m_scale, 0.0, 0.0, -m_scale,
                      m_viewport.width() / 2.0 - m_center.x() * m_scale,
                      m_viewport.height() / 2.0 + m_center.y() * m_scale);
}

void ViewTransform::zoomAbout(const QPointF& screen, double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    QPointF fixed = toWorld(screen);
    m_scale = Clamped(m_scale * factor);
    m_center = {fixed.x() - (screen.x() - m_viewport.width() / 2.0) / m_scale,
                fixed.y() + (screen.y() - m_viewport.height() / 2.0) / m_scale};
}

void ViewTransform::panBy(const QPointF& pixels) {
    m_center -= QPointF(pixels.x() / m_scale, -pixels.y() / m_scale);
}

void ViewTransform::fit(const QRectF& world, double margin) {
    QRectF box = world.normalized();
    if (!std::isfinite(box.left()) || !std::isfinite(box.top()) || !std::isfinite(box.width()) ||
        !std::isfinite(box.height()))
        return;
    double usable = std::max(1.0 - 2.0 * margin, 0.05);
    double across = m_viewport.width() * usable, down = m_viewport.height() * usable;
    double scale = m_scale;
    if (box.width() > 0.0 && box.height() > 0.0)
        scale = std::min(across / box.width(), down / box.height());
    else if (box.width() > 0.0)
        scale = across / box.width();
    else if (box.height() > 0.0)
        scale = down / box.height();
    setCenterAndScale(box.center(), scale);
}

} // namespace cadhost::gui
