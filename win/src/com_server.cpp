// The server half of the object runtime: initialisation, class objects, the running object
// table, and serving the calls of clients.
#include "com_runtime.h"
#include "com_wire.h"

#include "win/paths.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <list>
#include <map>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace win::com {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------
// Initialisation

struct ThreadState {
    int count = 0;
    DWORD mode = COINIT_APARTMENTTHREADED;
};
thread_local ThreadState t_init;
std::atomic<int> g_initialisedThreads{0};

void ShutDownProcess();

// ---------------------------------------------------------------------------------------------
// Registrations

struct ClassRegistration {
    DWORD cookie;
    CLSID clsid;
    IUnknown* factory;
    DWORD context;
    DWORD flags;
    bool used = false;
    std::string file; // empty while not published
};

struct RunningRegistration {
    DWORD cookie;
    CLSID clsid;
    IUnknown* object;
    bool strong;
    std::string file;
};

// An object handed to one client: the client's proxies hold refs references to it.
struct Exported {
    IUnknown* identity;
    IDispatch* dispatch; // null when the object has no IDispatch
    std::uint32_t refs;
};

struct ClientConnection {
    int fd;
    std::map<std::uint32_t, Exported> objects;
    std::map<IUnknown*, std::uint32_t> ids;
    std::uint32_t nextId = 1;
};

struct ServerState {
    std::mutex mutex;
    std::vector<ClassRegistration> classes;
    std::vector<RunningRegistration> running;
    DWORD nextCookie = 1;
    int listenFd = -1;
    std::string socketName;
    int wake[2] = {-1, -1};
    bool exitHookInstalled = false;
    // Owned by the serving thread.
    std::list<ClientConnection> clients;
};

ServerState& State() {
    static ServerState* state = new ServerState; // lives until exit, whatever exits first
    return *state;
}

std::atomic<ULONG> g_processRefs{0};
std::atomic<bool> g_stopServing{false};

void Wake() {
    ServerState& s = State();
    if (s.wake[1] >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t n = write(s.wake[1], &byte, 1);
    }
}

std::string Folder(const char* kind) {
    return win::PrefixFolder() + "/com/" + kind;
}

std::string FileName(REFCLSID clsid, DWORD pid, DWORD cookie) {
    return win::GuidToString(clsid) + "." + std::to_string(pid) + "." + std::to_string(cookie);
}

// Written beside and renamed, so that readers never see half a file.
bool WriteRegistration(const std::string& path, DWORD cookie, DWORD flags,
                       const std::string& socket) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << getpid() << '\n' << socket << '\n' << cookie << '\n' << flags << '\n';
        if (!out.flush())
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

void RemoveOwnFilesAtExit() {
    ServerState& s = State();
    std::lock_guard lock(s.mutex);
    for (auto& c : s.classes)
        if (!c.file.empty())
            RemoveRegistration(c.file);
    for (auto& r : s.running)
        if (!r.file.empty())
            RemoveRegistration(r.file);
}

