// A host session in which the sheet dialogs can run: the module's resources are found,
// the preferences and the installation folder are in a fresh registry, and a test front end
// plays the user one step at a time (what it leaves goes to the host's scripted front end).
#pragma once

#include "storage_test_host.h"
#include "test_front_end.h"

#include "frame/resourcescript.h"
#include "specsheet/preferences.h"

#include "win/gdi.h"
#include "win/paint.h"
#include "win/userinput.h"
#include "win/window.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class SpecSheetTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        win::AddResourceScript(nullptr, &RivletResourceScript());
        std::filesystem::create_directories(InstallFolder());
        WriteRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location",
                      "C:\\Kestrune\\VIZUDaro\\");
        // Over the host's scripted front end, which answers what the test leaves.
        m_ui.emplace();
    }
    void TearDown() override {
        m_ui.reset();
        win::RemoveResourceScript(&RivletResourceScript());
        StorageTest::TearDown();
    }

    std::string InstallFolder() const { return folders.DriveC() + "/Kestrune/VIZUDaro"; }
    static void SetPreference(const char* name, const std::string& value) {
        WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, name, value.c_str());
    }
    static std::string Preference(const char* name) {
        std::string value;
        ReadRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, name, value);
        return value;
    }

    // A step of the user in the running dialog.
    void Then(std::function<void(HWND)> step) { ui().steps.push_back(std::move(step)); }
    TestFrontEnd& ui() { return *m_ui; }
    static HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }
    static void Click(HWND dialog, int id) {
        HWND control = Control(dialog, id);
        win::UserMovesMouseTo(control, win::ClientCentre(control));
        win::UserClicks();
    }
    // The pixels of a control as it paints now.
    static std::vector<COLORREF> Pixels(HWND control, int& cx, int& cy) {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        std::vector<COLORREF> pixels;
        win::ReadPixels(win::WindowSurface(control), cx, cy, pixels);
        return pixels;
    }

private:
    std::optional<TestFrontEnd> m_ui;
};
