// Playing a person at the dialogs' windows of the window front end (gui/windowfrontend.h): the
// application, a Person who acts each time the front end waits, and where a dialog's controls
// and list items are in its window, with the windows' own mouse events.
#pragma once

#include "gui/dialogwindow.h"
#include "gui/qtapplication.h"
#include "gui/windowfrontend.h"

#include "win/window.h"

#include <QApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace gui_test {

using cadhost::gui::DialogWindow;
using cadhost::gui::WindowFrontEnd;

// The application, on the offscreen platform when no display is named.
inline QApplication& Application() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return cadhost::gui::TheApplication();
}

// The user at the windows.  Each step runs when the front end waits for an act in a dialog and
// must act (else the test fails and the dialog is closed with Escape); once the steps are done,
// Escape closes each dialog that still waits.
class Person {
public:
    explicit Person(WindowFrontEnd& frontEnd) : m_frontEnd(frontEnd) {
        frontEnd.SetWaitListener([this](HWND dialog) { Turn(dialog); });
    }
    ~Person() { m_frontEnd.SetWaitListener(nullptr); }
    Person(const Person&) = delete;
    Person& operator=(const Person&) = delete;

    void Then(std::function<void(DialogWindow&)> step) { m_steps.push_back(std::move(step)); }
    int turns = 0;

private:
    void Turn(HWND dialog) {
        ++turns;
        DialogWindow* window = m_frontEnd.WindowOf(dialog);
        if (!window) {
            ADD_FAILURE() << "the dialog waits without a window";
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (m_steps.empty()) {
            QTest::keyClick(window, Qt::Key_Escape);
            return;
        }
        std::function<void(DialogWindow&)> step = std::move(m_steps.front());
        m_steps.pop_front();
        step(*window);
        MSG msg;
        if (IsWindowVisible(dialog) && !m_frontEnd.PersonActed() &&
            !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ADD_FAILURE() << "a step did nothing in the dialog";
            QTest::keyClick(window, Qt::Key_Escape);
        }
    }

    WindowFrontEnd& m_frontEnd;
    std::deque<std::function<void(DialogWindow&)>> m_steps;
};

// ---- Where things are in a window, and the window's own events ----

// The centre of a dialog's control in its window's coordinates.
inline QPoint ControlCentre(const DialogWindow& window, int id) {
    HWND control = GetDlgItem(window.handle(), id);
    RECT r{};
    GetWindowRect(control, &r);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2) - window.modelArea().topLeft();
}

// The centre of a list box's item in its window's coordinates.
inline QPoint ItemCentre(const DialogWindow& window, int listId, int item) {
    HWND list = GetDlgItem(window.handle(), listId);
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &centre);
    return QPoint(centre.x, centre.y) - window.modelArea().topLeft();
}

// The mouse moves to a point of the window with no button down: the window's own event, as
// the window system delivers it.
inline void MoveMouse(QWidget& window, const QPoint& at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(window.mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
}

// The mouse leaves the window.
inline void LeaveWindow(QWidget& window) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&window, &leave);
}

// The pixels of a control's rectangle as the window shows them.
inline QImage ControlPixels(DialogWindow& window, int id) {
    HWND control = GetDlgItem(window.handle(), id);
    RECT r{};
    GetWindowRect(control, &r);
    QRect area(QPoint(r.left, r.top) - window.modelArea().topLeft(),
               QSize(r.right - r.left, r.bottom - r.top));
    return window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

// Runs `act` on the topmost modal Qt widget of type T once it shows (a message box or a file
// dialog that the code under test opens with its own modal loop).
template <class T> void WhenShown(std::function<void(T&)> act, int triesLeft = 500) {
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        if (auto* shown = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(*shown);
            return;
        }
        if (triesLeft > 0)
            WhenShown<T>(std::move(act), triesLeft - 1);
        else
            ADD_FAILURE() << "the dialog never showed";
    });
}

// Chooses a file or folder in Qt's file dialog as a person does: the name selected, then the
// dialog accepted.  The dialog lists its folder in a thread of its own, and a listing that
// arrives after the selection may clear it (then accepting does nothing); the choice is made
// again, a little later, until the dialog has closed.
inline void ChooseInFileDialog(QFileDialog& dialog, const QString& path, int triesLeft = 250) {
    dialog.selectFile(path);
    static_cast<QDialog&>(dialog).accept(); // public in QDialog
    if (!dialog.isVisible() || triesLeft <= 0)
        return;
    QTimer::singleShot(20, [shown = QPointer<QFileDialog>(&dialog), path, triesLeft] {
        if (shown && shown->isVisible())
            ChooseInFileDialog(*shown, path, triesLeft - 1);
    });
}

} // namespace gui_test