// Called with the mutex held.
bool EnsureListeningLocked() {
    ServerState& s = State();
    if (s.wake[0] < 0 && pipe2(s.wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    if (!s.exitHookInstalled) {
        std::atexit(RemoveOwnFilesAtExit);
        s.exitHookInstalled = true;
    }
    if (s.listenFd < 0)
        s.listenFd = Listen(s.socketName);
    return s.listenFd >= 0;
}

bool PublishClassLocked(ClassRegistration& c) {
    if (!c.file.empty() || c.used || !(c.context & (CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)))
        return true;
    if (!EnsureListeningLocked())
        return false;
    std::string path = Folder(kClassesFolder) + "/" + FileName(c.clsid, getpid(), c.cookie);
    if (!WriteRegistration(path, c.cookie, c.flags, State().socketName))
        return false;
    c.file = path;
    return true;
}

bool PublishRunningLocked(RunningRegistration& r) {
    if (!r.file.empty())
        return true;
    if (!EnsureListeningLocked())
        return false;
    std::string path = Folder(kRunningFolder) + "/" + FileName(r.clsid, getpid(), r.cookie);
    if (!WriteRegistration(path, r.cookie, r.strong ? 0 : ACTIVEOBJECT_WEAK, State().socketName))
        return false;
    r.file = path;
    return true;
}

template <class Registration> void UnpublishLocked(Registration& r) {
    if (!r.file.empty())
        RemoveRegistration(r.file);
    r.file.clear();
}

// Stops listening and takes every registration out of view.
void StopListeningLocked() {
    ServerState& s = State();
    for (auto& c : s.classes)
        UnpublishLocked(c);
    for (auto& r : s.running)
        UnpublishLocked(r);
    if (s.listenFd >= 0)
        close(s.listenFd);
    s.listenFd = -1;
    s.socketName.clear();
}

// ---------------------------------------------------------------------------------------------
// Objects handed to clients

std::uint32_t Export(ClientConnection& c, IUnknown* object, bool& hasDispatch) {
    IUnknown* identity = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) ||
        !identity) {
        identity = object;
        identity->AddRef();
    }
    if (auto it = c.ids.find(identity); it != c.ids.end()) {
        identity->Release();
        Exported& e = c.objects[it->second];
        ++e.refs;
        hasDispatch = e.dispatch != nullptr;
        return it->second;
    }
    IDispatch* dispatch = nullptr;
    if (FAILED(identity->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        dispatch = nullptr;
    std::uint32_t id = c.nextId++;
    c.objects[id] = Exported{identity, dispatch, 1};
    c.ids[identity] = id;
    hasDispatch = dispatch != nullptr;
    return id;
}

void Unexport(ClientConnection& c, std::uint32_t id, std::uint32_t count) {
    auto it = c.objects.find(id);
    if (it == c.objects.end())
        return;
    Exported& e = it->second;
    e.refs -= std::min(count, e.refs);
    if (e.refs > 0)
        return;
    Exported gone = e;
    c.ids.erase(gone.identity);
    c.objects.erase(it);
    // Releasing may run the object's destructor, which may call back into this layer.
    if (gone.dispatch)
        gone.dispatch->Release();
    gone.identity->Release();
}

void DropClient(ClientConnection& c) {
    close(c.fd);
    c.fd = -1;
    std::map<std::uint32_t, Exported> objects;
    objects.swap(c.objects);
    c.ids.clear();
    for (auto& [id, e] : objects) {
        if (e.dispatch)
            e.dispatch->Release();
        e.identity->Release();
    }
}

class ServerMarshaller final : public ObjectMarshaller {
public:
    explicit ServerMarshaller(ClientConnection& c) : m_client(c) {}

    HRESULT WriteObject(WireWriter& out, IUnknown* object) override {
        bool hasDispatch = false;
        std::uint32_t id = Export(m_client, object, hasDispatch);
        m_exported.push_back(id);
        out.U32(id);
        out.U8(hasDispatch ? 1 : 0);
        return S_OK;
    }

    // Objects come back from the client as the ids it was given.
    HRESULT ReadObject(WireReader& in, bool dispatch, IUnknown** object) override {
        std::uint32_t id = in.U32();
        in.U8();
        auto it = m_client.objects.find(id);
        if (!in.Ok() || it == m_client.objects.end())
            return DISP_E_TYPEMISMATCH;
        IUnknown* p = dispatch ? it->second.dispatch : it->second.identity;
        if (!p)
            return DISP_E_TYPEMISMATCH;
        p->AddRef();
        *object = p;
        return S_OK;
    }

    // The answer that carried the references was not sent.
    void Rollback() {
        for (std::uint32_t id : m_exported)
            Unexport(m_client, id, 1);
        m_exported.clear();
    }

private:
    ClientConnection& m_client;
    std::vector<std::uint32_t> m_exported;
};

// ---------------------------------------------------------------------------------------------
// Requests

// An answer that is a result and possibly an object.
std::string AnswerWithObject(ClientConnection& c, HRESULT hr, IUnknown* object) {
    WireWriter out;
    if (SUCCEEDED(hr) && object) {
        bool hasDispatch = false;
        std::uint32_t id = Export(c, object, hasDispatch);
        out.I32(S_OK);
        out.U32(id);
        out.U8(hasDispatch ? 1 : 0);
    } else {
        out.I32(FAILED(hr) ? hr : E_UNEXPECTED);
    }
    return out.Data();
}

std::string HandleCreate(ClientConnection& c, WireReader& in) {
    GUID clsid = in.Guid();
    IUnknown* factoryUnknown = nullptr;
    {
        ServerState& s = State();
        std::lock_guard lock(s.mutex);
        for (auto& reg : s.classes) {
            if (reg.clsid == clsid && !reg.used && !reg.file.empty()) {
                factoryUnknown = reg.factory;
                factoryUnknown->AddRef();
                if (reg.flags == REGCLS_SINGLEUSE) {
                    reg.used = true;
                    UnpublishLocked(reg);
                }
                break;
            }
        }
    }
    if (!factoryUnknown)
        return AnswerWithObject(c, CO_E_OBJNOTREG, nullptr);
    IClassFactory* factory = nullptr;
    HRESULT hr =
        factoryUnknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory));
    factoryUnknown->Release();
    IUnknown* object = nullptr;
    if (SUCCEEDED(hr)) {
        hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
        factory->Release();
    }
    std::string answer = AnswerWithObject(c, hr, object);
    if (object)
        object->Release();
    return answer;
}

