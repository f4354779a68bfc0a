// A host session with the module's dialogs shown in real windows (Qt, offscreen unless the
// environment names a platform): the window front end installed over the host's scripted one,
// the module's resources, an installation folder, and a specification folder C:\Specs with
// some of the example sections.  A Person plays the user through the windows' own events,
// one step each time the front end waits for an act (dialog_window_input.h).
#pragma once

#include "dialog_window_input.h"
#include "storage_test_host.h"

#include "frame/resourcescript.h"
#include "specsheet/preferences.h"

#include "win/frontend.h"

#include <filesystem>
#include <optional>
#include <string>

namespace gui_test {

class WindowTest : public StorageTest {
protected:
    void SetUp() override {
        Application();
        StorageTest::SetUp();
        win::AddResourceScript(nullptr, &RivletResourceScript());
        std::filesystem::create_directories(folders.DriveC() + "/Kestrune/VIZUDaro");
        WriteRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location",
                      "C:\\Kestrune\\VIZUDaro\\");
        std::string specs = folders.DriveC() + "/Specs";
        std::filesystem::create_directories(specs);
        for (const char* name :
             {"01010 Summary of Work.rtf", "04200 Unit Masonry.rtf", "09900 Painting.rtf"})
            std::filesystem::copy_file(std::string(RIVLET_SOURCE_DIR) + "/examples/specs/" + name,
                                       specs + "/" + name);
        WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "RTFFOLDER", "C:\\Specs");
        WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "GENERATE", "");
        frontEnd.emplace(win::GetFrontEnd());
        person.emplace(*frontEnd);
    }
    void TearDown() override {
        person.reset();
        frontEnd.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        win::RemoveResourceScript(&RivletResourceScript());
        StorageTest::TearDown();
    }

    // A file of the test data copied onto drive C:, by its Windows path.
    std::string OnDriveC(const std::string& sourcePath, const std::string& name) {
        std::filesystem::copy_file(std::string(RIVLET_SOURCE_DIR) + "/" + sourcePath,
                                   folders.DriveC() + "/" + name,
                                   std::filesystem::copy_options::overwrite_existing);
        return "C:\\" + name;
    }

    std::optional<WindowFrontEnd> frontEnd;
    std::optional<Person> person;
};

} // namespace gui_test
