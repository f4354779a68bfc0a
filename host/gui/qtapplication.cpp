#include "gui/qtapplication.h"

#include <QApplication>
#include <QByteArray>

#include <cstdlib>
#include <string>
#include <vector>

namespace cadhost::gui {

namespace {

QtMessageHandler g_qtMessages = nullptr;

// The windowless platform of tests and batch runs says, at every change of a window's size
// limits, that it keeps none; that says nothing to a user of the host.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains("does not support propagateSizeHints"))
        return;
    if (g_qtMessages)
        g_qtMessages(type, context, message);
}

} // namespace

bool CanShowWindows(std::string& why) {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    std::string platform = chosen ? chosen : "";
    if (platform.empty())
        platform = set("WAYLAND_DISPLAY") ? "wayland" : "xcb";
    if (platform.rfind("xcb", 0) == 0 && !set("DISPLAY")) {
        why = "no X display to show the window on (DISPLAY is not set; QT_QPA_PLATFORM=offscreen "
              "runs without one)";
        return false;
    }
    if (platform.rfind("wayland", 0) == 0 && !set("WAYLAND_DISPLAY")) {
        why = "no Wayland display to show the window on (WAYLAND_DISPLAY is not set)";
        return false;
    }
    return true;
}

QApplication& TheApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *app;
    // Qt keeps argc and argv for the life of the application.
    static std::vector<std::string> arguments{"cadhost"};
    static std::vector<char*> argv;
    static int argc = 0;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    static QApplication* app = new QApplication(argc, argv.data());
    g_qtMessages = qInstallMessageHandler(FilterMessages);
    return *app;
}

} // namespace cadhost::gui
