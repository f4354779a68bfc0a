#include "gui/mainwindow.h"

#include "gui/commandlinepane.h"
#include "gui/drawingview.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace cadhost::gui {

MainWindow::MainWindow(DrawingView* view, CommandLinePane* commandLine) {
    setWindowTitle("cadhost");
    setCentralWidget(view);
    auto* dock = new QDockWidget("Command Line", this);
    dock->setObjectName("commandLine");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(commandLine);
    addDockWidget(Qt::BottomDockWidgetArea, dock);

    auto add = [this](QMenu* menu, const QString& text, Action action,
                      QKeySequence shortcut = QKeySequence()) {
        QAction* item = menu->addAction(text);
        if (!shortcut.isEmpty())
            item->setShortcut(shortcut);
        connect(item, &QAction::triggered, this, [this, action] { emit actionChosen(action); });
    };
    QMenu* file = menuBar()->addMenu("&File");
    add(file, "&New", Action::New, QKeySequence::New);
    add(file, "&Open...", Action::Open, QKeySequence::Open);
    add(file, "&Save", Action::Save, QKeySequence::Save);
    add(file, "Save &As...", Action::SaveAs, QKeySequence::SaveAs);
    add(file, "&Export Picture...", Action::ExportPicture);
    file->addSeparator();
    add(file, "&Quit", Action::Quit, QKeySequence::Quit);
    QMenu* edit = menuBar()->addMenu("&Edit");
    add(edit, "&Undo", Action::Undo, QKeySequence::Undo);
    QMenu* viewMenu = menuBar()->addMenu("&View");
    add(viewMenu, "Zoom &Extents", Action::ZoomExtents);
    m_commandsMenu = menuBar()->addMenu("&Modules");
    connect(m_commandsMenu, &QMenu::aboutToShow, this, &MainWindow::fillCommandsMenu);

    m_position = new QLabel(this);
    m_position->setMinimumWidth(220);
    statusBar()->addPermanentWidget(m_position);
    resize(1000, 720);
}

void MainWindow::showCursorPosition(const QString& text) {
    m_position->setText(text);
}

QString MainWindow::cursorPosition() const {
    return m_position->text();
}

QMenu* MainWindow::commandsMenu() {
    fillCommandsMenu();
    return m_commandsMenu;
}

void MainWindow::fillCommandsMenu() {
    m_commandsMenu->clear();
    CommandGroups groups = m_commands ? m_commands() : CommandGroups();
    if (groups.empty()) {
        m_commandsMenu->addAction("(no module loaded)")->setEnabled(false);
        return;
    }
    for (const auto& [group, commands] : groups) {
        QMenu* menu = m_commandsMenu->addMenu(QString::fromStdString(group));
        for (const std::string& command : commands) {
            QString name = QString::fromStdString(command);
            connect(menu->addAction(name), &QAction::triggered, this,
                    [this, name] { emit commandChosen(name); });
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_mayClose) {
        event->accept();
        return;
    }
    event->ignore();
    emit closeRequested();
}

} // namespace cadhost::gui
