// The client half of the object runtime: connections to servers, proxies, activation and the
// running objects of other processes.
#include "com_runtime.h"
#include "com_wire.h"

#include "win/handles.h"
#include "win/process.h"
#include "win/registry.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace win::com {
namespace {

using Clock = std::chrono::steady_clock;

class Proxy;

// One connection to one server process, shared by every proxy of its objects.
class ServerConnection : public std::enable_shared_from_this<ServerConnection> {
public:
    ServerConnection(int fd, std::string name) : m_fd(fd), m_name(std::move(name)) {}
    ~ServerConnection() {
        Flush();
        close(m_fd);
    }

    const std::string& Name() const { return m_name; }

    // Sends a request and waits for its answer.
    HRESULT Call(const std::string& request, std::string& answer) {
        std::lock_guard call(m_callMutex);
        if (IsDead())
            return RPC_E_DISCONNECTED;
        if (!SendPendingLocked() || !SendFrame(m_fd, request)) {
            MarkDead();
            return RPC_E_DISCONNECTED;
        }
        if (!ReceiveFrame(m_fd, answer)) {
            MarkDead();
            return RPC_E_SERVER_DIED;
        }
        return S_OK;
    }

    bool IsDead() {
        std::lock_guard lock(m_stateMutex);
        return m_dead;
    }

    void MarkDead() {
        std::lock_guard lock(m_stateMutex);
        if (!m_dead)
            shutdown(m_fd, SHUT_RDWR);
        m_dead = true;
        m_pending.clear();
    }

    // A proxy for an object reference the server handed over (one more remote reference).
    Proxy* Unmarshal(std::uint32_t id, bool hasDispatch);
    void Forget(std::uint32_t id, std::uint32_t remoteRefs) {
        m_proxies.erase(id);
        if (!m_dead)
            m_pending.emplace_back(id, remoteRefs);
    }
    std::mutex& StateMutex() { return m_stateMutex; }

    // Sends the releases queued, unless a call is under way (it sends them first).
    void Flush() {
        std::unique_lock call(m_callMutex, std::try_to_lock);
        if (call.owns_lock() && !SendPendingLocked())
            MarkDead();
    }

private:
    bool SendPendingLocked() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pending;
        {
            std::lock_guard lock(m_stateMutex);
            if (m_dead)
                return true;
            pending.swap(m_pending);
        }
        for (auto [id, count] : pending) {
            WireWriter w;
            w.U8(static_cast<std::uint8_t>(Op::Release));
            w.U32(id);
            w.U32(count);
            if (!SendFrame(m_fd, w.Data()))
                return false;
        }
        return true;
    }

    int m_fd;
    std::string m_name;
    std::mutex m_callMutex;  // one request and its answer at a time
    std::mutex m_stateMutex; // the proxies, their counts, the queue, the dead flag
    bool m_dead = false;
    std::map<std::uint32_t, Proxy*> m_proxies;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_pending;

    friend class Proxy;
};

class ClientMarshaller final : public ObjectMarshaller {
public:
    explicit ClientMarshaller(std::shared_ptr<ServerConnection> c) : m_connection(std::move(c)) {}
    HRESULT WriteObject(WireWriter& out, IUnknown* object) override;
    HRESULT ReadObject(WireReader& in, bool dispatch, IUnknown** object) override;

private:
    std::shared_ptr<ServerConnection> m_connection;
};

class Proxy final : public IDispatch {
public:
    Proxy(std::shared_ptr<ServerConnection> c, std::uint32_t id, bool hasDispatch)
        : m_connection(std::move(c)), m_id(id), m_hasDispatch(hasDispatch) {}