std::string HandleActive(ClientConnection& c, WireReader& in) {
    DWORD cookie = in.U32();
    IUnknown* object = nullptr;
    {
        ServerState& s = State();
        std::lock_guard lock(s.mutex);
        for (auto& reg : s.running) {
            if (reg.cookie == cookie && !reg.file.empty()) {
                object = reg.object;
                object->AddRef();
            }
        }
    }
    std::string answer = AnswerWithObject(c, object ? S_OK : MK_E_UNAVAILABLE, object);
    if (object)
        object->Release();
    return answer;
}

Exported* Find(ClientConnection& c, std::uint32_t id) {
    auto it = c.objects.find(id);
    return it == c.objects.end() ? nullptr : &it->second;
}

std::string JustResult(HRESULT hr) {
    WireWriter out;
    out.I32(hr);
    return out.Data();
}

std::string HandleQuery(ClientConnection& c, WireReader& in) {
    Exported* e = Find(c, in.U32());
    GUID iid = in.Guid();
    if (!e)
        return JustResult(RPC_E_DISCONNECTED);
    if (iid == IID_IUnknown)
        return JustResult(S_OK);
    if (iid != IID_IDispatch)
        return JustResult(E_NOINTERFACE); // only IUnknown and IDispatch are marshalled
    if (!e->dispatch &&
        FAILED(e->identity->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&e->dispatch))))
        e->dispatch = nullptr;
    return JustResult(e->dispatch ? S_OK : E_NOINTERFACE);
}

std::string HandleTypeInfo(ClientConnection& c, WireReader& in) {
    Exported* e = Find(c, in.U32());
    WireWriter out;
    UINT count = 0;
    HRESULT hr = !e            ? RPC_E_DISCONNECTED
                 : e->dispatch ? e->dispatch->GetTypeInfoCount(&count)
                               : E_NOINTERFACE;
    out.I32(hr);
    out.U32(count);
    return out.Data();
}

std::string HandleNames(ClientConnection& c, WireReader& in) {
    Exported* e = Find(c, in.U32());
    std::uint32_t count = in.U32();
    if (count > 4096)
        count = 0;
    std::vector<std::wstring> names(count);
    for (auto& n : names)
        n = in.Wide();
    LCID lcid = in.U32();
    std::vector<LPOLESTR> pointers;
    for (auto& n : names)
        pointers.push_back(n.data());
    std::vector<DISPID> ids(count, DISPID_UNKNOWN);
    HRESULT hr = !e             ? RPC_E_DISCONNECTED
                 : !e->dispatch ? E_NOINTERFACE
                 : count == 0   ? E_INVALIDARG
                                : e->dispatch->GetIDsOfNames(IID_NULL, pointers.data(), count, lcid,
                                                             ids.data());
    WireWriter out;
    out.I32(hr);
    out.U32(count);
    for (DISPID id : ids)
        out.I32(id);
    return out.Data();
}

