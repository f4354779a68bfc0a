#include "server.h"

#include "win/paths.h"

#include <cstdio>
#include <string>

namespace word {
namespace {

class Document;

// What the objects share: the worker and the open documents.
struct ServerState {
    Worker worker;
    std::vector<Document*> documents; // each holds a reference
    DWORD classCookie = 0;
    DWORD runningCookie = 0;
    bool registered = false;
    bool visible = false;

    void Revoke() {
        if (!registered)
            return;
        CoRevokeClassObject(classCookie);
        RevokeActiveObject(runningCookie, nullptr);
        registered = false;
    }
    void CloseAll();
    // Ends the worker and everything served.
    void Shutdown() {
        CloseAll();
        worker.Quit();
        Revoke();
    }
};

ServerState& State() {
    static ServerState* state = new ServerState; // objects may outlive main's scope
    return *state;
}

constexpr const char* kSource = "Word.Application";

std::string LeafName(const std::string& winPath) {
    std::size_t slash = winPath.find_last_of("\\/");
    return slash == std::string::npos ? winPath : winPath.substr(slash + 1);
}

class Document final : public win::DispatchObject {
public:
    Document(std::string id, int generation, std::string hostPath)
        : DispatchObject(kMembers), m_id(std::move(id)), m_generation(generation) {
        SetPath(std::move(hostPath));
    }

    // The worker closed it, or ended.
    void Forget() { m_closed = true; }

private:
    enum : DISPID { kName = 0, kFullName = 1, kSaveAs = 2, kClose = 3 };
    static constexpr win::DispMember kMembers[] = {
        {"Name", kName, DISPATCH_PROPERTYGET, 0, 0},
        {"FullName", kFullName, DISPATCH_PROPERTYGET, 0, 0},
        {"SaveAs", kSaveAs, DISPATCH_METHOD, 1, 16},
        {"Close", kClose, DISPATCH_METHOD, 0, 3},
    };

    void SetPath(std::string hostPath) {
        m_hostPath = std::move(hostPath);
        m_fullName = win::ToWindowsPath(m_hostPath);
    }

    // Why the document cannot be used, or "".
    std::string Unusable() {
        if (m_closed)
            return "The document is closed.";
        ServerState& s = State();
        if (!s.worker.Alive() || s.worker.Generation() != m_generation)
            return "LibreOffice has ended; the document is no longer open.";
        return "";
    }

