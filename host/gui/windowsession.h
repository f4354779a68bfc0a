// The host session in a window (cadhost --gui): the main window follows the session, and the
// user's input reaches the session as a terminal's would.
//
// The host stays single-threaded.  The window's event loop runs inside the host's waits:
// whenever the session reads input and no script line or queued text is left, the session's
// terminal reader runs the event loop until the user gives a line (typed at the command line,
// a click answering a point prompt, a double click, Escape, a menu item) and hands that line
// back.  Host code therefore only runs when the reader returns, never from inside an event.
// While a script plays, each line waits for the window to show what the lines before did
// (and for a pause a viewer can follow); while the session waits for another program, the
// window repaints but takes no input.
//
// The platform's dialogs, message boxes and file dialogs show as real windows over the main
// window (gui/windowfrontend.h): a script's "dlg", "msgbox" and "filedlg" lines answer them
// in those windows while the script has lines, then the person does.
#pragma once

#include "editor/windowservices.h"
#include "gui/drawingscene.h"
#include "gui/mainwindow.h"

#include <QPointF>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QEventLoop;

namespace cadhost {
class Host;
} // namespace cadhost

namespace cadhost::gui {

class CommandLinePane;
class DrawingView;

struct WindowOptions {
    // The pause before each line of a script the window plays, in milliseconds.
    int stepMilliseconds = 0;
};

class WindowFrontEnd;

// What a menu asks a file name for.
struct FileQuestion {
    enum class Kind { Open, SaveAs, ExportPicture };
    Kind kind = Kind::Open;
    QString title;
    QString filter;
};
// A unix path, or nothing when the user cancels.
using FileChooser = std::function<std::optional<std::string>(const FileQuestion&)>;

class WindowSession final : public editor::WindowServices {
public:
    // Takes over the running host session's input and shows its command line and drawing.
    WindowSession(Host& host, const WindowOptions& options = {});
    ~WindowSession() override;
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    // Shows the window, the current drawing whole.
    void show();

    MainWindow& window() { return *m_window; }
    DrawingView& view() { return *m_view; }
    CommandLinePane& commandLine() { return *m_commandLine; }
    // The front end that shows the platform's dialogs over the main window.
    WindowFrontEnd& dialogs() { return *m_dialogs; }
    const DrawingScene& scene() const { return m_scene; }

    // The menus ask for file names with Qt's file dialog unless told otherwise.
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    // Brings the window up to date with the session: the drawing, the selection, what a
    // click answers.
    void refresh();

    // The user's input, as the window's parts give it.
    void type(const std::string& line);
    void cancel();
    // A menu item's input: a running command is cancelled first, as "^C^C" macros do.
    void runMenuInput(std::vector<std::string> lines);
    // The user's input ends for now: once nothing else is queued, the reader answers end of
    // input (as a terminal's end does) one time, and the host's loop returns.
    void endInput();
    // The session waits in the window's event loop for the user.
    bool waitingForInput() const { return m_waiting != nullptr; }

    // A world point as a point prompt takes it: in the user coordinate system, where the
    // view's line of sight meets the UCS plane.
    std::string pointText(const QPointF& world) const;
    AcGePoint3d toUcs(const QPointF& world) const;

    // WindowServices
    bool snapshot(const std::string& path, std::string& error) override;
    void zoomExtents() override;
    void zoomWindow(const AcGePoint3d& first, const AcGePoint3d& second) override;

private:
    bool read(std::string& line);
    void pace();
    void wake();
    void pick(const QPointF& world, bool adding);
    void choose(MainWindow::Action action);
    std::optional<std::string> askForFile(const FileQuestion& question);
    void followDrawing();

    Host& m_host;
    WindowOptions m_options;
    DrawingScene m_scene;
    DrawingView* m_view;
    CommandLinePane* m_commandLine;
    std::unique_ptr<MainWindow> m_window;
    // Made after the main window and gone before it: the dialogs' windows are its children.
    std::unique_ptr<WindowFrontEnd> m_dialogs;
    std::function<void()> m_previousWaitCallback;
    FileChooser m_chooser;

    std::deque<std::string> m_typed;
    std::deque<std::string> m_menu;
    int m_menuCancels = 0;
    bool m_ended = false;
    bool m_endOnce = false;
    QEventLoop* m_waiting = nullptr;

    // How each drawing was last seen (by its current space), so that switching drawings
    // shows each as it was left.
    struct Seen {
        QPointF center;
        double scale = 1.0;
    };
    std::map<AcDbObjectId, Seen> m_seen;
    AcDbObjectId m_shown;
};

} // namespace cadhost::gui
