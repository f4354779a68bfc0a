// The module loader: start-up and unload messages, drawings announced to modules, modules
// that do not allow unloading, files that are not modules.
#include "host_fixture.h"

#include "arx/editor.h"

#include <fstream>

namespace {

std::string Probe(const char* kind) {
    return std::string(RIVLET_BINARY_DIR) + "/bin/test-modules/probe_" + kind + ".arx";
}

using ModuleLoaderTest = HostSessionTest;

} // namespace

TEST_F(ModuleLoaderTest, AModuleHearsOfItsStartDrawingsAndUnload) {
    host().takeOutput();
    ASSERT_TRUE(host().loadModule(Probe("unlockable")));
    EXPECT_EQ(host().takeOutput(), "probe: attach\nprobe: init\nprobe: drawing Drawing1.dwg");
    std::string log = run("PROBE\nNEW\nCLOSE\n");
    EXPECT_NE(log.find("probe: command"), std::string::npos) << log;
    EXPECT_NE(log.find("probe: drawing Drawing2.dwg"), std::string::npos) << log;
    EXPECT_NE(log.find("probe: closing Drawing2.dwg"), std::string::npos) << log;
    log = run("ARX\nUnload\nprobe_unlockable\nPROBE\n");
    EXPECT_NE(log.find("probe: closing Drawing1.dwg\nprobe: unload\nprobe: detach\n"
                       "probe_unlockable unloaded."),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Unknown command \"PROBE\""), std::string::npos) << log;
    EXPECT_EQ(acedRegCmds->lookupLocalCmd("PROBE"), nullptr);
}

TEST_F(ModuleLoaderTest, AModuleThatDoesNotUnlockItselfStaysLoaded) {
    ASSERT_TRUE(host().loadModule(Probe("locked")));
    std::string log = run("ARX\nU\nprobe_locked.arx\nPROBE\n");
    EXPECT_NE(log.find("cannot unload probe_locked.arx: the module does not allow it."),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("probe: command"), std::string::npos) << log;
    EXPECT_TRUE(acrxDynamicLinker->isApplicationLocked("probe_locked.arx"));
    // At the end of the session every module goes, locked or not (the fixture stops it).
}

TEST_F(ModuleLoaderTest, FilesThatAreNotModulesAreRefusedWithTheirReason) {
    std::string error;
    EXPECT_FALSE(host().loadModule(root() + "/none.arx", &error));
    EXPECT_EQ(error, "cannot load " + root() + "/none.arx: no such file");
    std::ofstream(root() + "/text.arx") << "hello";
    EXPECT_FALSE(host().loadModule(root() + "/text.arx", &error));
    EXPECT_NE(error.find("not a module"), std::string::npos) << error;
    ASSERT_TRUE(host().loadModule(Probe("unlockable")));
    EXPECT_FALSE(host().loadModule(Probe("unlockable"), &error));
    EXPECT_EQ(error, "probe_unlockable.arx is already loaded");
    // Named without its extension, the module is found with ".arx".
    std::string bare = Probe("locked");
    bare.resize(bare.size() - 4);
    EXPECT_TRUE(host().loadModule(bare, &error)) << error;
}
