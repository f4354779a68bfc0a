// The drawing view of the window: the scene painted at the view's pan and zoom.  The middle
// button drags the drawing, the wheel zooms about the cursor, a double click of the middle
// button shows the whole drawing.  A left click either answers the point prompt that waits
// (with a rubber band from its base while the cursor moves) or picks what lies under it; a
// double click is the editor's double-click.  Escape cancels, and what is typed while the
// view has the focus goes to the command line.
#pragma once

#include "gui/drawingscene.h"
#include "gui/scenepainter.h"
#include "gui/viewtransform.h"

#include <QWidget>

#include <optional>

namespace cadhost::gui {

class DrawingView : public QWidget {
    Q_OBJECT

public:
    explicit DrawingView(const DrawingScene& scene, QWidget* parent = nullptr);

    ViewTransform& transform() { return m_view; }
    const ViewTransform& transform() const { return m_view; }
    const ScenePainter& painter() const { return m_painter; }
    // How often the view has been painted.
    std::size_t paintCount() const { return m_paints; }

    // Shows the whole drawing (a new drawing's 12 by 9 units when it is empty).
    void zoomExtents();
    // Shows the box between two world points as large as it fits.
    void zoomWindow(const QPointF& first, const QPointF& second);

    // What a left click answers.
    enum class Band { None, Line, Box };
    // A point prompt waits: a click answers it; with a base, a rubber band (a line, or the
    // box of a corner prompt) runs from the base (world) to the cursor.
    void askForPoint(Band band, const QPointF& base);
    // No point prompt waits: a click picks.
    void stopAskingForPoint();
    bool askingForPoint() const { return m_asking; }

    // How far from an entity a click still picks it, in world units at the present zoom.
    double pickTolerance() const;

signals:
    void pointClicked(const QPointF& world);
    void pickClicked(const QPointF& world, bool adding);
    void doubleClicked(const QPointF& world);
    void cursorMoved(const QPointF& world);
    void cancelRequested();
    // Enter pressed over the view: what the command line holds is given.
    void enterPressed();
    void typed(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintBand(QPainter& painter);

    const DrawingScene& m_scene;
    ViewTransform m_view;
    ScenePainter m_painter;
    bool m_asking = false;
    Band m_band = Band::None;
    QPointF m_base;
    std::optional<QPointF> m_cursor; // in pixels, while over the view
    std::optional<QPointF> m_panFrom;
    std::size_t m_paints = 0;
};

} // namespace cadhost::gui