std::string HandleInvoke(ClientConnection& c, WireReader& in) {
    std::uint32_t id = in.U32();
    DISPID dispid = in.I32();
    LCID lcid = in.U32();
    WORD flags = in.U16();
    std::uint32_t cArgs = in.U32();
    if (cArgs > 4096 || !in.Ok())
        return JustResult(E_INVALIDARG);

    ServerMarshaller marshaller(c);
    std::vector<VARIANT> values(cArgs), args(cArgs);
    std::vector<VARTYPE> wireTypes(cArgs, VT_EMPTY);
    for (auto& v : values)
        VariantInit(&v);
    HRESULT hr = S_OK;
    UINT argErr = 0;
    for (std::uint32_t i = 0; i < cArgs && SUCCEEDED(hr); ++i) {
        hr = ReadVariant(in, values[i], marshaller, &wireTypes[i]);
        if (FAILED(hr))
            argErr = i;
        args[i] = values[i];
        if (wireTypes[i] == (VT_BYREF | VT_VARIANT)) {
            args[i].vt = VT_BYREF | VT_VARIANT;
            args[i].pvarVal = &values[i];
        } else if (wireTypes[i] & VT_BYREF) {
            args[i].vt = wireTypes[i];
            args[i].byref = &values[i].lVal; // every member of the union starts there
        }
    }
    std::uint32_t cNamed = in.U32();
    std::vector<DISPID> named;
    for (std::uint32_t i = 0; i < cNamed && i <= cArgs; ++i)
        named.push_back(in.I32());
    bool wantResult = in.U8() != 0;
    if (SUCCEEDED(hr) && (!in.Ok() || cNamed > cArgs))
        hr = E_INVALIDARG;
    Exported* e = Find(c, id);
    if (SUCCEEDED(hr) && !e)
        hr = RPC_E_DISCONNECTED;
    if (SUCCEEDED(hr) && !e->dispatch)
        hr = E_NOINTERFACE;

    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    if (SUCCEEDED(hr)) {
        DISPPARAMS params{args.data(), named.data(), cArgs, cNamed};
        IDispatch* target = e->dispatch;
        target->AddRef(); // the call may release the client's last reference
        hr = target->Invoke(dispid, IID_NULL, lcid, flags, &params, wantResult ? &result : nullptr,
                            &excep, &argErr);
        target->Release();
        if (hr == DISP_E_EXCEPTION && excep.pfnDeferredFillIn)
            excep.pfnDeferredFillIn(&excep);
    }

    WireWriter body;
    HRESULT encoded = S_OK;
    body.U8(wantResult ? 1 : 0);
    if (wantResult)
        encoded = WriteVariant(body, result, marshaller);
    if (hr == DISP_E_EXCEPTION) {
        body.U16(excep.wCode);
        body.Wide(excep.bstrSource, SysStringLen(excep.bstrSource), !excep.bstrSource);
        body.Wide(excep.bstrDescription, SysStringLen(excep.bstrDescription),
                  !excep.bstrDescription);
        body.Wide(excep.bstrHelpFile, SysStringLen(excep.bstrHelpFile), !excep.bstrHelpFile);
        body.U32(excep.dwHelpContext);
        body.I32(excep.scode);
    }
    body.U32(argErr);
    std::vector<std::uint32_t> outs;
    for (std::uint32_t i = 0; i < cArgs; ++i)
        if (wireTypes[i] & VT_BYREF)
            outs.push_back(i);
    body.U32(static_cast<std::uint32_t>(outs.size()));
    for (std::uint32_t i : outs) {
        body.U32(i);
        if (SUCCEEDED(encoded))
            encoded = WriteVariant(body, values[i], marshaller);
    }

    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    VariantClear(&result);
    for (std::uint32_t i = 0; i < cArgs; ++i)
        VariantClear((wireTypes[i] & VT_BYREF) ? &values[i] : &args[i]);

    WireWriter out;
    if (FAILED(encoded)) {
        marshaller.Rollback();
        out.I32(encoded);
        out.U8(0);
        out.U32(0);
        out.U32(0);
        return out.Data();
    }
    out.I32(hr);
    return out.Data() + body.Data();
}

// False when the connection is to be closed.
bool Handle(ClientConnection& c, const std::string& frame) {
    WireReader in(frame);
    auto op = static_cast<Op>(in.U8());
    std::string answer;
    switch (op) {
    case Op::Create:
        answer = HandleCreate(c, in);
        break;
    case Op::Active:
        answer = HandleActive(c, in);
        break;
    case Op::Query:
        answer = HandleQuery(c, in);
        break;
    case Op::Names:
        answer = HandleNames(c, in);
        break;
    case Op::Invoke:
        answer = HandleInvoke(c, in);
        break;
    case Op::TypeInfo:
        answer = HandleTypeInfo(c, in);
        break;
    case Op::Ping:
        answer = JustResult(S_OK);
        break;
    case Op::Release: {
        std::uint32_t id = in.U32();
        std::uint32_t count = in.U32();
        if (in.Ok())
            Unexport(c, id, count);
        return in.Ok();
    }
    default:
        return false;
    }
    return in.Ok() && c.fd >= 0 && SendFrame(c.fd, answer);
}

