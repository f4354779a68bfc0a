// A host session with the module's dialogs shown in real windows (Qt, offscreen unless the
// environment names a platform): the window front end installed over the host's scripted one,
// the module's resources, an installation folder, and a specification folder C:\Specs with
// some of the example sections.  A Person plays the user through the windows' own events,
// one step each time the front end waits for an act.
#pragma once

#include "storage_test_host.h"

#include "frame/resourcescript.h"
#include "gui/qtapplication.h"
#include "gui/windowfrontend.h"
#include "specsheet/preferences.h"

#include "win/frontend.h"
#include "win/window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

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

class WindowTest : public StorageTest {
protected:
    void SetUp() override {
        Application();
        StorageTest::SetUp();
        win::AddResourceScript(nullptr, &RivletResourceScript());
        std::filesystem::create_directories(folders.DriveC() + "/Kestrune/VIZUDaro");
        WriteRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location",
                      "C:\\Kestrune\\VIZUDaro\\");
        std::string specs = folders.DriveC() + "/Specs";
        std::filesystem::create_directories(specs);
        for (const char* name :
             {"01010 Summary of Work.rtf", "04200 Unit Masonry.rtf", "09900 Painting.rtf"})
            std::filesystem::copy_file(std::string(RIVLET_SOURCE_DIR) + "/examples/specs/" + name,
                                       specs + "/" + name);
        WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "RTFFOLDER", "C:\\Specs");
        WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "GENERATE", "");
        frontEnd.emplace(win::GetFrontEnd());
        person.emplace(*frontEnd);
    }
    void TearDown() override {
        person.reset();
        frontEnd.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        win::RemoveResourceScript(&RivletResourceScript());
        StorageTest::TearDown();
    }

    // A file of the test data copied onto drive C:, by its Windows path.
    std::string OnDriveC(const std::string& sourcePath, const std::string& name) {
        std::filesystem::copy_file(std::string(RIVLET_SOURCE_DIR) + "/" + sourcePath,
                                   folders.DriveC() + "/" + name,
                                   std::filesystem::copy_options::overwrite_existing);
        return "C:\\" + name;
    }

    std::optional<WindowFrontEnd> frontEnd;
    std::optional<Person> person;
};

} // namespace gui_test
