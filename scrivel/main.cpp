// Scrivel: a COM local server without classes.  It registers and unregisters itself on
// request and otherwise ends at once, which is what makes it a harmless MText editor for the
// CAD host to start.
#include "server.h"

#include "win/cmdline.h"

int main(int argc, char** argv) {
    win::SetProcessCommandLine(argc, argv);
    return scrivel::ExitStatusOf(scrivel::RunScrivel(GetCommandLineA()));
}
