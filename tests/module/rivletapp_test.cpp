// The module's entry: start-up, the command table, unload.
#include "frame_test_host.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/docman.h"
#include "arx/editor.h"
#include "editor/session.h"
#include "frame/rivletapp.h"
#include "roundtrip/editorreactor.h"
#include "specsheet/preferences.h"

#include "win/registry.h"

namespace {

class RivletAppTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
    }
    void TearDown() override {
        if (started)
            acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr);
        DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
        g_InstallFolder.clear();
        HostTest::TearDown();
    }
    // As the host's loader does: start-up runs with the current drawing locked.
    void Start() {
        AcApDocument* doc = acDocManager->curDocument();
        ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kAutoWrite), Acad::eOk);
        AcRx::AppRetCode result = acrxEntryPoint(AcRx::kInitAppMsg, nullptr);
        acDocManager->unlockDocument(doc);
        ASSERT_EQ(result, AcRx::kRetOK);
        started = true;
    }
    static std::size_t EditorReactorCount() {
        std::size_t n = 0;
        cadhost::editor::TheSession()->editor.notify([&](AcEditorReactor*) { ++n; });
        return n;
    }
    bool started = false;
};

const char* const kCommands[][2] = {{"_reformFromDict", "reformFromDict"},
                                    {"_RtfToAcad", "RtfToAcad"},
                                    {"_SheetSpec", "SheetSpec"},
                                    {"_Reform", "Reform"}};

} // namespace

TEST_F(RivletAppTest, StartUpRegistersTheFourCommandsAndPrintsOneBanner) {
    Output();
    Start();
    EXPECT_EQ(Output(), "Kestrune - VIZUDaro Version 1.02");
    for (const auto& c : kCommands) {
        AcEdCommand* byGlobal = acedRegCmds->lookupGlobalCmd(c[0]);
        ASSERT_NE(byGlobal, nullptr) << c[0];
        EXPECT_EQ(acedRegCmds->lookupLocalCmd(c[1]), byGlobal);
        EXPECT_STREQ(byGlobal->groupName(), "KSRRivlet");
        EXPECT_EQ(byGlobal->commandFlags(), ACRX_CMD_MODAL);
    }
    // Table order is registration order: the group lists them as the table does.
    std::vector<std::string> order;
    for (AcEdCommand* c : cadhost::editor::TheSession()->commands.all())
        if (std::string(c->groupName()) == "KSRRivlet")
            order.push_back(c->localName());
    EXPECT_EQ(order,
              (std::vector<std::string>{"reformFromDict", "RtfToAcad", "SheetSpec", "Reform"}));
    EXPECT_EQ(EditorReactorCount(), 1u);
    ASSERT_NE(RivletApp().editorReactor(), nullptr);
    EXPECT_TRUE(RivletApp().editorReactor()->IsAttached());
}

TEST_F(RivletAppTest, UnloadRemovesTheCommandsAndDetachesTheReactor) {
    Start();
    ASSERT_EQ(acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr), AcRx::kRetOK);
    started = false;
    for (const auto& c : kCommands) {
        EXPECT_EQ(acedRegCmds->lookupGlobalCmd(c[0]), nullptr);
        EXPECT_EQ(acedRegCmds->lookupLocalCmd(c[1]), nullptr);
    }
    EXPECT_EQ(EditorReactorCount(), 0u);
    EXPECT_EQ(RivletApp().editorReactor(), nullptr);
}

TEST_F(RivletAppTest, MessagesFrom16OnHaveNoEffect) {
    Output();
    for (int code : {16, 17, 255, 100000})
        EXPECT_EQ(acrxEntryPoint(static_cast<AcRx::AppMsgCode>(code), nullptr), AcRx::kRetOK);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(acedRegCmds->lookupLocalCmd("Reform"), nullptr);
    EXPECT_EQ(EditorReactorCount(), 0u);
}

TEST_F(RivletAppTest, StartUpReadsTheInstallFolderAndWritesThePreferencesOnce) {
    ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location",
                              "C:\\Program Files\\VIZUDaro\\"));
    Start();
    EXPECT_EQ(g_InstallFolder, "C:\\Program Files\\VIZUDaro\\");
    const char* key = "Software\\KSR\\MTEXT\\Preferences";
    std::string text;
    for (auto [name, value] : {std::pair{"SPACER", "0.250000"},
                               {"HSPACER", "0.500000"},
                               {"THEIGHT", "0.250000"},
                               {"VHEIGHT", "0.150000"},
                               {"RTFFOLDER", ""},
                               {"GENERATE", ""}}) {
        text = "unread";
        ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, key, name, text)) << name;
        EXPECT_EQ(text, value) << name;
    }
}

TEST_F(RivletAppTest, WithoutALocationTheInstallFolderStaysEmpty) {
    Start();
    EXPECT_EQ(g_InstallFolder, "");
}

TEST_F(RivletAppTest, StartUpRegistersTheApplicationNameInTheDrawing) {
    Start();
    AcDbRegAppTable* table = nullptr;
    ASSERT_EQ(acdbHostApplicationServices()->workingDatabase()->getRegAppTable(table), Acad::eOk);
    EXPECT_TRUE(table->has("KSRRivlet"));
    table->close();
}

TEST_F(RivletAppTest, ReformShowsItsNoticeAndChangesNothing) {
    Start();
    MessageBoxRecorder boxes;
    host->runCommand("Reform");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              "There is no 'reform' now.  Simply 'double-click' the text you\nwish to edit, save "
              "the file and the rest is magic");
    EXPECT_EQ(boxes.boxes[0].type, MB_OK);
}
