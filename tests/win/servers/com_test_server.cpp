// A local server for the object runtime's tests.  Started with -Embedding it registers the
// class CLSID_ComTestApp and serves one application object (made when the first client asks,
// gone when the last lets it go) with members of every kind the tests need.  What else it does
// comes from COM_TEST_SERVER_MODE:
//   (unset)    class object REGCLS_MULTIPLEUSE, the application registered (weakly) as running
//   singleuse  class object REGCLS_SINGLEUSE
//   exit       ends with status 3 before registering anything
//   hang       never registers (sleeps)
#include "com_test_ids.h"

#include "win/cmdline.h"
#include "win/com.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int g_liveObjects = 0;

// Every object counts itself and keeps the server running while it exists.
class Counted {
public:
    Counted() {
        ++g_liveObjects;
        CoAddRefServerProcess();
    }
    ~Counted() {
        --g_liveObjects;
        CoReleaseServerProcess();
    }
};

class Child final : public win::DispatchObject, Counted {
public:
    explicit Child(int number)
        : DispatchObject(kMembers), m_name("child " + std::to_string(number)) {}

private:
    enum : DISPID { kName = 1 };
    static constexpr win::DispMember kMembers[] = {{"Name", kName, DISPATCH_PROPERTYGET, 0, 0}};

    HRESULT Call(DISPID, win::DispCall& call) override { return call.ReturnString(m_name); }

    std::string m_name;
};

// An object without IDispatch.
class Plain final : public IUnknown, Counted {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown)
            return E_NOINTERFACE;
        *ppv = this;
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

private:
    ULONG m_refs = 1;
};

class App;
App* g_app = nullptr;

class App final : public win::DispatchObject, Counted {
public:
    App() : DispatchObject(kMembers) {
        g_app = this;
        RegisterActiveObject(static_cast<IDispatch*>(this), CLSID_ComTestApp, ACTIVEOBJECT_WEAK,
                             &m_running);
    }
    ~App() override {
        RevokeActiveObject(m_running, nullptr);
        g_app = nullptr;
    }

private:
    enum : DISPID {
        kAdd = 1,
        kEcho,
        kValue,
        kFail,
        kChild,
        kPlain,
        kProcessId,
        kCommandLine,
        kLiveObjects,
        kNameOf,
        kDecorate,
        kDie,
        kQuit,
    };
    static constexpr win::DispMember kMembers[] = {
        {"Add", kAdd, DISPATCH_METHOD, 2, 2},
        {"Echo", kEcho, DISPATCH_METHOD, 1, 1},
        {"Value", kValue, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, 0, 0},
        {"Fail", kFail, DISPATCH_METHOD, 0, 1},
        {"Child", kChild, DISPATCH_METHOD | DISPATCH_PROPERTYGET, 0, 0},
        {"Plain", kPlain, DISPATCH_METHOD, 0, 0},
        {"ProcessId", kProcessId, DISPATCH_PROPERTYGET, 0, 0},
        {"CommandLine", kCommandLine, DISPATCH_PROPERTYGET, 0, 0},
        {"LiveObjects", kLiveObjects, DISPATCH_PROPERTYGET, 0, 0},
        {"NameOf", kNameOf, DISPATCH_METHOD, 1, 1},
        {"Decorate", kDecorate, DISPATCH_METHOD, 1, 1},
        {"Die", kDie, DISPATCH_METHOD, 0, 0},
        {"Quit", kQuit, DISPATCH_METHOD, 0, 0},
    };

    HRESULT Call(DISPID id, win::DispCall& call) override {
        switch (id) {
        case kAdd: {
            LONG a = 0, b = 0;
            if (HRESULT hr = call.GetLong(0, a); FAILED(hr))
                return hr;
            if (HRESULT hr = call.GetLong(1, b); FAILED(hr))
                return hr;
            return call.ReturnLong(a + b);
        }
        case kEcho: {
            const VARIANT* v = call.Arg(0);
            if (!v)
                return DISP_E_PARAMNOTFOUND;
            return call.ReturnVariant(*v);
        }
        case kValue:
            if (call.IsPut())
                return call.GetValueLong(m_value);
            return call.ReturnLong(m_value);
        case kFail: {
            std::string why = "the test object refuses";
            std::string extra;
            if (SUCCEEDED(call.GetString(0, extra)))
                why += ": " + extra;
            return call.Raise(why, kFailScode, "ComTest.App");
        }
        case kChild: {
            auto* child = new Child(++m_children);
            call.ReturnDispatch(child);
            child->Release();
            return S_OK;
        }
        case kPlain: {
            auto* plain = new Plain;
            call.ReturnUnknown(plain);
            plain->Release();
            return S_OK;
        }
        case kProcessId:
            return call.ReturnLong(static_cast<LONG>(getpid()));
        case kCommandLine:
            return call.ReturnString(GetCommandLineA());
        case kLiveObjects:
            return call.ReturnLong(g_liveObjects);
        case kNameOf: {
            const VARIANT* v = call.Arg(0);
            if (!v || v->vt != VT_DISPATCH || !v->pdispVal)
                return DISP_E_TYPEMISMATCH;
            // The object is this server's own: asked directly, not through a proxy.
            LPOLESTR name = const_cast<LPOLESTR>(L"Name");
            DISPID nameId = 0;
            if (HRESULT hr = v->pdispVal->GetIDsOfNames(IID_NULL, &name, 1, 0, &nameId); FAILED(hr))
                return hr;
            DISPPARAMS none{nullptr, nullptr, 0, 0};
            VARIANT result;
            VariantInit(&result);
            HRESULT hr = v->pdispVal->Invoke(nameId, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                             &result, nullptr, nullptr);
            if (SUCCEEDED(hr))
                call.ReturnVariant(result);
            VariantClear(&result);
            return hr;
        }
        case kDecorate: {
            // Writes "[old]" back into a by-reference argument and answers the old length.
            VARIANT* out = call.OutArg(0);
            std::string old;
            if (!out)
                return DISP_E_TYPEMISMATCH;
            if (HRESULT hr = call.GetString(0, old); FAILED(hr))
                return hr;
            VariantClear(out);
            out->vt = VT_BSTR;
            out->bstrVal = win::SysAllocStringUtf8("[" + old + "]");
            return call.ReturnLong(static_cast<LONG>(old.size()));
        }
        case kDie:
            _exit(9); // in the middle of the call: the client must not hang
        case kQuit:
            CoStopServing();
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    LONG m_value = 0;
    int m_children = 0;
    DWORD m_running = 0;
};

class Factory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory)
            return E_NOINTERFACE;
        *ppv = this;
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
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (g_app)
            return g_app->QueryInterface(riid, ppv);
        auto* app = new App;
        HRESULT hr = app->QueryInterface(riid, ppv);
        app->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    ULONG m_refs = 1;
};

} // namespace

int main(int argc, char** argv) {
    win::SetProcessCommandLine(argc, argv);
    bool embedding = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-Embedding") == 0)
            embedding = true;
    if (!embedding)
        return 2;
    const char* modeText = std::getenv("COM_TEST_SERVER_MODE");
    std::string mode = modeText ? modeText : "";
    if (mode == "exit")
        return 3;
    if (mode == "hang") {
        sleep(600);
        return 0;
    }
    CoInitialize(nullptr);
    auto* factory = new Factory;
    DWORD cookie = 0;
    HRESULT hr =
        CoRegisterClassObject(CLSID_ComTestApp, factory, CLSCTX_LOCAL_SERVER,
                              mode == "singleuse" ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE, &cookie);
    factory->Release();
    if (FAILED(hr))
        return 4;
    CoServeClients();
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
