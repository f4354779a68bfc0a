#include "gui/drawingview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace cadhost::gui {

namespace {

// One notch of a wheel (120 eighths of a degree) zooms by this factor.
constexpr double kZoomPerNotch = 1.25;
constexpr double kPickPixels = 4.0;

} // namespace

DrawingView::DrawingView(const DrawingScene& scene, QWidget* parent)
    : QWidget(parent), m_scene(scene) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMinimumSize(200, 150);
    m_view.setViewport(size());
}

void DrawingView::zoomExtents() {
    if (m_scene.hasBounds())
        m_view.fit(m_scene.bounds());
    else
        m_view.fit(QRectF(0.0, 0.0, 12.0, 9.0), 0.0);
    update();
}

void DrawingView::zoomWindow(const QPointF& first, const QPointF& second) {
    m_view.fit(QRectF(first, second).normalized(), 0.0);
    update();
}

void DrawingView::askForPoint(Band band, const QPointF& base) {
    if (m_asking && m_band == band && m_base == base)
        return;
    m_asking = true;
    m_band = band;
    m_base = base;
    update();
}

void DrawingView::stopAskingForPoint() {
    if (!m_asking)
        return;
    m_asking = false;
    m_band = Band::None;
    update();
}

double DrawingView::pickTolerance() const {
    return kPickPixels / m_view.scale();
}

void DrawingView::paintEvent(QPaintEvent*) {
    ++m_paints;
    QPainter painter(this);
    m_painter.paint(painter, m_scene, m_view);
    painter.resetTransform();
    paintBand(painter);
}

void DrawingView::paintBand(QPainter& painter) {
    if (!m_asking || m_band == Band::None || !m_cursor)
        return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ScenePainter::kHighlight, 1.0, Qt::DashLine);
    painter.setPen(pen);
    QPointF base = m_view.toScreen(m_base);
    if (m_band == Band::Line)
        painter.drawLine(base, *m_cursor);
    else
        painter.drawRect(QRectF(base, *m_cursor).normalized());
}

void DrawingView::resizeEvent(QResizeEvent*) {
    m_view.setViewport(size());
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    QPointF at = event->position();
    if (event->button() == Qt::MiddleButton) {
        m_panFrom = at;
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    QPointF world = m_view.toWorld(at);
    if (m_asking)
        emit pointClicked(world);
    else
        emit pickClicked(world, (event->modifiers() & Qt::ShiftModifier) != 0);
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    QPointF at = event->position();
    if (m_panFrom) {
        m_view.panBy(at - *m_panFrom);
        m_panFrom = at;
        update();
    }
    m_cursor = at;
    if (m_asking && m_band != Band::None)
        update();
    emit cursorMoved(m_view.toWorld(at));
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && m_panFrom) {
        m_panFrom.reset();
        setCursor(Qt::CrossCursor);
    }
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* event) {
    QPointF world = m_view.toWorld(event->position());
    if (event->button() == Qt::MiddleButton) {
        zoomExtents();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    // While a point is asked for, the second click of a double click is one more click.
    if (m_asking)
        emit pointClicked(world);
    else
        emit doubleClicked(world);
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    m_view.zoomAbout(event->position(), std::pow(kZoomPerNotch, notches));
    update();
    emit cursorMoved(m_view.toWorld(event->position()));
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit cancelRequested();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        return;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        emit typed(event->text());
        return;
    }
    QWidget::keyPressEvent(event);
}

void DrawingView::leaveEvent(QEvent*) {
    m_cursor.reset();
    if (m_asking)
        update();
}

} // namespace cadhost::gui
