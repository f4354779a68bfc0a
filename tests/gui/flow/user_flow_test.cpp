// A drafter's whole way through the window, with the mouse and keys as a person uses them: the
// module installed and loaded as `cadhost --gui --load KSRRivlet.arx` loads it, SheetSpec chosen
// from the modules' menu, a division and a section added to the sheet by double clicks in the
// dialog's lists, "Create!" clicked, the box's two corners clicked in the drawing view, the
// drawing saved from the File menu; ezdxf then finds the sheet in the saved drawing, laid out
// and recorded as the module lays it out.
//
// This program links no module code: the module is the built KSRRivlet.arx.
#include "dialog_window_input.h"
#include "window_fixture.h"

#include "gui/windowfrontend.h"

#include "win/registry.h"
#include "win/window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using gui_test::DialogWindow;
using gui_test::ItemCentre;
using gui_test::Person;

constexpr int kCreate = 1; // IDOK: "Create!"
constexpr int kSheetList = 227;
constexpr int kSectionFiles = 228; // the folder's files
constexpr int kDivisions = 229;    // the division catalogue
constexpr const char* kPython = "/usr/bin/python3";

std::string Bin() {
    return std::string(RIVLET_BINARY_DIR) + "/bin";
}

// The output of a command and its exit status.
int RunProgram(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return pclose(pipe);
}

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The index of a list box's item with exactly this text, or -1.
int ItemIndex(HWND list, const std::string& text) {
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buffer[256] = "";
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        if (text == buffer)
            return i;
    }
    return -1;
}

void SetPreference(const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KSR\\MTEXT\\Preferences", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class UserFlowTest : public MainWindowTest {
protected:
    // The installation a user has: the module's folder registered by rivlet-setup, a folder of
    // sections, and that folder in the user's preferences from an earlier sheet.
    void beforeHostStarts() override {
        std::string install = folders().DriveC() + "/Kestrune/VIZUDaro";
        std::filesystem::create_directories(install);
        // Links to the build's programs, which find their libraries beside them.
        for (const char* program : {"KSRRivlet.arx", "Scrivel", "WordPad", "WordServer"})
            if (std::filesystem::exists(Bin() + "/" + program))
                std::filesystem::create_symlink(Bin() + "/" + program, install + "/" + program);
        std::string output;
        ASSERT_EQ(RunProgram(Quoted(Bin() + "/rivlet-setup") + " " + Quoted(install), output), 0)
            << output;
        std::string specs = folders().DriveC() + "/Specs";
        std::filesystem::create_directories(specs);
        for (const char* name :
             {"01010 Summary of Work.rtf", "04200 Unit Masonry.rtf", "09900 Painting.rtf"})
            std::filesystem::copy_file(std::string(RIVLET_SOURCE_DIR) + "/examples/specs/" + name,
                                       specs + "/" + name);
        SetPreference("RTFFOLDER", "C:\\Specs");
    }

    QAction* menuItem(const QString& menuText, const QString& itemText) {
        for (QAction* menu : window().menuBar()->actions())
            if (menu->text() == menuText && menu->menu())
                for (QAction* action : menu->menu()->actions())
                    if (action->text() == itemText)
                        return action;
        return nullptr;
    }
    QAction* moduleCommand(const QString& name) {
        for (QAction* group : window().commandsMenu()->actions())
            if (QMenu* menu = group->menu())
                for (QAction* action : menu->actions())
                    if (action->text() == name)
                        return action;
        return nullptr;
    }

    // A double click on a list's item, with the presses and releases a mouse gives.
    static void DoubleClickItem(DialogWindow& window, int list, const std::string& text) {
        int index = ItemIndex(GetDlgItem(window.handle(), list), text);
        ASSERT_GE(index, 0) << "no item " << text;
        QPoint at = ItemCentre(window, list, index);
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, at);
    }
};

TEST_F(UserFlowTest, SheetSpecFromTheMenuToTheSavedDrawing) {
    std::string error;
    ASSERT_TRUE(host().loadModule(Bin() + "/KSRRivlet.arx", &error)) << error;
    QAction* sheetSpec = moduleCommand("SheetSpec");
    ASSERT_NE(sheetSpec, nullptr) << "the modules' menu lacks SheetSpec";

    // The person at the dialog, each time it waits for them.
    std::vector<std::string> sheetList;
    QWidget* dialogOwner = nullptr;
    Person person(session().dialogs());
    person.Then([&](DialogWindow& window) {
        dialogOwner = window.parentWidget();
        DoubleClickItem(window, kDivisions, "DIVISION 4 - MASONRY");
    });
    person.Then([&](DialogWindow& window) {
        DoubleClickItem(window, kSectionFiles, "04200 Unit Masonry.rtf");
    });
    person.Then([&](DialogWindow& window) {
        HWND list = GetDlgItem(window.handle(), kSheetList);
        for (const char* entry : {"DIVISION 4 - MASONRY", "C:\\Specs\\04200 Unit Masonry.rtf"})
            if (ItemIndex(list, entry) >= 0)
                sheetList.push_back(entry);
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          gui_test::ControlCentre(window, kCreate));
    });

    // The view shows the drawing at a scale that puts the corners aimed at on whole pixels.
    std::string drawing = root() + "/masonry.dxf";
    session().setFileChooser([&](const cadhost::gui::FileQuestion&) { return drawing; });
    auto click = [this](double x, double y) {
        return [this, x, y] { QTest::mouseClick(&view(), Qt::LeftButton, {}, pixelOf(x, y)); };
    };
    view().transform().setCenterAndScale(QPointF(5, 25), 30.0);
    QAction* save = menuItem("&File", "&Save");
    ASSERT_NE(save, nullptr);
    std::string log = drive({[sheetSpec] { sheetSpec->trigger(); }, click(2, 30), click(8, 20),
                             [save] { save->trigger(); }});

    EXPECT_EQ(dialogOwner, &window()) << "the dialog shows over the main window";
    EXPECT_EQ(sheetList.size(), 2u) << log;
    EXPECT_NE(log.find("Command: SheetSpec\n** Dialog \"KSR - New Spec Sheet\"\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Select first corner(NODE): 2,30\nSelect second corner(NODE): 8,20\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Command: SAVEAS\n"), std::string::npos) << log;
    ASSERT_TRUE(std::filesystem::exists(drawing)) << log;

    std::string output;
    if (RunProgram(std::string(kPython) + " -c 'import ezdxf'", output) != 0)
        GTEST_SKIP() << "no ezdxf for " << kPython << " (Debian's python3-ezdxf)";
    int status =
        RunProgram(std::string(kPython) + " " +
                       Quoted(std::string(RIVLET_SOURCE_DIR) + "/tests/e2e/sheetspec_ezdxf.py") +
                       " " + Quoted(drawing) + " 2,30 8,20 'DIVISION 4 - MASONRY' " +
                       Quoted("C:\\Specs\\04200 Unit Masonry.rtf"),
                   output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("sheet of 2 items"), std::string::npos) << output;
}

} // namespace
