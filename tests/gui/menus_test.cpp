// The menus run the host's commands, with file names from a file dialog, cancelling a command
// that runs first; the modules' menu lists what the loaded modules registered; the window's
// close box ends the session as QUIT does.
#include "window_fixture.h"

#include "editor/documents.h"
#include "editor/drawing.h"

#include "arx/editor.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <filesystem>

namespace {

using cadhost::editor::Docs;

int g_testCommandRuns = 0;
void TestCommand() {
    ++g_testCommandRuns;
}

class MenusTest : public MainWindowTest {
protected:
    QAction* item(const QString& menuText, const QString& itemText) {
        for (QAction* menu : window().menuBar()->actions())
            if (menu->text() == menuText && menu->menu())
                for (QAction* action : menu->menu()->actions())
                    if (action->text() == itemText)
                        return action;
        ADD_FAILURE() << "no menu item " << itemText.toStdString();
        return nullptr;
    }
    Action choose(const QString& menuText, const QString& itemText) {
        return [this, menuText, itemText] {
            if (QAction* action = item(menuText, itemText))
                action->trigger();
        };
    }
    Action type(const std::string& line) {
        return [this, line] { session().type(line); };
    }
    // File dialogs answer the next of these names.
    void answerFileDialogs(std::vector<std::string> names) {
        auto answers = std::make_shared<std::vector<std::string>>(std::move(names));
        session().setFileChooser([this, answers](const cadhost::gui::FileQuestion& question) {
            asked.push_back(question.kind);
            std::optional<std::string> name;
            if (!answers->empty()) {
                name = answers->front();
                answers->erase(answers->begin());
            }
            return name;
        });
    }
    std::vector<cadhost::gui::FileQuestion::Kind> asked;
};

TEST_F(MenusTest, FileAndEditItemsRunTheirCommands) {
    std::string log = drive({choose("&File", "&New")});
    EXPECT_NE(log.find("Command: NEW\nNew drawing Drawing2.dwg."), std::string::npos) << log;

    log = drive({type("LINE"), type("0,0"), type("1,1"), type(""), choose("&Edit", "&Undo")});
    EXPECT_NE(log.find("Command: U\n"), std::string::npos) << log;
    EXPECT_TRUE(cadhost::editor::CurrentSpaceEntities(db()).empty()) << "the line is taken back";
}

TEST_F(MenusTest, AnItemChosenWhileACommandRunsCancelsItFirst) {
    std::string log = drive({type("LINE"), type("2,2"), choose("&File", "&New")});
    EXPECT_NE(log.find("Specify next point: *Cancel*\nCommand: NEW\n"), std::string::npos) << log;
    EXPECT_EQ(Docs().documents().size(), 2u);
}

TEST_F(MenusTest, FileNamesComeFromTheFileDialog) {
    std::string drawing = root() + "/plan.dxf", picture = root() + "/plan.svg";
    answerFileDialogs({drawing, picture, drawing});
    std::string log = drive({type("CIRCLE"), type("1,1"), type("2"), choose("&File", "&Save"),
                             choose("&File", "&Export Picture..."), choose("&File", "&Save"),
                             choose("&File", "&Open...")});
    using Kind = cadhost::gui::FileQuestion::Kind;
    // Save asks for a name only while the drawing has none.
    EXPECT_EQ(asked, (std::vector<Kind>{Kind::SaveAs, Kind::ExportPicture, Kind::Open}));
    EXPECT_TRUE(std::filesystem::exists(drawing));
    EXPECT_TRUE(std::filesystem::exists(picture));
    EXPECT_NE(log.find("Command: SAVEAS\nEnter file name: Z:\\"), std::string::npos) << log;
    EXPECT_NE(log.find("Command: QSAVE\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Command: EXPORT\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Command: OPEN\nEnter name of drawing to open: Z:\\"), std::string::npos)
        << log;
    EXPECT_EQ(Docs().documents().size(), 2u);

    // A cancelled dialog runs nothing.
    answerFileDialogs({});
    log = drive({choose("&File", "&Open...")});
    EXPECT_EQ(log.find("OPEN"), std::string::npos) << log;
}

TEST_F(MenusTest, TheModulesMenuListsTheirCommands) {
    QMenu* menu = window().commandsMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_FALSE(menu->actions()[0]->isEnabled()) << "no module: nothing to choose";

    g_testCommandRuns = 0;
    ASSERT_EQ(acedRegCmds->addCommand("PLANTOOLS", "_PLANCHECK", "PlanCheck", ACRX_CMD_MODAL,
                                      TestCommand),
              Acad::eOk);
    menu = window().commandsMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "PLANTOOLS");
    QMenu* group = menu->actions()[0]->menu();
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->actions().size(), 1);
    EXPECT_EQ(group->actions()[0]->text(), "PlanCheck");
    std::string log = drive({[group] { group->actions()[0]->trigger(); }});
    EXPECT_EQ(g_testCommandRuns, 1);
    EXPECT_NE(log.find("Command: PlanCheck\n"), std::string::npos) << log;
    acedRegCmds->removeGroup("PLANTOOLS");
}

TEST_F(MenusTest, TheCloseBoxEndsTheSessionAsQuitDoes) {
    std::string log = drive({type("LINE"), type("0,0"), [this] { window().close(); }});
    EXPECT_TRUE(host().quitRequested());
    EXPECT_NE(log.find("Specify next point: *Cancel*\nCommand: QUIT"), std::string::npos) << log;
    EXPECT_TRUE(window().isVisible()) << "the window stays until the session is gone";
}

} // namespace
