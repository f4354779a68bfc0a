#include "runtime/host.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/editor.h"
#include "db/registerclasses.h"
#include "db/writegate.h"
#include "editor/dispatch.h"
#include "editor/docops.h"
#include "editor/documents.h"
#include "editor/moduleloader.h"
#include "editor/scriptedfrontend.h"
#include "editor/session.h"
#include "editor/sysvarbinding.h"

#include "win/window.h"

#include <cstdio>
#include <stdexcept>

namespace cadhost {

using editor::Docs;

namespace {

// What the database layer shows (an entity's listing) goes to the command line.
class CommandLineServices final : public AcDbHostApplicationServices {
public:
    explicit CommandLineServices(editor::Session& session) : m_session(session) {}
    void displayString(const char* string, int count) const override {
        if (string && count > 0)
            m_session.cmdline.print(std::string(string, static_cast<std::size_t>(count)));
    }

private:
    editor::Session& m_session;
};

} // namespace

struct Host::Impl {
    editor::Session session;
    CommandLineServices services{session};
    editor::ModuleLoader loader;
    std::unique_ptr<editor::ScriptedFrontEnd> frontEnd;
};

namespace {
Host* g_host = nullptr;

void RegisterServices(editor::Session& s, editor::ModuleLoader& loader) {
    AcRxDictionary* registry = acrxSysRegistry();
    acrxClassDictionary();
    registry->atPut(ACRX_DYNAMIC_LINKER, &loader);
    registry->atPut(ACRX_COMMAND_DOCK, &s.commands);
    registry->atPut(ACED_EDITOR_OBJ, &s.editor);
}

void RemoveServices() {
    AcRxDictionary* registry = acrxSysRegistry();
    registry->remove(ACRX_DYNAMIC_LINKER);
    registry->remove(ACRX_COMMAND_DOCK);
    registry->remove(ACED_EDITOR_OBJ);
}
} // namespace

Host::Host(const HostOptions& options) : m_impl(std::make_unique<Impl>()) {
    editor::Session& s = m_impl->session;
    s.cmdline.configure(options.echoToStdout ? stdout : nullptr, options.interactive);
    s.loader = &m_impl->loader;
    editor::SetSession(&s);
    acdbSetHostApplicationServices(&m_impl->services);
    db::RegisterDatabaseClasses();
    db::SetWriteGate([](const AcDbDatabase* drawing) { return Docs().writeAllowed(drawing); });
    RegisterServices(s, m_impl->loader);
    editor::RegisterHostCommands(s);
    editor::BindDrawingVariables(s);
    m_impl->frontEnd = std::make_unique<editor::ScriptedFrontEnd>(s);
    // Dialogs without a parent belong to the host's frame.
    AfxSetMainWnd(acedGetAcadFrame());
    Docs().create();
}

Host::~Host() {
    editor::Session& s = m_impl->session;
    // Modules go first, while the documents and services they may use still exist.
    m_impl->loader.unloadAll();
    Docs().closeAll();
    m_impl->loader.closeUnloadedFiles();
    Docs().resetNumbering();
    m_impl->frontEnd.reset();
    s.cmdline.finishLine();
    RemoveServices();
    db::SetWriteGate(nullptr);
    acdbSetHostApplicationServices(nullptr);
    editor::SetSession(nullptr);
}

Host& Host::start(const HostOptions& options) {
    if (g_host)
        throw std::logic_error("a host session is already running");
    g_host = new Host(options);
    return *g_host;
}

void Host::stop() {
    delete g_host;
    g_host = nullptr;
}

bool Host::running() {
    return g_host != nullptr;
}

Host& Host::instance() {
    if (!g_host)
        throw std::logic_error("no host session is running");
    return *g_host;
}

void Host::feedInput(const std::string& lines) {
    m_impl->session.script.feed(lines);
}

bool Host::runPendingInput() {
    editor::CommandLoop(m_impl->session);
    return !m_impl->session.quit;
}

bool Host::runCommand(const std::string& commandLine) {
    editor::Session& s = m_impl->session;
    s.cmdline.prompt("Command: ");
    s.cmdline.echoInput(commandLine);
    return editor::RunCommandLine(s, commandLine);
}

std::string Host::takeOutput() {
    return m_impl->session.cmdline.takeLog();
}

AcApDocument* Host::newDocument() {
    return editor::OpenNewDocument(m_impl->session);
}

bool Host::closeDocument(AcApDocument* doc) {
    editor::Document* d = Docs().find(doc);
    if (!d)
        return false;
    editor::CloseDocument(m_impl->session, d);
    return true;
}

bool Host::loadModule(const std::string& path, std::string* errorOut) {
    std::string error;
    if (m_impl->loader.load(path, error))
        return true;
    if (errorOut)
        *errorOut = error;
    else
        m_impl->session.reportFailure("\n" + error + ".");
    return false;
}

void Host::setTerminalReader(std::function<bool(std::string&)> reader) {
    m_impl->session.script.setTerminal(std::move(reader));
}

void Host::setScriptStop(std::function<bool()> stop) {
    m_impl->session.script.setStopCheck(std::move(stop));
}

bool Host::unloadModule(const std::string& nameOrPath) {
    std::string error;
    if (m_impl->loader.unload(nameOrPath, error))
        return true;
    m_impl->session.reportFailure("\n" + error + ".");
    return false;
}

bool Host::quitRequested() const {
    return m_impl->session.quit;
}

int Host::failures() const {
    return m_impl->session.failures;
}

} // namespace cadhost
