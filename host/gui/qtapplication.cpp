#include "gui/qtapplication.h"

#include <QApplication>

#include <string>
#include <vector>

namespace cadhost::gui {

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
    return *app;
}

} // namespace cadhost::gui
