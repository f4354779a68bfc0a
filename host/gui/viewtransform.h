// Where the drawing lies in the window's view: the plan of the world (x to the right, y up)
// mapped onto the view's pixels (y down) by a centre and a scale.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace cadhost::gui {

class ViewTransform {
public:
    // The view's size in pixels; the centre and the scale stay.
    void setViewport(const QSizeF& size) { m_viewport = size; }
    QSizeF viewport() const { return m_viewport; }

    // Pixels per drawing unit.
    double scale() const { return m_scale; }
    // The world point in the middle of the view.
    QPointF center() const { return m_center; }
    void setCenterAndScale(const QPointF& center, double scale);

    QPointF toScreen(const QPointF& world) const;
    QPointF toScreen(double x, double y) const { return toScreen(QPointF(x, y)); }
    QPointF toWorld(const QPointF& screen) const;
    // The part of the world the view shows.
    QRectF visibleWorld() const;
    // World to view pixels, for a painter.
    QTransform worldToScreen() const;

    // Scales the view by factor (above 1 enlarges) keeping the world point under the pixel
    // where it is.
    void zoomAbout(const QPointF& screen, double factor);
    // Moves the drawing by a number of pixels, as a drag does.
    void panBy(const QPointF& pixels);
    // Shows the box as large as the view takes it with a margin (a share of the view on each
    // side).  A box without width or height is shown at the scale that fits its other side,
    // or centred at the present scale when it is a point; a box that is not finite changes
    // nothing.
    void fit(const QRectF& world, double margin = 0.05);

private:
    QSizeF m_viewport{800.0, 600.0};
    QPointF m_center{6.0, 4.5}; // a new drawing's 12 by 9 units
    double m_scale = 60.0;
};

} // namespace cadhost::gui