void ShutDownProcess() {
    ServerState& s = State();
    std::vector<IUnknown*> release;
    {
        std::lock_guard lock(s.mutex);
        StopListeningLocked();
        for (auto& c : s.classes)
            release.push_back(c.factory);
        for (auto& r : s.running)
            if (r.strong)
                release.push_back(r.object);
        s.classes.clear();
        s.running.clear();
    }
    std::list<ClientConnection> clients;
    clients.swap(s.clients);
    for (auto& c : clients)
        DropClient(c);
    for (IUnknown* p : release)
        p->Release();
    DisconnectFromServers();
}

} // namespace

bool ThreadInitialised() {
    return t_init.count > 0;
}

DWORD StartTimeout() {
    if (const char* text = std::getenv("WINPLAT_COM_START_TIMEOUT")) {
        char* end = nullptr;
        unsigned long ms = std::strtoul(text, &end, 10);
        if (end != text && *end == '\0' && ms > 0)
            return static_cast<DWORD>(std::min<unsigned long>(ms, 0x7FFFFFFF));
    }
    return 120000;
}

std::vector<RegistrationFile> FindRegistrations(const char* kind, REFCLSID clsid) {
    std::vector<RegistrationFile> found;
    std::string prefix = win::GuidToString(clsid) + ".";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(Folder(kind), ec)) {
        std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0 || name.ends_with(".new"))
            continue;
        std::ifstream in(entry.path());
        RegistrationFile r;
        r.path = entry.path().string();
        if (!(in >> r.pid >> r.socket >> r.cookie >> r.flags))
            continue;
        if (r.pid == static_cast<DWORD>(getpid()))
            continue; // this process's own are looked up in memory
        if (kill(static_cast<pid_t>(r.pid), 0) != 0 && errno == ESRCH) {
            RemoveRegistration(r.path);
            continue;
        }
        found.push_back(r);
    }
    std::sort(found.begin(), found.end(),
              [](const RegistrationFile& a, const RegistrationFile& b) { return a.path < b.path; });
    return found;
}

void RemoveRegistration(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

IUnknown* LocalClassFactory(REFCLSID clsid, DWORD clsctx) {
    ServerState& s = State();
    std::lock_guard lock(s.mutex);
    for (auto& c : s.classes) {
        if (c.clsid == clsid && (c.context & clsctx) && !c.used) {
            c.factory->AddRef();
            return c.factory;
        }
    }
    return nullptr;
}

IUnknown* LocalActiveObject(REFCLSID clsid) {
    ServerState& s = State();
    std::lock_guard lock(s.mutex);
    for (auto& r : s.running) {
        if (r.clsid == clsid) {
            r.object->AddRef();
            return r.object;
        }
    }
    return nullptr;
}

} // namespace win::com

using namespace win::com;

HRESULT CoInitializeEx(LPVOID, DWORD dwCoInit) {
    DWORD mode =
        (dwCoInit & COINIT_APARTMENTTHREADED) ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
    if (t_init.count > 0) {
        if (mode != t_init.mode)
            return RPC_E_CHANGED_MODE;
        ++t_init.count;
        return S_FALSE;
    }
    t_init.count = 1;
    t_init.mode = mode;
    ++g_initialisedThreads;
    return S_OK;
}