    const std::shared_ptr<ServerConnection>& Connection() const { return m_connection; }
    std::uint32_t Id() const { return m_id; }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (riid == IID_IUnknown) {
            AddRef();
            *ppvObject = static_cast<IUnknown*>(this);
            return S_OK;
        }
        if (riid != IID_IDispatch)
            return E_NOINTERFACE;
        {
            std::lock_guard lock(m_connection->StateMutex());
            if (m_hasDispatch) {
                ++m_refs;
                *ppvObject = static_cast<IDispatch*>(this);
                return S_OK;
            }
        }
        WireWriter w;
        w.U8(static_cast<std::uint8_t>(Op::Query));
        w.U32(m_id);
        w.Guid(riid);
        std::string answer;
        HRESULT hr = m_connection->Call(w.Data(), answer);
        if (FAILED(hr))
            return hr;
        WireReader in(answer);
        hr = in.I32();
        if (!in.Ok())
            return E_UNEXPECTED;
        if (SUCCEEDED(hr)) {
            std::lock_guard lock(m_connection->StateMutex());
            m_hasDispatch = true;
            ++m_refs;
            *ppvObject = static_cast<IDispatch*>(this);
        }
        return hr;
    }

    ULONG AddRef() override {
        std::lock_guard lock(m_connection->StateMutex());
        return ++m_refs;
    }

    ULONG Release() override {
        std::shared_ptr<ServerConnection> connection = m_connection;
        {
            std::lock_guard lock(connection->StateMutex());
            if (--m_refs > 0)
                return m_refs;
            connection->Forget(m_id, m_remoteRefs);
        }
        delete this;
        connection->Flush();
        return 0;
    }

    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo)
            return E_INVALIDARG;
        *pctinfo = 0;
        WireWriter w;
        w.U8(static_cast<std::uint8_t>(Op::TypeInfo));
        w.U32(m_id);
        std::string answer;
        HRESULT hr = m_connection->Call(w.Data(), answer);
        if (FAILED(hr))
            return hr;
        WireReader in(answer);
        hr = in.I32();
        *pctinfo = in.U32();
        return in.Ok() ? hr : E_UNEXPECTED;
    }

    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override {
        if (riid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        if (!rgszNames || !rgDispId || cNames == 0)
            return E_INVALIDARG;
        WireWriter w;
        w.U8(static_cast<std::uint8_t>(Op::Names));
        w.U32(m_id);
        w.U32(cNames);
        for (UINT i = 0; i < cNames; ++i) {
            const wchar_t* name = rgszNames[i] ? rgszNames[i] : L"";
            w.Wide(name, std::wcslen(name));
        }
        w.U32(lcid);
        std::string answer;
        HRESULT hr = m_connection->Call(w.Data(), answer);
        if (FAILED(hr))
            return hr;
        WireReader in(answer);
        hr = in.I32();
        std::uint32_t count = in.U32();
        for (UINT i = 0; i < cNames; ++i)
            rgDispId[i] = i < count ? in.I32() : DISPID_UNKNOWN;
        return in.Ok() ? hr : E_UNEXPECTED;
    }

    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

private:
    ~Proxy() = default;

    std::shared_ptr<ServerConnection> m_connection;
    std::uint32_t m_id;
    bool m_hasDispatch;
    ULONG m_refs = 1;
    std::uint32_t m_remoteRefs = 1;

    friend class ServerConnection;
};

Proxy* ServerConnection::Unmarshal(std::uint32_t id, bool hasDispatch) {
    std::lock_guard lock(m_stateMutex);
    if (auto it = m_proxies.find(id); it != m_proxies.end()) {
        Proxy* p = it->second;
        ++p->m_refs;
        ++p->m_remoteRefs;
        p->m_hasDispatch = p->m_hasDispatch || hasDispatch;
        return p;
    }
    auto* p = new Proxy(shared_from_this(), id, hasDispatch);
    m_proxies[id] = p;
    return p;
}

HRESULT ClientMarshaller::WriteObject(WireWriter& out, IUnknown* object) {
    auto* proxy = dynamic_cast<Proxy*>(object);
    if (!proxy || proxy->Connection() != m_connection)
        return DISP_E_TYPEMISMATCH; // only the server's own objects can be handed to it
    out.U32(proxy->Id());
    out.U8(0);
    return S_OK;
}

HRESULT ClientMarshaller::ReadObject(WireReader& in, bool, IUnknown** object) {
    std::uint32_t id = in.U32();
    bool hasDispatch = in.U8() != 0;
    if (!in.Ok())
        return E_UNEXPECTED;
    *object = m_connection->Unmarshal(id, hasDispatch);
    return S_OK;
}

// Puts a value that came back into the caller's VT_BYREF argument (the value is consumed).
void StoreOut(VARIANT& arg, VARIANT& value) {
    VARTYPE base = arg.vt & ~VT_BYREF;
    if (!(arg.vt & VT_BYREF) || !arg.byref) {
        VariantClear(&value);
        return;
    }
    if (base == VT_VARIANT) {
        VariantClear(arg.pvarVal);
        *arg.pvarVal = value;
        return;
    }
    if (value.vt != base) {
        VariantClear(&value);
        return;
    }
    switch (base) {
    case VT_I2:
        *arg.piVal = value.iVal;
        break;
    case VT_I4:
        *arg.plVal = value.lVal;
        break;
    case VT_R4:
        *arg.pfltVal = value.fltVal;
        break;
    case VT_R8:
        *arg.pdblVal = value.dblVal;
        break;
    case VT_BOOL:
        *arg.pboolVal = value.boolVal;
        break;
    case VT_ERROR:
        *arg.pscode = value.scode;
        break;
    case VT_UI1:
        *arg.pbVal = value.bVal;
        break;
    case VT_BSTR:
        SysFreeString(*arg.pbstrVal);
        *arg.pbstrVal = value.bstrVal;
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (*arg.ppunkVal)
            (*arg.ppunkVal)->Release();
        *arg.ppunkVal = value.punkVal;
        break;
    default:
        VariantClear(&value);
        break;
    }
}

