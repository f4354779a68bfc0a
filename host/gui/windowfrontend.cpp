#include "gui/windowfrontend.h"

#include "gui/filedialogwindow.h"
#include "gui/messageboxwindow.h"
#include "gui/qtapplication.h"
#include "gui/windowpicture.h"

#include "editor/scriptedfrontend.h"

#include "win/gdi.h"
#include "win/window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QScreen>

#include <algorithm>

namespace cadhost::gui {

namespace {

std::string Caption(HWND window) {
    win::WindowInfo info;
    return win::GetWindowInfo(window, info) ? info.text : std::string();
}

// The window that owns a window, or its parent: the next one up towards the dialog it belongs
// to.
HWND Up(HWND window) {
    return GetParent(window);
}

} // namespace

WindowFrontEnd::WindowFrontEnd(win::FrontEnd* scripted, QWidget* owner, int stepDelayMs)
    : m_scripted(scripted), m_hostScript(dynamic_cast<editor::ScriptedFrontEnd*>(scripted)),
      m_previous(nullptr), m_owner(owner), m_stepDelay(stepDelayMs) {
    TheApplication();
    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(0);
    QObject::connect(&m_showTimer, &QTimer::timeout, &m_context, [this] { ShowWindows(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &m_context, [this] {
        m_quitting = true;
        if (m_loop)
            m_loop->quit();
    });
    m_previous = win::SetFrontEnd(this);
}

WindowFrontEnd::~WindowFrontEnd() {
    win::SetFrontEnd(m_previous);
    for (auto& [handle, window] : m_windows)
        delete window.data();
}

// ---- Which front end answers ----

bool WindowFrontEnd::ScriptAnswers() {
    if (!m_scripted)
        return false;
    if (!m_hostScript)
        return true;
    return m_hostScript->HasScriptLines();
}

void WindowFrontEnd::Pause(int milliseconds) {
    if (milliseconds <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---- Dialogs ----

bool WindowFrontEnd::NextDialogInput(HWND dialog) {
    ShowWindows();
    if (ScriptAnswers()) {
        Pause(m_stepDelay);
        return m_scripted->NextDialogInput(dialog);
    }
    return WaitForPerson(dialog);
}

bool WindowFrontEnd::ModelHasWork() const {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

bool WindowFrontEnd::WaitForPerson(HWND dialog) {
    // Nobody can act in a dialog that does not show: it is closed as Escape closes it.
    if (m_quitting || QCoreApplication::closingDown() || !IsWindowVisible(dialog))
        return false;
    m_waiting = dialog;
    m_acted = false;
    if (m_waitListener)
        m_waitListener(dialog);
    auto done = [&] {
        return m_acted || ModelHasWork() || !IsWindow(dialog) || !IsWindowVisible(dialog);
    };
    if (!done()) {
        QEventLoop loop;
        m_loop = &loop;
        // The wait ends when the person acted, and also when something else gave the model
        // work or ended the dialog (a timer, another window): checked whenever the loop is
        // about to sleep, and now and then.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        poll.start(50);
        QMetaObject::Connection sleeping;
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
            sleeping =
                QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
                    if (done())
                        loop.quit();
                });
        loop.exec();
        QObject::disconnect(sleeping);
        m_loop = nullptr;
    }
    m_waiting = nullptr;
    // A loop that ended with nothing done was ended by the application (it quits): the
    // dialog is closed as Escape closes it.
    return done() && !(m_quitting && !m_acted);
}

bool WindowFrontEnd::TakesInput(HWND window) const {
    return m_waiting && window == m_waiting;
}

void WindowFrontEnd::Acted() {
    m_acted = true;
    if (m_loop)
        m_loop->quit();
}

void WindowFrontEnd::DialogOpened(HWND dialog) {
    if (m_scripted)
        m_scripted->DialogOpened(dialog);
    ScheduleShow();
}

void WindowFrontEnd::DialogClosed(HWND dialog, INT_PTR result) {
    if (m_scripted)
        m_scripted->DialogClosed(dialog, result);
    ScheduleShow();
}

// ---- Message boxes and file dialogs ----

QWidget* WindowFrontEnd::TopWindow() const {
    if (DialogWindow* top = WindowOf(win::TopmostModalDialog()))
        return top;
    return m_owner.data();
}

int WindowFrontEnd::ShowMessageBox(const win::MessageBoxRequest& box) {
    ShowWindows();
    if (ScriptAnswers()) {
        if (m_stepDelay > 0) {
            std::unique_ptr<QMessageBox> shown = MakeMessageBox(box, TopWindow());
            shown->setWindowModality(Qt::NonModal);
            shown->show();
            Pause(m_stepDelay);
        }
        return m_scripted->ShowMessageBox(box);
    }
    std::unique_ptr<QMessageBox> asked = MakeMessageBox(box, TopWindow());
    asked->setWindowModality(Qt::ApplicationModal);
    asked->exec();
    int answer = AnswerOf(*asked, box);
    if (m_hostScript)
        m_hostScript->RecordMessageBox(box, answer);
    return answer;
}

std::optional<std::string> WindowFrontEnd::ShowFileDialog(const win::FileDialogRequest& dialog) {
    // The model's own dialog window does not show: Qt's dialog stands for it.
    if (dialog.dialog)
        m_native.insert(dialog.dialog);
    ShowWindows();
    if (ScriptAnswers()) {
        if (m_stepDelay > 0) {
            std::unique_ptr<QFileDialog> shown = MakeFileDialog(dialog, TopWindow());
            shown->setWindowModality(Qt::NonModal);
            shown->show();
            Pause(m_stepDelay);
        }
        return m_scripted->ShowFileDialog(dialog);
    }
    std::unique_ptr<QFileDialog> asked = MakeFileDialog(dialog, TopWindow());
    asked->setWindowModality(Qt::ApplicationModal);
    asked->exec();
    std::optional<std::string> answer = AnswerOf(*asked);
    if (m_hostScript)
        m_hostScript->RecordFileDialog(dialog, answer);
    return answer;
}

// ---- Following the model's windows ----

void WindowFrontEnd::WindowCreated(HWND) {
    ScheduleShow();
}

void WindowFrontEnd::WindowChanged(HWND) {
    ScheduleShow();
}

void WindowFrontEnd::WindowDestroyed(HWND window) {
    m_native.erase(window);
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return;
    if (DialogWindow* shown = it->second) {
        shown->hide();
        shown->deleteLater();
    }
    m_windows.erase(it);
    ScheduleShow();
}

void WindowFrontEnd::ScheduleShow() {
    if (!m_showTimer.isActive())
        m_showTimer.start();
}

DialogWindow* WindowFrontEnd::WindowOf(HWND window) const {
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second.data();
}

bool WindowFrontEnd::Mirrors(HWND window) const {
    if (!IsWindowVisible(window) || m_native.count(window))
        return false;
    // The host's frame is the main window's to show.
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd == window)
        return false;
    QRect area = ShownArea(window);
    RECT r{};
    GetWindowRect(window, &r);
    return r.right > r.left && r.bottom > r.top && !area.isEmpty();
}

QWidget* WindowFrontEnd::ParentFor(HWND window) const {
    for (HWND h = Up(window); h; h = Up(h))
        if (DialogWindow* shown = WindowOf(h))
            return shown;
    return m_owner.data();
}

QPoint WindowFrontEnd::OffsetFor(HWND window) {
    for (HWND h = Up(window); h; h = Up(h))
        if (DialogWindow* shown = WindowOf(h); shown && shown->isVisible())
            return shown->geometry().topLeft() - shown->modelArea().topLeft();
    if (!m_baseSet) {
        // The middle of the model's screen over the middle of the owner, or of the screen.
        QPoint middle;
        if (m_owner && m_owner->isVisible())
            middle = m_owner->mapToGlobal(m_owner->rect().center());
        else if (QScreen* screen = QGuiApplication::primaryScreen())
            middle = screen->availableGeometry().center();
        m_baseOffset = middle - QPoint(win::kScreenWidth / 2, win::kScreenHeight / 2);
        m_baseSet = true;
    }
    return m_baseOffset;
}

void WindowFrontEnd::ShowWindows() {
    if (m_showing)
        return;
    m_showing = true;
    m_showTimer.stop();
    std::vector<HWND> shown;
    for (HWND top : win::TopLevelWindows())
        if (Mirrors(top))
            shown.push_back(top);
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (std::find(shown.begin(), shown.end(), it->first) != shown.end() && it->second) {
            ++it;
            continue;
        }
        if (DialogWindow* gone = it->second) {
            gone->hide();
            gone->deleteLater();
        }
        it = m_windows.erase(it);
    }
    for (HWND top : shown) {
        // Painting runs the windows' own painting code, which may change what shows.
        QImage pixels = ModelPicture(top);
        if (!IsWindow(top) || !Mirrors(top))
            continue;
        QRect area = ShownArea(top);
        DialogWindow* window = WindowOf(top);
        // A new window and a tooltip go where their owner shows; a dialog that the model
        // moved moves as far, from where the person may have put it.
        bool place = !window || !HasTitleBar(top) || window->modelArea() != area;
        QPoint offset = window && HasTitleBar(top)
                            ? window->geometry().topLeft() - window->modelArea().topLeft()
                            : OffsetFor(top);
        if (!window) {
            window = new DialogWindow(top, *this, ParentFor(top));
            m_windows[top] = window;
        }
        window->Follow(pixels, area, QString::fromStdString(Caption(top)),
                       IsWindowEnabled(top) != FALSE);
        if (place)
            window->setGeometry(QRect(area.topLeft() + offset, area.size()));
        if (!window->isVisible())
            window->show();
    }
    // The innermost dialog comes on top once, when it shows (a platform without a stacking
    // order, such as the offscreen one, has nothing to raise).
    DialogWindow* top = WindowOf(win::TopmostModalDialog());
    if (top && top != m_raised) {
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
            top->raise();
            top->activateWindow();
        }
        m_raised = top;
    }
    m_showing = false;
}

} // namespace cadhost::gui
