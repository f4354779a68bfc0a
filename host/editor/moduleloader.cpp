#include "editor/moduleloader.h"

#include "arx/apiversion.h"
#include "arx/arxapp.h"
#include "db/databaseregistry.h"
#include "editor/documents.h"

#include "win/paths.h"

#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>

namespace cadhost::editor {

namespace {

using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);
using ApiVersion = int (*)();
using DllMainFn = int (*)(HINSTANCE__*, unsigned, void*);

std::string BaseName(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A module named without an extension is looked for with ".arx", as the host's loader does.
std::string ResolveModulePath(const std::string& fileName) {
    std::string host = win::ToHostPath(fileName);
    if (IsFile(host))
        return host;
    std::string base = BaseName(fileName);
    if (base.find('.') == std::string::npos && IsFile(host + ".arx"))
        return host + ".arx";
    return {};
}

// Start-up and unload run like a command of the current drawing: with its document locked,
// so that a module may change the drawing (register its application name, say).
AcRx::AppRetCode SendLocked(EntryPoint entry, AcRx::AppMsgCode message, void* packet) {
    Document* doc = Docs().current();
    bool locked =
        doc && Docs().lockDocument(doc, AcAp::kAutoWrite, nullptr, nullptr, false) == Acad::eOk;
    AcRx::AppRetCode result = entry(message, packet);
    if (locked && Docs().find(doc))
        Docs().unlockDocument(doc);
    return result;
}

} // namespace

struct ModuleLoader::Module {
    std::string path; // unix path as opened
    std::string name; // file name, as the host lists it
    void* handle = nullptr;
    EntryPoint entry = nullptr;
    DllMainFn dllMain = nullptr;
    mutable bool unlocked = false;
    mutable bool mdiAware = false;
};

ModuleLoader::ModuleLoader() = default;

ModuleLoader::~ModuleLoader() {
    unloadAll();
    closeUnloadedFiles();
}

ModuleLoader::Module* ModuleLoader::find(const std::string& nameOrPath) const {
    std::string wanted = BaseName(nameOrPath);
    for (const auto& m : m_modules) {
        if (strcasecmp(m->name.c_str(), wanted.c_str()) == 0)
            return m.get();
        if (wanted.find('.') == std::string::npos &&
            strcasecmp(m->name.c_str(), (wanted + ".arx").c_str()) == 0)
            return m.get();
    }
    return nullptr;
}

ModuleLoader::Module* ModuleLoader::fromAppId(void* appId) const {
    for (const auto& m : m_modules)
        if (m.get() == appId)
            return m.get();
    return nullptr;
}

bool ModuleLoader::unlockApplication(void* appId) const {
    Module* m = fromAppId(appId);
    if (m)
        m->unlocked = true;
    return m != nullptr;
}

bool ModuleLoader::lockApplication(void* appId) const {
    Module* m = fromAppId(appId);
    if (m)
        m->unlocked = false;
    return m != nullptr;
}

bool ModuleLoader::isApplicationLocked(const char* moduleName) const {
    Module* m = moduleName ? find(moduleName) : nullptr;
    return m && !m->unlocked;
}

bool ModuleLoader::registerAppMDIAware(void* appId) const {
    Module* m = fromAppId(appId);
    if (m)
        m->mdiAware = true;
    return m != nullptr;
}

bool ModuleLoader::registerAppNotMDIAware(void* appId) const {
    Module* m = fromAppId(appId);
    if (m)
        m->mdiAware = false;
    return m != nullptr;
}

namespace {

// What a module does to the open drawings while it starts (it registers its application
// name, say) is no change of the user's: a drawing without unsaved changes before is without
// them after.
class NoChangesOfTheUser {
public:
    NoChangesOfTheUser() {
        for (Document* d : Docs().documents())
            if (!d->hasUnsavedChanges())
                m_unchanged.push_back(d);
    }
    ~NoChangesOfTheUser() {
        for (Document* d : m_unchanged)
            if (Docs().find(d))
                d->markSaved();
    }
    NoChangesOfTheUser(const NoChangesOfTheUser&) = delete;
    NoChangesOfTheUser& operator=(const NoChangesOfTheUser&) = delete;

private:
    std::vector<Document*> m_unchanged;
};

} // namespace

bool ModuleLoader::loadModule(const char* fileName, bool, bool) {
    std::string error;
    return fileName && load(fileName, error);
}

bool ModuleLoader::unloadModule(const char* fileName, bool) {
    std::string error;
    return fileName && unload(fileName, error);
}

bool ModuleLoader::load(const std::string& fileName, std::string& error) {
    std::string path = ResolveModulePath(fileName);
    if (path.empty()) {
        error = "cannot load " + fileName + ": no such file";
        return false;
    }
    if (find(path)) {
        error = BaseName(path) + " is already loaded";
        return false;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        error = "cannot load " + fileName + ": not a module (" + (why ? why : "unknown") + ")";
        return false;
    }
    auto entry = reinterpret_cast<EntryPoint>(::dlsym(handle, "acrxEntryPoint"));
    auto version = reinterpret_cast<ApiVersion>(::dlsym(handle, "acrxGetApiVersion"));
    if (!entry || !version) {
        ::dlclose(handle);
        error = "cannot load " + fileName + ": not a module (it exports no acrxEntryPoint)";
        return false;
    }
    if (version() != CADHOST_API_VERSION) {
        ::dlclose(handle);
        error = "cannot load " + fileName + ": built for interface version " +
                std::to_string(version()) + ", this host has " +
                std::to_string(CADHOST_API_VERSION);
        return false;
    }
    auto module = std::make_unique<Module>();
    module->path = path;
    module->name = BaseName(path);
    module->handle = handle;
    module->entry = entry;
    module->dllMain = reinterpret_cast<DllMainFn>(::dlsym(handle, "DllMain"));
    Module* m = module.get();
    NoChangesOfTheUser unchanged;
    if (m->dllMain && !m->dllMain(static_cast<HINSTANCE__*>(handle), DLL_PROCESS_ATTACH, nullptr)) {
        ::dlclose(handle);
        error = "cannot load " + fileName + ": the module's initialisation failed";
        return false;
    }
    m_modules.push_back(std::move(module));
    if (SendLocked(m->entry, AcRx::kInitAppMsg, m) != AcRx::kRetOK) {
        std::string ignored;
        finishUnload(m, ignored, true);
        error = "cannot load " + fileName + ": the module refused to start";
        return false;
    }
    for (Document* d : Docs().documents())
        m->entry(AcRx::kLoadDwgMsg, d);
    return true;
}

bool ModuleLoader::unload(const std::string& fileName, std::string& error, bool force) {
    Module* m = find(fileName);
    if (!m) {
        error = BaseName(fileName) + " is not loaded";
        return false;
    }
    if (!m->unlocked && !force) {
        error = "cannot unload " + m->name + ": the module does not allow it";
        return false;
    }
    Dl_info info{};
    if (!force && dladdr(reinterpret_cast<void*>(m->entry), &info)) {
        std::size_t objects = db::CountObjectsWithCodeAt(info.dli_fbase);
        if (objects > 0) {
            error = "cannot unload " + m->name + ": " + std::to_string(objects) +
                    (objects == 1 ? " object" : " objects") +
                    " of its classes are in open drawings";
            return false;
        }
    }
    return finishUnload(m, error, force);
}

bool ModuleLoader::finishUnload(Module* m, std::string& error, bool force) {
    for (Document* d : Docs().documents())
        m->entry(AcRx::kUnloadDwgMsg, d);
    if (SendLocked(m->entry, AcRx::kUnloadAppMsg, m) != AcRx::kRetOK && !force) {
        error = "cannot unload " + m->name + ": the module refused";
        return false;
    }
    if (m->dllMain)
        m->dllMain(static_cast<HINSTANCE__*>(m->handle), DLL_PROCESS_DETACH, nullptr);
    void* handle = m->handle;
    m_modules.erase(std::find_if(m_modules.begin(), m_modules.end(),
                                 [&](const auto& p) { return p.get() == m; }));
    if (m_deferClose)
        m_closeLater.push_back(handle);
    else
        ::dlclose(handle);
    return true;
}

void ModuleLoader::unloadAll() {
    m_deferClose = true;
    while (!m_modules.empty()) {
        std::string ignored;
        finishUnload(m_modules.back().get(), ignored, true);
    }
    m_deferClose = false;
}

void ModuleLoader::closeUnloadedFiles() {
    for (void* handle : m_closeLater)
        ::dlclose(handle);
    m_closeLater.clear();
}

void ModuleLoader::broadcast(int message, void* packet) {
    std::vector<Module*> modules;
    for (const auto& m : m_modules)
        modules.push_back(m.get());
    for (Module* m : modules)
        if (fromAppId(m))
            m->entry(static_cast<AcRx::AppMsgCode>(message), packet);
}

std::vector<std::string> ModuleLoader::loadedNames() const {
    std::vector<std::string> names;
    for (const auto& m : m_modules)
        names.push_back(m->name);
    return names;
}

} // namespace cadhost::editor