    HRESULT Call(DISPID id, win::DispCall& call) override {
        switch (id) {
        case kName:
            return call.ReturnString(LeafName(m_fullName));
        case kFullName:
            return call.ReturnString(m_fullName);
        case kSaveAs:
            return SaveAs(call);
        case kClose:
            return Close(call);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT SaveAs(win::DispCall& call) {
        std::string fileName;
        if (HRESULT hr = call.GetString(0, fileName); FAILED(hr))
            return hr;
        LONG format = 0; // a missing format keeps the document's own, written as Word 97
        if (call.Arg(1)) {
            if (HRESULT hr = call.GetLong(1, format); FAILED(hr))
                return hr;
        }
        const char* filter = FilterOfFormat(format);
        if (!filter)
            return call.Raise("The file format " + std::to_string(format) + " is not supported.",
                              E_FAIL, kSource);
        if (std::string why = Unusable(); !why.empty())
            return call.Raise(why, E_FAIL, kSource);
        std::string hostPath = win::ToHostPath(fileName);
        if (hostPath.empty())
            return call.Raise("The file name is not valid: " + fileName, E_FAIL, kSource);
        Answer answer = State().worker.Request("save", {m_id, hostPath, filter});
        if (!answer.ok)
            return call.Raise(answer.message, E_FAIL, kSource);
        SetPath(hostPath);
        return S_OK;
    }

    HRESULT Close(win::DispCall& call) {
        std::string why = Unusable();
        ServerState& s = State();
        if (!m_closed && why.empty()) {
            Answer answer = s.worker.Request("close", {m_id});
            if (!answer.ok)
                why = answer.message;
        }
        m_closed = true;
        // Gone from Documents whatever happened.
        for (auto it = s.documents.begin(); it != s.documents.end(); ++it) {
            if (*it == this) {
                s.documents.erase(it);
                Release();
                break;
            }
        }
        return why.empty() ? S_OK : call.Raise(why, E_FAIL, kSource);
    }

    std::string m_id;
    int m_generation;
    std::string m_hostPath, m_fullName;
    bool m_closed = false;
};

void ServerState::CloseAll() {
    std::vector<Document*> open;
    open.swap(documents);
    for (Document* d : open) {
        d->Forget();
        d->Release();
    }
}

class Documents final : public win::DispatchObject {
public:
    Documents() : DispatchObject(kMembers) {}

private:
    enum : DISPID { kCount = 1, kOpen = 2, kItem = 3 };
    static constexpr win::DispMember kMembers[] = {
        {"Count", kCount, DISPATCH_PROPERTYGET, 0, 0},
        {"Open", kOpen, DISPATCH_METHOD, 1, 16},
        {"Item", kItem, DISPATCH_METHOD | DISPATCH_PROPERTYGET, 1, 1},
    };

    HRESULT Call(DISPID id, win::DispCall& call) override {
        ServerState& s = State();
        switch (id) {
        case kCount:
            return call.ReturnLong(static_cast<LONG>(s.documents.size()));
        case kItem: {
            LONG index = 0;
            if (HRESULT hr = call.GetLong(0, index); FAILED(hr))
                return hr;
            if (index < 1 || index > static_cast<LONG>(s.documents.size()))
                return DISP_E_BADINDEX;
            return call.ReturnDispatch(s.documents[static_cast<std::size_t>(index - 1)]);
        }
        case kOpen:
            return Open(call);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT Open(win::DispCall& call) {
        std::string fileName;
        if (HRESULT hr = call.GetString(0, fileName); FAILED(hr))
            return hr;
        std::string hostPath = win::ToHostPath(fileName);
        if (hostPath.empty())
            return call.ReturnDispatch(nullptr);
        ServerState& s = State();
        if (!s.worker.Alive()) {
            // The documents of the worker that ended cannot be used any more.
            s.CloseAll();
            std::string error;
            if (!s.worker.Start(error))
                return call.Raise("LibreOffice cannot be started: " + error, E_FAIL, kSource);
        }
        Answer answer = s.worker.Request("open", {hostPath});
        if (!answer.ok) {
            if (!s.worker.Alive())
                return call.Raise(answer.message, E_FAIL, kSource);
            return call.ReturnDispatch(nullptr); // missing, unreadable, or refused
        }
        if (answer.words.empty())
            return call.Raise("The worker gave no document.", E_FAIL, kSource);
        auto* document = new Document(answer.words[0], s.worker.Generation(), hostPath);
        s.documents.push_back(document); // the list keeps the creator's reference
        return call.ReturnDispatch(document);
    }
};

class Application final : public win::DispatchObject {
public:
    Application() : DispatchObject(kMembers), m_documents(new Documents) {}
    ~Application() override { m_documents->Release(); }

private:
    enum : DISPID { kDocuments = 1, kQuit = 2, kVisible = 3 };
    static constexpr win::DispMember kMembers[] = {
        {"Documents", kDocuments, DISPATCH_PROPERTYGET, 0, 0},
        {"Quit", kQuit, DISPATCH_METHOD, 0, 3},
        {"Visible", kVisible, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, 0, 0},
    };

    HRESULT Call(DISPID id, win::DispCall& call) override {
        ServerState& s = State();
        switch (id) {
        case kDocuments:
            return call.ReturnDispatch(m_documents);
        case kVisible:
            if (call.IsPut())
                return call.GetValueBool(s.visible);
            return call.ReturnBool(s.visible);
        case kQuit:
            // Documents are only read, so there are no changes to save.
            s.Shutdown();
            CoStopServing();
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    Documents* m_documents;
};

// Every client gets the one Application.
class ApplicationFactory final : public IClassFactory {
public:
    explicit ApplicationFactory(Application* app) : m_app(app) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory)
            return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return m_app->QueryInterface(riid, ppv);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    ~ApplicationFactory() { m_app->Release(); }
    ULONG m_refs = 1;
    Application* m_app; // one reference of its own
};

} // namespace

const char* FilterOfFormat(LONG format) {
    switch (format) {
    case 0:
        return "MS Word 97";
    case 6:
        return "Rich Text Format";
    case 16:
        return "MS Word 2007 XML";
    default:
        return nullptr;
    }
}

int RunServer() {
    ServerState& s = State();
    std::string error;
    if (!s.worker.Start(error)) {
        std::fprintf(stderr, "WordServer: %s\n", error.c_str());
        return 1;
    }
    CoInitialize(nullptr);
    auto* app = new Application;
    app->AddRef();
    auto* factory = new ApplicationFactory(app);
    HRESULT hr = CoRegisterClassObject(CLSID_WordApplication, factory, CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &s.classCookie);
    if (SUCCEEDED(hr)) {
        hr =
            RegisterActiveObject(app, CLSID_WordApplication, ACTIVEOBJECT_STRONG, &s.runningCookie);
        if (FAILED(hr))
            CoRevokeClassObject(s.classCookie);
    }
    factory->Release();
    app->Release();
    if (FAILED(hr)) {
        std::fprintf(stderr, "WordServer: cannot register (0x%08X)\n", static_cast<unsigned>(hr));
        s.worker.Quit();
        CoUninitialize();
        return 1;
    }
    s.registered = true;
    CoServeClients();
    // Quit did this already; a server whose last client went without quitting does it here.
    s.Shutdown();
    CoUninitialize();
    return 0;
}

} // namespace word
