// A host session in a window per test, in a prefix and temporary folder of its own, on Qt's
// windowless platform unless the environment names another.  The test plays the user: each
// action runs once the session waits for input, and the session's loop returns when the
// actions are done.
#pragma once

#include "prefix_folders.h"

#include "editor/session.h"
#include "gui/commandlinepane.h"
#include "gui/drawingview.h"
#include "gui/mainwindow.h"
#include "gui/windowsession.h"
#include "runtime/host.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"

#include <QImage>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MainWindowTest : public ::testing::Test {
protected:
    using Action = std::function<void()>;

    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        m_folders.emplace("cadhost-gui-test");
        beforeHostStarts();
        m_host = &cadhost::Host::start();
        m_session = std::make_unique<cadhost::gui::WindowSession>(*m_host);
        m_session->window().resize(1000, 720);
        m_session->show();
        // On a real display, the window is mapped in the display's own time.
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_session->window()));
        m_host->takeOutput();
    }
    void TearDown() override {
        m_session.reset();
        cadhost::Host::stop();
        m_folders.reset();
    }

    // What a test puts into the fresh prefix before the host reads it (an installation).
    virtual void beforeHostStarts() {}

    cadhost::Host& host() { return *m_host; }
    cadhost::gui::WindowSession& session() { return *m_session; }
    cadhost::gui::DrawingView& view() { return m_session->view(); }
    cadhost::gui::MainWindow& window() { return m_session->window(); }
    cadhost::gui::CommandLinePane& commandLine() { return m_session->commandLine(); }
    const std::string& root() const { return m_folders->Root(); }
    const rivlet_test::PrefixFolders& folders() const { return *m_folders; }
    AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

    // Runs the session, doing each action once it waits for the user; when they are done the
    // input ends and the host's loop returns.  Answers the log.
    std::string drive(std::vector<Action> actions) {
        std::size_t next = 0;
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!m_session->waitingForInput())
                return;
            if (next < actions.size()) {
                actions[next++]();
                return;
            }
            timer.stop();
            m_session->endInput();
        });
        timer.start();
        m_host->runPendingInput();
        timer.stop();
        return m_host->takeOutput();
    }
    // Plays script lines in the window; answers the log.
    std::string run(const std::string& lines) {
        m_host->feedInput(lines);
        return drive({});
    }
    // The view's pixel nearest to a world point.
    QPoint pixelOf(double x, double y) {
        return view().transform().toScreen(QPointF(x, y)).toPoint();
    }
    // The view painted now, whether or not a display has shown its window yet.
    QImage viewPicture() { return view().grab().toImage(); }
    void paintView() { viewPicture(); }

private:
    std::optional<rivlet_test::PrefixFolders> m_folders;
    cadhost::Host* m_host = nullptr;
    std::unique_ptr<cadhost::gui::WindowSession> m_session;
};

// Pixels within radius of a point that the test says are of interest.
int CountPixels(const QImage& image, QPoint center, int radius,
                const std::function<bool(QColor)>& wanted);
bool IsHighlight(QColor c);
bool IsInk(QColor c); // anything clearly darker than the white paper
