// The host's main window: the drawing view, the command line docked below it, the menus
// (File, Edit, View, and the commands of the loaded modules) and a status bar with the
// cursor's position.  The window only shows and asks; what a menu item does is the
// window session's (gui/windowsession.h).
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QMenu;

namespace cadhost::gui {

class CommandLinePane;
class DrawingView;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    enum class Action { New, Open, Save, SaveAs, ExportPicture, Quit, Undo, ZoomExtents };

    // The window takes the view and the pane as its children.
    MainWindow(DrawingView* view, CommandLinePane* commandLine);

    // The command groups of the loaded modules, with their commands' names, asked each time
    // the menu opens (modules come and go).
    using CommandGroups = std::vector<std::pair<std::string, std::vector<std::string>>>;
    void setCommandSource(std::function<CommandGroups()> source) { m_commands = std::move(source); }

    void showCursorPosition(const QString& text);
    QString cursorPosition() const;
    // The menu of the modules' commands as it now is (made afresh).
    QMenu* commandsMenu();
    // From now on the close box closes the window (the session has ended).
    void allowClose() { m_mayClose = true; }

signals:
    void actionChosen(MainWindow::Action action);
    void commandChosen(const QString& name);
    // The window's close box: the session decides (it ends as QUIT ends it).
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fillCommandsMenu();

    QMenu* m_commandsMenu = nullptr;
    QLabel* m_position = nullptr;
    std::function<CommandGroups()> m_commands;
    bool m_mayClose = false;
};

} // namespace cadhost::gui