HRESULT Proxy::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                      DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                      UINT* puArgErr) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!pDispParams || (pDispParams->cArgs && !pDispParams->rgvarg) ||
        (pDispParams->cNamedArgs && !pDispParams->rgdispidNamedArgs))
        return E_INVALIDARG;
    ClientMarshaller marshaller(m_connection);
    WireWriter w;
    w.U8(static_cast<std::uint8_t>(Op::Invoke));
    w.U32(m_id);
    w.I32(dispIdMember);
    w.U32(lcid);
    w.U16(wFlags);
    w.U32(pDispParams->cArgs);
    for (UINT i = 0; i < pDispParams->cArgs; ++i) {
        if (HRESULT hr = WriteVariant(w, pDispParams->rgvarg[i], marshaller); FAILED(hr)) {
            if (puArgErr)
                *puArgErr = i;
            return hr;
        }
    }
    w.U32(pDispParams->cNamedArgs);
    for (UINT i = 0; i < pDispParams->cNamedArgs; ++i)
        w.I32(pDispParams->rgdispidNamedArgs[i]);
    w.U8(pVarResult ? 1 : 0);

    std::string answer;
    HRESULT hr = m_connection->Call(w.Data(), answer);
    if (FAILED(hr))
        return hr;
    WireReader in(answer);
    hr = in.I32();
    VARIANT result;
    VariantInit(&result);
    if (in.U8() != 0) {
        if (FAILED(ReadVariant(in, result, marshaller)))
            return E_UNEXPECTED;
    }
    if (pVarResult)
        *pVarResult = result;
    else
        VariantClear(&result);
    if (hr == DISP_E_EXCEPTION) {
        EXCEPINFO excep{};
        excep.wCode = in.U16();
        excep.bstrSource = in.Bstr();
        excep.bstrDescription = in.Bstr();
        excep.bstrHelpFile = in.Bstr();
        excep.dwHelpContext = in.U32();
        excep.scode = in.I32();
        if (pExcepInfo) {
            *pExcepInfo = excep;
        } else {
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrHelpFile);
        }
    }
    UINT argErr = in.U32();
    if (puArgErr && (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND))
        *puArgErr = argErr;
    std::uint32_t outs = in.U32();
    for (std::uint32_t k = 0; k < outs && in.Ok(); ++k) {
        std::uint32_t index = in.U32();
        VARIANT value;
        if (FAILED(ReadVariant(in, value, marshaller)))
            break;
        if (index < pDispParams->cArgs)
            StoreOut(pDispParams->rgvarg[index], value);
        else
            VariantClear(&value);
    }
    return in.Ok() ? hr : E_UNEXPECTED;
}

// ---------------------------------------------------------------------------------------------
// Connections

struct Connections {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<ServerConnection>> byName;
};

Connections& AllConnections() {
    static Connections* all = new Connections;
    return *all;
}

std::shared_ptr<ServerConnection> ConnectTo(const std::string& socket) {
    Connections& all = AllConnections();
    std::lock_guard lock(all.mutex);
    if (auto it = all.byName.find(socket); it != all.byName.end()) {
        if (auto existing = it->second.lock(); existing && !existing->IsDead())
            return existing;
    }
    for (auto it = all.byName.begin(); it != all.byName.end();)
        it = it->second.expired() ? all.byName.erase(it) : std::next(it);
    int fd = Connect(socket);
    if (fd < 0)
        return nullptr;
    auto connection = std::make_shared<ServerConnection>(fd, socket);
    all.byName[socket] = connection;
    return connection;
}

// Sends a request that answers a result and an object; *object is the proxy.
HRESULT RequestObject(const std::shared_ptr<ServerConnection>& connection,
                      const std::string& request, IUnknown** object) {
    std::string answer;
    HRESULT hr = connection->Call(request, answer);
    if (FAILED(hr))
        return hr;
    WireReader in(answer);
    hr = in.I32();
    if (!in.Ok())
        return E_UNEXPECTED;
    if (FAILED(hr))
        return hr;
    std::uint32_t id = in.U32();
    bool hasDispatch = in.U8() != 0;
    if (!in.Ok())
        return E_UNEXPECTED;
    *object = connection->Unmarshal(id, hasDispatch);
    return S_OK;
}

// Sends a request for an object to the server of a registration.  A connection found broken is
// replaced by a new one once; a registration nobody listens to any more is removed (the result
// is then RPC_E_DISCONNECTED).
HRESULT RequestFromRegistration(const RegistrationFile& reg, const std::string& request,
                                IUnknown** object) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::shared_ptr<ServerConnection> connection = ConnectTo(reg.socket);
        if (!connection) {
            RemoveRegistration(reg.path);
            return RPC_E_DISCONNECTED;
        }
        HRESULT hr = RequestObject(connection, request, object);
        if (hr != RPC_E_DISCONNECTED && hr != RPC_E_SERVER_DIED)
            return hr;
    }
    return RPC_E_DISCONNECTED;
}

