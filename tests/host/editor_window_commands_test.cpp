// What the host offers a window: SNAPSHOT and ZOOM through the window's services (and one
// line saying they need it in the headless host), the point prompts a click may answer, the
// Command: prompt told apart from a command's prompts, and a pace set on a playing script.
#include "host_fixture.h"

#include "editor/session.h"
#include "editor/windowservices.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using cadhost::editor::TheSession;

class FakeWindow final : public cadhost::editor::WindowServices {
public:
    bool snapshot(const std::string& path, std::string& error) override {
        snapshots.push_back(path);
        if (refuse)
            error = "disk full";
        return !refuse;
    }
    void zoomExtents() override { ++extents; }
    void zoomWindow(const AcGePoint3d& a, const AcGePoint3d& b) override {
        windows.push_back({a, b});
    }

    std::vector<std::string> snapshots;
    bool refuse = false;
    int extents = 0;
    std::vector<std::pair<AcGePoint3d, AcGePoint3d>> windows;
};

class WindowCommandsTest : public HostSessionTest {
protected:
    void TearDown() override {
        TheSession()->window = nullptr;
        HostSessionTest::TearDown();
    }
    FakeWindow window;
};

TEST_F(WindowCommandsTest, WithoutAWindowTheCommandsSaySo) {
    std::string log = run("SNAPSHOT\nZOOM E\n");
    EXPECT_EQ(log, "Command: SNAPSHOT\nSNAPSHOT needs the window: start cadhost with --gui.\n"
                   "Command: ZOOM E\nZOOM needs the window: start cadhost with --gui.\n");
}

TEST_F(WindowCommandsTest, SnapshotWritesThroughTheWindow) {
    TheSession()->window = &window;
    std::string log = run("SNAPSHOT\n/tmp/view.png\nSNAPSHOT\nC:\\pictures\\a.png\n");
    ASSERT_EQ(window.snapshots.size(), 2u);
    EXPECT_EQ(window.snapshots[0], "/tmp/view.png");
    EXPECT_NE(window.snapshots[1].find("/drive_c/pictures/a.png"), std::string::npos)
        << "a Windows path maps into the prefix";
    EXPECT_NE(log.find("Enter picture file name (.png) <Drawing1.png>: /tmp/view.png\n"
                       "Window picture written to /tmp/view.png."),
              std::string::npos)
        << log;

    window.refuse = true;
    log = run("SNAPSHOT\n\n");
    ASSERT_EQ(window.snapshots.size(), 3u);
    EXPECT_EQ(window.snapshots[2], std::filesystem::current_path() / "Drawing1.png")
        << "the default name, in the current folder";
    EXPECT_NE(log.find("Cannot write Drawing1.png: disk full"), std::string::npos) << log;
}

TEST_F(WindowCommandsTest, ZoomTakesExtentsAWindowOrTwoCornersInTheUcs) {
    TheSession()->window = &window;
    run("ZOOM\n\nZOOM E\n");
    EXPECT_EQ(window.extents, 2);

    // The UCS is turned 90 degrees about z: UCS (1, 0) is world (0, 1).
    run("UCS\nZ\n90\nZOOM\nW\n1,0\n2,3\nZOOM\n0,0\n-1,0\n");
    ASSERT_EQ(window.windows.size(), 2u);
    EXPECT_TRUE(window.windows[0].first.isEqualTo(AcGePoint3d(0, 1, 0)));
    EXPECT_TRUE(window.windows[0].second.isEqualTo(AcGePoint3d(-3, 2, 0)));
    EXPECT_TRUE(window.windows[1].second.isEqualTo(AcGePoint3d(0, -1, 0)));

    std::string log = run("ZOOM\nbogus\n");
    EXPECT_NE(log.find("Invalid option keyword."), std::string::npos);
    EXPECT_EQ(window.windows.size(), 2u);
}

// What a terminal reader sees of the prompts: which ask for points, and which is the
// Command: prompt.
TEST_F(WindowCommandsTest, ReadersSeeWhatThePromptWaitsFor) {
    struct Seen {
        std::string line;
        bool commandPrompt;
        bool point, corner;
    };
    std::vector<Seen> seen;
    std::vector<std::string> answers = {"LINE", "1,1", "2,2", "", "ZOOM", "W", "0,0", "3,3"};
    std::size_t next = 0;
    TheSession()->window = &window;
    host().setTerminalReader([&](std::string& line) {
        if (next == answers.size())
            return false;
        auto* s = TheSession();
        seen.push_back({s->cmdline.currentLine(), s->commandPrompt, s->pointRequest.active,
                        s->pointRequest.corner});
        line = answers[next++];
        return true;
    });
    host().runPendingInput();
    ASSERT_EQ(seen.size(), answers.size());
    EXPECT_TRUE(seen[0].commandPrompt);
    EXPECT_FALSE(seen[0].point);
    EXPECT_EQ(seen[1].line, "Specify first point: ");
    EXPECT_FALSE(seen[1].commandPrompt);
    EXPECT_TRUE(seen[1].point);
    EXPECT_FALSE(seen[1].corner);
    EXPECT_TRUE(seen[2].point) << "the next point";
    EXPECT_TRUE(seen[4].commandPrompt);
    EXPECT_TRUE(seen[5].point) << "ZOOM's first prompt takes a click";
    EXPECT_TRUE(seen[7].corner) << "the opposite corner";
    EXPECT_FALSE(TheSession()->pointRequest.active) << "nothing waits any more";
}

TEST_F(WindowCommandsTest, APacedScriptCallsThePacerBeforeEachLine) {
    std::vector<std::string> before;
    TheSession()->script.setPacer([&] {
        auto next = TheSession()->script.peek();
        before.push_back(next ? *next : "?");
    });
    run("; a comment is no step\nSETVAR\nMTEXTED\n.\n");
    TheSession()->script.setPacer({});
    EXPECT_EQ(before, (std::vector<std::string>{"SETVAR", "MTEXTED", "."}));
}

} // namespace
