// A real window that shows one top-level window of the platform's window model (a dialog, a
// tooltip) and carries a person's mouse and keyboard into the model as the user input that
// Windows would post (win/userinput.h): the mouse moving (so that controls see it arrive and
// leave), its left button going down and up, double clicks, the wheel, keys, typed text, and
// the close box of the title bar.
//
// The window shows the pixels the model painted (win::ComposeWindowPicture): what a person
// sees is what scripts picture with "dlg snapshot".  Its owner (the front end) decides when
// input may go into the model and hears of every act that went.
#pragma once

#include "win/types.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

namespace cadhost::gui {

// What a window asks of the front end that made it.
class WindowInput {
public:
    virtual ~WindowInput() = default;
    // Whether a person's input to the window goes into the model now.
    virtual bool TakesInput(HWND window) const = 0;
    // Input went into the model: the model has something to do.
    virtual void Acted() = 0;
};

class DialogWindow final : public QWidget {
public:
    // A window for the model's window `handle`; with a title bar for a window with a caption,
    // else a frameless one that lets the mouse through (a tooltip).
    DialogWindow(HWND handle, WindowInput& input, QWidget* parent);

    HWND handle() const { return m_handle; }
    // The model's pixels for the shown area (screen coordinates of the model), the caption
    // and whether the model's window takes input; repaints what changed.
    void Follow(const QImage& pixels, const QRect& modelArea, const QString& title, bool enabled);
    // The pixels shown now.
    const QImage& pixels() const { return m_pixels; }
    // The model's screen point under a point of this window.
    QPoint ModelPoint(const QPoint& local) const { return local + m_modelArea.topLeft(); }
    // The model's shown area as the window shows it now.
    const QRect& modelArea() const { return m_modelArea; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool Takes() const;
    void MoveTo(const QPointF& local);

    HWND m_handle;
    WindowInput& m_input;
    QImage m_pixels;
    QRect m_modelArea;
};

} // namespace cadhost::gui
