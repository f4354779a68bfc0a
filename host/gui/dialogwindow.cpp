#include "gui/dialogwindow.h"

#include "gui/keys.h"
#include "gui/windowpicture.h"

#include "win/messages.h"
#include "win/userinput.h"
#include "win/window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace cadhost::gui {

namespace {

// The point of the model's screen that lies on no window of the dialog: where the mouse is
// when it has left the real window.
POINT Outside(HWND window) {
    HWND top = window;
    while (GetParent(top) && (GetWindowLongPtrA(top, GWL_STYLE) & WS_CHILD))
        top = GetParent(top);
    return win::PointOutside(top);
}

} // namespace

DialogWindow::DialogWindow(HWND handle, WindowInput& input, QWidget* parent)
    : QWidget(parent, HasTitleBar(handle)
                          ? Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                Qt::CustomizeWindowHint
                          : Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                                Qt::WindowDoesNotAcceptFocus),
      m_handle(handle), m_input(input) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    if (HasTitleBar(handle)) {
        setFocusPolicy(Qt::StrongFocus);
        setWindowModality(Qt::ApplicationModal);
    } else {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }
}

void DialogWindow::Follow(const QImage& pixels, const QRect& modelArea, const QString& title,
                          bool enabled) {
    if (windowTitle() != title)
        setWindowTitle(title);
    if (isEnabled() != enabled)
        setEnabled(enabled);
    m_modelArea = modelArea;
    if (size() != modelArea.size())
        setFixedSize(modelArea.size());
    if (pixels != m_pixels) {
        m_pixels = pixels;
        update();
    }
}

bool DialogWindow::Takes() const {
    return isEnabled() && m_input.TakesInput(m_handle);
}

bool DialogWindow::event(QEvent* event) {
    // Tab and Shift+Tab are the dialog's keys (its tab order), not Qt's focus chain.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void DialogWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_pixels);
}

void DialogWindow::MoveTo(const QPointF& local) {
    QPoint model = ModelPoint(local.toPoint());
    win::UserMovesMouse(POINT{model.x(), model.y()});
}

void DialogWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!Takes())
        return;
    MoveTo(event->position());
    m_input.Acted();
}

void DialogWindow::mousePressEvent(QMouseEvent* event) {
    if (!Takes() || event->button() != Qt::LeftButton)
        return;
    MoveTo(event->position());
    win::UserPressesLeftButton(true);
    m_input.Acted();
}

void DialogWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!Takes() || event->button() != Qt::LeftButton)
        return;
    MoveTo(event->position());
    win::UserPressesLeftButton(false);
    m_input.Acted();
}

void DialogWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!Takes() || event->button() != Qt::LeftButton)
        return;
    MoveTo(event->position());
    win::UserPressesLeftButtonAgain();
    m_input.Acted();
}

void DialogWindow::wheelEvent(QWheelEvent* event) {
    if (!Takes())
        return;
    int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    MoveTo(event->position());
    win::UserTurnsWheel(delta);
    m_input.Acted();
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    if (!Takes())
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool control = modifiers & Qt::ControlModifier;
    if (std::optional<UINT> key = VirtualKeyOf(event->key())) {
        win::UserPressesKey(*key, shift || event->key() == Qt::Key_Backtab, control);
        m_input.Acted();
        return;
    }
    // Text: letters, digits and blanks as their keys, anything else as its characters.
    QString text = event->text();
    if (control || (modifiers & Qt::AltModifier) || text.isEmpty() || text.at(0) < QChar(0x20) ||
        text.at(0) == QChar(0x7F))
        return;
    win::UserTypes(text.toUtf8().toStdString());
    m_input.Acted();
}

void DialogWindow::leaveEvent(QEvent*) {
    if (!Takes())
        return;
    win::UserMovesMouse(Outside(m_handle));
    m_input.Acted();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The model decides whether its window closes, as a click on its close box asks it to.
    event->ignore();
    if (!Takes())
        return;
    win::UserClosesWindow(m_handle);
    m_input.Acted();
}

} // namespace cadhost::gui
