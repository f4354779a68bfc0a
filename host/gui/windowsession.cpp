#include "gui/windowsession.h"

#include "db/dxf/filestate.h"
#include "editor/documents.h"
#include "editor/drawing.h"
#include "editor/session.h"
#include "gui/commandlinepane.h"
#include "gui/drawingview.h"
#include "gui/qtapplication.h"
#include "gui/windowfrontend.h"
#include "runtime/host.h"

#include "win/frontend.h"
#include "win/paths.h"
#include "win/process.h"

#include "arx/dbdatabase.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <strings.h>

namespace cadhost::gui {

namespace {

editor::Session& TheSession() {
    return *editor::TheSession();
}

AcDbDatabase* ShownDatabase() {
    editor::Document* doc = editor::Docs().current();
    return doc ? doc->database() : nullptr;
}

bool StartsWithWord(const std::string& line, const char* word) {
    std::size_t n = std::strlen(word);
    return line.size() >= n && strncasecmp(line.c_str(), word, n) == 0 &&
           (line.size() == n || line[n] == ' ');
}

bool AnswersADialog(const std::optional<std::string>& line) {
    return line && (StartsWithWord(*line, "dlg") || StartsWithWord(*line, "msgbox") ||
                    StartsWithWord(*line, "filedlg"));
}

std::string Number(double value) {
    if (std::fabs(value) < 1e-12)
        value = 0.0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

} // namespace

WindowSession::WindowSession(Host& host, const WindowOptions& options)
    : m_host(host), m_options(options) {
    TheApplication();
    m_view = new DrawingView(m_scene);
    m_commandLine = new CommandLinePane;
    m_window = std::make_unique<MainWindow>(m_view, m_commandLine);

    editor::Session& s = TheSession();
    s.cmdline.setListener(m_commandLine);
    m_commandLine->currentLineChanged(s.cmdline.currentLine());
    s.window = this;
    m_host.setTerminalReader([this](std::string& line) { return read(line); });
    s.script.setPacer([this] { pace(); });
    // While the host waits for another program the window repaints and takes no input, as
    // the host answers nothing until that program ends.
    m_previousWaitCallback = win::SetWaitCallback(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    // Over the host's scripted front end, which answers while the script has lines.
    m_dialogs = std::make_unique<WindowFrontEnd>(win::GetFrontEnd(), m_window.get(),
                                                 m_options.stepMilliseconds);

    m_window->setCommandSource([] {
        MainWindow::CommandGroups groups;
        for (AcEdCommand* command : TheSession().commands.all()) {
            std::string group = command->groupName();
            if (group == editor::CommandStack::kHostGroup)
                continue;
            if (groups.empty() || groups.back().first != group)
                groups.push_back({group, {}});
            groups.back().second.push_back(command->localName());
        }
        return groups;
    });
    QObject::connect(m_commandLine, &CommandLinePane::lineEntered,
                     [this](const QString& line) { type(line.toStdString()); });
    QObject::connect(m_commandLine, &CommandLinePane::cancelRequested, [this] { cancel(); });
    QObject::connect(m_view, &DrawingView::pointClicked,
                     [this](const QPointF& world) { type(pointText(world)); });
    QObject::connect(m_view, &DrawingView::pickClicked,
                     [this](const QPointF& world, bool adding) { pick(world, adding); });
    QObject::connect(m_view, &DrawingView::doubleClicked, [this](const QPointF& world) {
        // The editor's double click, as the DBLCLICK command gives it.
        if (TheSession().commandPrompt)
            type("DBLCLICK " + pointText(world));
    });
    QObject::connect(m_view, &DrawingView::cancelRequested, [this] { cancel(); });
    QObject::connect(m_view, &DrawingView::enterPressed, [this] { m_commandLine->submit(); });
    QObject::connect(m_view, &DrawingView::typed,
                     [this](const QString& text) { m_commandLine->typeIn(text); });
    QObject::connect(m_view, &DrawingView::cursorMoved, [this](const QPointF& world) {
        AcGePoint3d ucs = toUcs(world);
        m_window->showCursorPosition(QString::asprintf("%.4f, %.4f", ucs.x, ucs.y));
    });
    QObject::connect(m_window.get(), &MainWindow::actionChosen,
                     [this](MainWindow::Action action) { choose(action); });
    QObject::connect(m_window.get(), &MainWindow::commandChosen,
                     [this](const QString& name) { runMenuInput({name.toStdString()}); });
    QObject::connect(m_window.get(), &MainWindow::closeRequested, [this] {
        // The close box ends the session as QUIT does, asking what QUIT asks.
        runMenuInput({"QUIT"});
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_window.get(), [this] {
        m_ended = true;
        wake();
    });
}

WindowSession::~WindowSession() {
    m_dialogs.reset(); // puts the scripted front end back
    win::SetWaitCallback(std::move(m_previousWaitCallback));
    if (editor::Session* s = editor::TheSession()) {
        s->script.setPacer({});
        m_host.setTerminalReader({});
        s->window = nullptr;
        s->cmdline.setListener(nullptr);
    }
    m_window->allowClose();
    m_window->close();
}

void WindowSession::show() {
    m_window->show();
    // The window gets its size before the drawing is fitted into it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    refresh();
}

void WindowSession::followDrawing() {
    AcDbDatabase* db = ShownDatabase();
    AcDbObjectId shown = db ? db->currentSpaceId() : AcDbObjectId();
    if (shown == m_shown)
        return;
    const ViewTransform& view = m_view->transform();
    if (!m_shown.isNull())
        m_seen[m_shown] = {view.center(), view.scale()};
    m_shown = shown;
    auto seen = m_seen.find(shown);
    if (seen != m_seen.end())
        m_view->transform().setCenterAndScale(seen->second.center, seen->second.scale);
    else
        m_view->zoomExtents(); // a drawing shown for the first time is shown whole
}

void WindowSession::refresh() {
    editor::Session& s = TheSession();
    editor::Document* doc = editor::Docs().current();
    AcDbDatabase* db = doc ? doc->database() : nullptr;
    bool changed = m_scene.follow(db);
    followDrawing();
    std::vector<AcDbObjectId> selected;
    if (doc)
        for (const AcDbObjectId& id : doc->pickfirst())
            if (!id.isNull() && !id.isErased())
                selected.push_back(id);
    changed = m_scene.setSelection(selected) || changed;
    m_window->setWindowTitle(QString("cadhost - ") + (doc ? doc->docTitle() : "no drawing"));

    if (s.pointRequest.active && db) {
        DrawingView::Band band = s.pointRequest.corner    ? DrawingView::Band::Box
                                 : s.pointRequest.hasBase ? DrawingView::Band::Line
                                                          : DrawingView::Band::None;
        const editor::Point3& b = s.pointRequest.base;
        AcGePoint3d base = AcGePoint3d(b.x, b.y, b.z).transformBy(editor::UcsToWorld(db));
        m_view->askForPoint(band, QPointF(base.x, base.y));
    } else {
        m_view->stopAskingForPoint();
    }
    if (changed)
        m_view->update();
}

AcGePoint3d WindowSession::toUcs(const QPointF& world) const {
    AcDbDatabase* db = ShownDatabase();
    AcGeMatrix3d toWorld = db ? editor::UcsToWorld(db) : AcGeMatrix3d();
    AcGePoint3d origin = AcGePoint3d::kOrigin;
    origin.transformBy(toWorld);
    AcGeVector3d x = AcGeVector3d::kXAxis, y = AcGeVector3d::kYAxis;
    x.transformBy(toWorld);
    y.transformBy(toWorld);
    AcGeVector3d normal = x.crossProduct(y);
    // Down the view's line of sight (the world's z) onto the UCS plane; a plane standing on
    // edge to the view takes the point in the world's ground plane.
    AcGePoint3d p(world.x(), world.y(), 0.0);
    if (std::fabs(normal.z) > 1e-9)
        p.z = -((p - origin).dotProduct(normal)) / normal.z;
    return p.transformBy(toWorld.inverse());
}

std::string WindowSession::pointText(const QPointF& world) const {
    AcGePoint3d p = toUcs(world);
    return Number(p.x) + "," + Number(p.y);
}

bool WindowSession::read(std::string& line) {
    refresh();
    for (;;) {
        if (!m_menu.empty()) {
            if (!TheSession().commandPrompt && m_menuCancels > 0) {
                --m_menuCancels;
                line = "^C";
                return true;
            }
            m_menuCancels = 0;
            line = std::move(m_menu.front());
            m_menu.pop_front();
            return true;
        }
        if (!m_typed.empty()) {
            line = std::move(m_typed.front());
            m_typed.pop_front();
            return true;
        }
        if (m_ended)
            return false;
        if (m_endOnce) {
            m_endOnce = false;
            return false;
        }
        QEventLoop loop;
        m_waiting = &loop;
        loop.exec();
        m_waiting = nullptr;
    }
}

void WindowSession::pace() {
    refresh();
    // A line answering a dialog, a message box or a file dialog was paused for by the dialogs'
    // front end, with the dialog showing.
    if (m_options.stepMilliseconds <= 0 || AnswersADialog(TheSession().script.peek())) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(m_options.stepMilliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void WindowSession::wake() {
    if (m_waiting)
        m_waiting->quit();
}

void WindowSession::type(const std::string& line) {
    m_typed.push_back(line);
    wake();
}

void WindowSession::cancel() {
    type("^C");
}

void WindowSession::runMenuInput(std::vector<std::string> lines) {
    m_typed.clear();
    m_menu.assign(lines.begin(), lines.end());
    m_menuCancels = 2;
    wake();
}

void WindowSession::endInput() {
    m_endOnce = true;
    wake();
}

void WindowSession::pick(const QPointF& world, bool adding) {
    editor::Session& s = TheSession();
    editor::Document* doc = editor::Docs().current();
    if (!s.commandPrompt || !doc)
        return;
    std::optional<AcDbObjectId> hit = editor::EntityAt(
        doc->database(), AcGePoint3d(world.x(), world.y(), 0.0), m_view->pickTolerance());
    std::vector<AcDbObjectId>& chosen = doc->pickfirst();
    if (!adding)
        chosen.clear();
    if (hit) {
        auto it = std::find(chosen.begin(), chosen.end(), *hit);
        if (it == chosen.end())
            chosen.push_back(*hit);
        else if (adding)
            chosen.erase(it);
    }
    refresh();
}

std::optional<std::string> WindowSession::askForFile(const FileQuestion& question) {
    if (m_chooser)
        return m_chooser(question);
    QString path = question.kind == FileQuestion::Kind::Open
                       ? QFileDialog::getOpenFileName(m_window.get(), question.title, QString(),
                                                      question.filter)
                       : QFileDialog::getSaveFileName(m_window.get(), question.title, QString(),
                                                      question.filter);
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

void WindowSession::choose(MainWindow::Action action) {
    using Action = MainWindow::Action;
    using Kind = FileQuestion::Kind;
    // The command that takes a file name, with the name in the platform's Windows form.
    auto withFile = [this](const char* command, const FileQuestion& question) {
        if (auto path = askForFile(question))
            runMenuInput({command, win::ToWindowsPath(*path)});
    };
    const QString drawings = "Drawings (*.dxf)";
    switch (action) {
    case Action::New:
        runMenuInput({"NEW"});
        break;
    case Action::Open:
        withFile("OPEN", {Kind::Open, "Open Drawing", drawings});
        break;
    case Action::Save: {
        AcDbDatabase* db = ShownDatabase();
        const db::dxf::FileState* state = db ? db::dxf::FileStateOf(db) : nullptr;
        if (state && !state->path.empty())
            runMenuInput({"QSAVE"});
        else
            withFile("SAVEAS", {Kind::SaveAs, "Save Drawing As", drawings});
        break;
    }
    case Action::SaveAs:
        withFile("SAVEAS", {Kind::SaveAs, "Save Drawing As", drawings});
        break;
    case Action::ExportPicture:
        withFile("EXPORT", {Kind::ExportPicture, "Export Picture",
                            "Pictures (*.svg *.png);;SVG (*.svg);;PNG (*.png)"});
        break;
    case Action::Quit:
        runMenuInput({"QUIT"});
        break;
    case Action::Undo:
        runMenuInput({"U"});
        break;
    case Action::ZoomExtents:
        m_view->zoomExtents();
        break;
    }
}

bool WindowSession::snapshot(const std::string& path, std::string& error) {
    refresh();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QPixmap pixels = m_window->grab();
    if (pixels.isNull()) {
        error = "the window shows nothing";
        return false;
    }
    if (!pixels.save(QString::fromStdString(path), "PNG")) {
        error = "the picture cannot be written there";
        return false;
    }
    return true;
}

void WindowSession::zoomExtents() {
    refresh();
    m_view->zoomExtents();
}

void WindowSession::zoomWindow(const AcGePoint3d& first, const AcGePoint3d& second) {
    refresh();
    m_view->zoomWindow(QPointF(first.x, first.y), QPointF(second.x, second.y));
}

} // namespace cadhost::gui