// Asks the running servers of the class for a new object.  S_FALSE when none could give one
// (a single-use server already taken, a server gone); preferPid's registrations are tried first.
HRESULT CreateOnRunningServer(REFCLSID clsid, DWORD preferPid, IUnknown** object) {
    std::vector<RegistrationFile> found = FindRegistrations(kClassesFolder, clsid);
    std::stable_partition(found.begin(), found.end(),
                          [&](const RegistrationFile& r) { return r.pid == preferPid; });
    WireWriter w;
    w.U8(static_cast<std::uint8_t>(Op::Create));
    w.Guid(clsid);
    for (const RegistrationFile& reg : found) {
        HRESULT hr = RequestFromRegistration(reg, w.Data(), object);
        if (hr == CO_E_OBJNOTREG || hr == RPC_E_DISCONNECTED || hr == RPC_E_SERVER_DIED)
            continue;
        return hr;
    }
    return S_FALSE;
}

bool ReadLocalServer(REFCLSID clsid, std::string& commandLine) {
    std::string name = "CLSID\\" + win::GuidToString(clsid) + "\\LocalServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ);
    std::string value(size, '\0');
    if (ok)
        ok = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                              &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    value.resize(ok ? size : 0);
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    commandLine = value;
    return ok && !value.empty();
}

HRESULT ActivateLocalServer(REFCLSID clsid, IUnknown** object) {
    HRESULT hr = CreateOnRunningServer(clsid, 0, object);
    if (hr != S_FALSE)
        return hr;
    std::string commandLine;
    if (!ReadLocalServer(clsid, commandLine))
        return REGDB_E_CLASSNOTREG;
    commandLine += " -Embedding";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return CO_E_SERVER_EXEC_FAILURE;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(StartTimeout());
    hr = CO_E_SERVER_EXEC_FAILURE;
    for (;;) {
        bool ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        HRESULT created = CreateOnRunningServer(clsid, process.dwProcessId, object);
        if (created != S_FALSE) {
            hr = created;
            break;
        }
        if (ended)
            break;
        if (Clock::now() >= deadline) {
            TerminateProcess(process.hProcess, 1);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return hr;
}

} // namespace

void DisconnectFromServers() {
    Connections& all = AllConnections();
    std::lock_guard lock(all.mutex);
    for (auto& [name, weak] : all.byName)
        if (auto connection = weak.lock())
            connection->MarkDead();
    all.byName.clear();
}

} // namespace win::com

using namespace win::com;

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!ThreadInitialised())
        return CO_E_NOTINITIALIZED;
    if (IUnknown* local = LocalClassFactory(rclsid, dwClsContext)) {
        IClassFactory* factory = nullptr;
        HRESULT hr = local->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory));
        local->Release();
        if (FAILED(hr))
            return hr;
        hr = factory->CreateInstance(pUnkOuter, riid, ppv);
        factory->Release();
        return hr;
    }
    if (!(dwClsContext & (CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)))
        return REGDB_E_CLASSNOTREG;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    IUnknown* object = nullptr;
    HRESULT hr = ActivateLocalServer(rclsid, &object);
    if (FAILED(hr))
        return hr;
    hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

HRESULT GetActiveObject(REFCLSID rclsid, LPVOID, IUnknown** ppunk) {
    if (!ppunk)
        return E_INVALIDARG;
    *ppunk = nullptr;
    if (!ThreadInitialised())
        return CO_E_NOTINITIALIZED;
    if ((*ppunk = LocalActiveObject(rclsid)))
        return S_OK;
    for (const RegistrationFile& reg : FindRegistrations(kRunningFolder, rclsid)) {
        WireWriter w;
        w.U8(static_cast<std::uint8_t>(Op::Active));
        w.U32(reg.cookie);
        if (SUCCEEDED(RequestFromRegistration(reg, w.Data(), ppunk)))
            return S_OK;
    }
    return MK_E_UNAVAILABLE;
}

HRESULT OleRun(IUnknown* pUnknown) {
    if (!pUnknown)
        return E_INVALIDARG;
    auto* proxy = dynamic_cast<Proxy*>(pUnknown);
    if (!proxy)
        return S_OK;
    WireWriter w;
    w.U8(static_cast<std::uint8_t>(Op::Ping));
    std::string answer;
    HRESULT hr = proxy->Connection()->Call(w.Data(), answer);
    if (FAILED(hr))
        return hr;
    WireReader in(answer);
    hr = in.I32();
    return in.Ok() ? hr : E_UNEXPECTED;
}