HRESULT CoInitialize(LPVOID pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

void CoUninitialize() {
    if (t_init.count == 0)
        return;
    if (--t_init.count == 0 && --g_initialisedThreads == 0)
        ShutDownProcess();
}

HRESULT OleInitialize(LPVOID pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

void OleUninitialize() {
    CoUninitialize();
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                              LPDWORD lpdwRegister) {
    if (!ThreadInitialised())
        return CO_E_NOTINITIALIZED;
    if (!pUnk || !lpdwRegister)
        return E_INVALIDARG;
    *lpdwRegister = 0;
    ServerState& s = State();
    std::lock_guard lock(s.mutex);
    ClassRegistration reg{s.nextCookie++,
                          rclsid,
                          pUnk,
                          dwClsContext,
                          flags == REGCLS_SINGLEUSE ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE,
                          false,
                          {}};
    if (!PublishClassLocked(reg))
        return E_FAIL;
    pUnk->AddRef();
    s.classes.push_back(reg);
    *lpdwRegister = reg.cookie;
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
    ServerState& s = State();
    IUnknown* factory = nullptr;
    {
        std::lock_guard lock(s.mutex);
        auto it = std::find_if(s.classes.begin(), s.classes.end(),
                               [&](const ClassRegistration& c) { return c.cookie == dwRegister; });
        if (it == s.classes.end())
            return CO_E_OBJNOTREG;
        UnpublishLocked(*it);
        factory = it->factory;
        s.classes.erase(it);
    }
    factory->Release();
    return S_OK;
}

ULONG CoAddRefServerProcess() {
    return ++g_processRefs;
}

ULONG CoReleaseServerProcess() {
    ULONG left = 0;
    for (ULONG now = g_processRefs.load(); now > 0;) {
        if (g_processRefs.compare_exchange_weak(now, now - 1)) {
            left = now - 1;
            break;
        }
    }
    if (left == 0)
        Wake();
    return left;
}

void CoStopServing() {
    g_stopServing = true;
    Wake();
}

HRESULT CoServeClients() {
    if (!ThreadInitialised())
        return CO_E_NOTINITIALIZED;
    ServerState& s = State();
    int listenFd, wakeFd;
    {
        std::lock_guard lock(s.mutex);
        if (!EnsureListeningLocked())
            return E_FAIL;
        for (auto& c : s.classes)
            PublishClassLocked(c);
        for (auto& r : s.running)
            PublishRunningLocked(r);
        listenFd = s.listenFd;
        wakeFd = s.wake[0];
    }
    Clock::time_point firstClientDeadline =
        Clock::now() + std::chrono::milliseconds(StartTimeout());
    bool hadClient = false;
    while (!g_stopServing) {
        if (hadClient && s.clients.empty() && g_processRefs == 0)
            break;
        if (!hadClient && Clock::now() >= firstClientDeadline)
            break;
        std::vector<pollfd> fds;
        fds.push_back({wakeFd, POLLIN, 0});
        fds.push_back({listenFd, POLLIN, 0});
        for (auto& c : s.clients)
            fds.push_back({c.fd, POLLIN, 0});
        int ready = poll(fds.data(), fds.size(), 500);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        if (fds[0].revents) {
            char drain[64];
            while (read(wakeFd, drain, sizeof drain) > 0) {
            }
        }
        if (fds[1].revents & POLLIN) {
            int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                // A client that sends half a request must not hold the server forever.
                timeval limit{30, 0};
                setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
                s.clients.push_back(ClientConnection{fd, {}, {}, 1});
                hadClient = true;
            }
        }
        auto it = s.clients.begin();
        for (std::size_t i = 2; i < fds.size() && it != s.clients.end(); ++i) {
            auto current = it++;
            if (!fds[i].revents)
                continue;
            std::string frame;
            if (!ReceiveFrame(current->fd, frame) || !Handle(*current, frame)) {
                DropClient(*current);
                s.clients.erase(current);
            }
            if (g_stopServing)
                break;
        }
    }
    g_stopServing = false;
    {
        std::lock_guard lock(s.mutex);
        StopListeningLocked();
    }
    std::list<ClientConnection> clients;
    clients.swap(s.clients);
    for (auto& c : clients)
        DropClient(c);
    return S_OK;
}

HRESULT RegisterActiveObject(IUnknown* punk, REFCLSID rclsid, DWORD dwFlags, LPDWORD pdwRegister) {
    if (!ThreadInitialised())
        return CO_E_NOTINITIALIZED;
    if (!punk || !pdwRegister)
        return E_INVALIDARG;
    *pdwRegister = 0;
    ServerState& s = State();
    std::lock_guard lock(s.mutex);
    RunningRegistration reg{s.nextCookie++, rclsid, punk, (dwFlags & ACTIVEOBJECT_WEAK) == 0, {}};
    if (!PublishRunningLocked(reg))
        return E_FAIL;
    if (reg.strong)
        punk->AddRef();
    s.running.push_back(reg);
    *pdwRegister = reg.cookie;
    return S_OK;
}

HRESULT RevokeActiveObject(DWORD dwRegister, LPVOID) {
    ServerState& s = State();
    IUnknown* release = nullptr;
    {
        std::lock_guard lock(s.mutex);
        auto it =
            std::find_if(s.running.begin(), s.running.end(),
                         [&](const RunningRegistration& r) { return r.cookie == dwRegister; });
        if (it == s.running.end())
            return E_INVALIDARG;
        UnpublishLocked(*it);
        if (it->strong)
            release = it->object;
        s.running.erase(it);
    }
    if (release)
        release->Release();
    return S_OK;
}
