// The object runtime across processes, with the test server of servers/com_test_server.cpp.
#include "com_helpers.h"

#include "win/afxdisp.h"
#include "win/cmdline.h"
#include "win/process.h"

#include <climits>
#include <cstdlib>

using comtest::Call;
using comtest::ComTest;
using comtest::Eventually;
using comtest::Invoked;
using comtest::LongOf;
using comtest::ProcessEnded;

namespace {

// When a test starts this program as a second client, it does the client's part and ends
// before any test runs: COM_TEST_CLIENT says what, COM_TEST_CLIENT_OUT where to write the
// server's process id.
bool RunClientPart() {
    const char* mode = std::getenv("COM_TEST_CLIENT");
    const char* out = std::getenv("COM_TEST_CLIENT_OUT");
    if (!mode || !out)
        return false;
    std::string which = mode;
    CoInitialize(nullptr);
    IDispatch* app = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&app));
    long pid = -1;
    if (SUCCEEDED(hr)) {
        pid = comtest::LongOf(app, L"ProcessId");
        if (which == "vanish") {
            // Holds a child object and the application, and ends without releasing them.
            Invoked child = Call(app, L"Child", DISPATCH_METHOD);
            static_cast<_variant_t&>(child.result).Detach();
            std::ofstream(out) << pid;
            _exit(0);
        }
        app->Release();
    }
    std::ofstream(out) << pid;
    CoUninitialize();
    _exit(SUCCEEDED(hr) ? 0 : 1);
}

[[maybe_unused]] const bool g_clientPartDone = RunClientPart();

std::string SelfPath() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    path[n > 0 ? n : 0] = '\0';
    return path;
}

class ComServerTest : public ComTest {
protected:
    // Runs this program as another client and answers the server process id it saw.
    long OtherClient(const char* mode) {
        std::string out = tmp + "/client-" + mode;
        SaveAndSet("COM_TEST_CLIENT", mode);
        SaveAndSet("COM_TEST_CLIENT_OUT", out.c_str());
        std::optional<DWORD> status = win::RunAndWait("\"" + win::ToWindowsPath(SelfPath()) + "\"");
        SaveAndSet("COM_TEST_CLIENT", nullptr);
        EXPECT_EQ(status, std::optional<DWORD>(0));
        std::string text = wintest::ReadBytes(out);
        return text.empty() ? -1 : std::stol(text);
    }
};

// A local object for the tests that pass a client's own object to the server.
class LocalObject final : public win::DispatchObject {
public:
    LocalObject() : DispatchObject(kMembers) {}

private:
    static constexpr win::DispMember kMembers[] = {{"Name", 1, DISPATCH_PROPERTYGET, 0, 0}};
    HRESULT Call(DISPID, win::DispCall& call) override { return call.ReturnString("local"); }
};

TEST_F(ComServerTest, ActivationStartsTheServerWithEmbeddingAndServesItsMembers) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    long pid = LongOf(app, L"ProcessId");
    EXPECT_NE(pid, static_cast<long>(getpid()));
    Invoked commandLine = Call(app, L"CommandLine", DISPATCH_PROPERTYGET);
    EXPECT_TRUE(std::string((const char*)_bstr_t(commandLine.result)).ends_with(" -Embedding"));

    Invoked sum = Call(app, L"aDD", DISPATCH_METHOD, {_variant_t(2L), _variant_t(40L)});
    ASSERT_EQ(sum.hr, S_OK);
    EXPECT_EQ(static_cast<long>(sum.result), 42);

    EXPECT_EQ(Call(app, L"Value", DISPATCH_PROPERTYPUT, {_variant_t(7L)}).hr, S_OK);
    EXPECT_EQ(LongOf(app, L"Value"), 7);

    EXPECT_EQ(Call(app, L"NoSuchMember", DISPATCH_METHOD).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Call(app, L"Add", DISPATCH_METHOD, {_variant_t(1L)}).hr, DISP_E_BADPARAMCOUNT);
    // The first of two arguments lies at index 1 of rgvarg.
    Invoked mismatch = Call(app, L"Add", DISPATCH_METHOD, {_variant_t("x"), _variant_t(1L)});
    EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch.argErr, 1u);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(app->Invoke(12345, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    UINT count = 9;
    EXPECT_EQ(app->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(app->GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(OleRun(app), S_OK);
    app->Release();
}

TEST_F(ComServerTest, ValuesTravelBothWaysUnchanged) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    std::wstring text = L"Чертёж 図面 \U0001F4D0 with\0zero";
    text.push_back(L'\0');
    text += L"end";
    VARIANT bstr;
    VariantInit(&bstr);
    bstr.vt = VT_BSTR;
    bstr.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    Invoked echoed = Call(app, L"Echo", DISPATCH_METHOD, {_variant_t(bstr, false)});
    ASSERT_EQ(echoed.hr, S_OK);
    ASSERT_EQ(echoed.result.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(echoed.result.bstrVal, SysStringLen(echoed.result.bstrVal)), text);

    std::vector<_variant_t> samples = {_variant_t(short(-3)), _variant_t(true), _variant_t(2.5),
                                       _variant_t(static_cast<long>(E_FAIL), VT_ERROR)};
    for (const _variant_t& sample : samples) {
        Invoked r = Call(app, L"Echo", DISPATCH_METHOD, {sample});
        ASSERT_EQ(r.hr, S_OK);
        EXPECT_TRUE(COleVariant(r.result) == sample) << "type " << sample.vt;
    }
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    EXPECT_EQ(Call(app, L"Echo", DISPATCH_METHOD, {_variant_t(null)}).result.vt, VT_NULL);

    // A by-reference argument comes back changed.
    _variant_t inout("abc");
    VARIANT ref;
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &inout;
    DISPPARAMS params{&ref, nullptr, 1, 0};
    LPOLESTR name = const_cast<LPOLESTR>(L"Decorate");
    DISPID id = 0;
    ASSERT_EQ(app->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(app->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.lVal, 3);
    EXPECT_STREQ((const char*)_bstr_t(inout), "[abc]");
    app->Release();
}

TEST_F(ComServerTest, AnExceptionOfTheServerArrivesWithItsDescription) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    Invoked r = Call(app, L"Fail", DISPATCH_METHOD, {_variant_t("Ω reason")});
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.description, "the test object refuses: Ω reason");
    EXPECT_EQ(r.source, "ComTest.App");
    EXPECT_EQ(r.scode, kFailScode);
    // Without an EXCEPINFO to fill, the result is the same.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    LPOLESTR name = const_cast<LPOLESTR>(L"Fail");
    DISPID id = 0;
    ASSERT_EQ(app->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(app->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_EXCEPTION);
    app->Release();
}

TEST_F(ComServerTest, ObjectsInResultsAndArgumentsAreTheServersOwn) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(LongOf(app, L"LiveObjects"), 1);
    Invoked child = Call(app, L"Child", DISPATCH_METHOD);
    ASSERT_EQ(child.hr, S_OK);
    ASSERT_EQ(child.result.vt, VT_DISPATCH);
    ASSERT_NE(child.result.pdispVal, nullptr);
    EXPECT_STREQ(
        (const char*)_bstr_t(Call(child.result.pdispVal, L"Name", DISPATCH_PROPERTYGET).result),
        "child 1");
    EXPECT_EQ(LongOf(app, L"LiveObjects"), 2);

    // Handed back, the proxy is the server's object again.
    Invoked named = Call(app, L"NameOf", DISPATCH_METHOD, {child.result});
    ASSERT_EQ(named.hr, S_OK);
    EXPECT_STREQ((const char*)_bstr_t(named.result), "child 1");
    // An object of this process cannot be handed over.
    auto* local = new LocalObject;
    Invoked refused = Call(app, L"NameOf", DISPATCH_METHOD, {_variant_t(local, false)});
    EXPECT_EQ(refused.hr, DISP_E_TYPEMISMATCH);

    // More references to the proxy are local; the last one releases the server's object.
    IDispatch* again = nullptr;
    ASSERT_EQ(
        child.result.pdispVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&again)),
        S_OK);
    child.result.Clear();
    EXPECT_EQ(LongOf(app, L"LiveObjects"), 2);
    again->Release();
    EXPECT_EQ(LongOf(app, L"LiveObjects"), 1);

    // An object without IDispatch arrives as IUnknown and refuses it.
    Invoked plain = Call(app, L"Plain", DISPATCH_METHOD);
    ASSERT_EQ(plain.result.vt, VT_UNKNOWN);
    IDispatch* dispatch = nullptr;
    EXPECT_EQ(
        plain.result.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
        E_NOINTERFACE);
    EXPECT_EQ(dispatch, nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(
        plain.result.punkVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)),
        S_OK);
    unknown->Release();
    EXPECT_EQ(LongOf(app, L"LiveObjects"), 2);
    plain.result.Clear();
    EXPECT_EQ(LongOf(app, L"LiveObjects"), 1);
    app->Release();
}

TEST_F(ComServerTest, ASecondClientAttachesToTheRunningMultipleUseServer) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    long pid = LongOf(app, L"ProcessId");
    EXPECT_EQ(OtherClient("attach"), pid);
    // A client that ends without releasing what it holds loses it all the same.
    EXPECT_EQ(OtherClient("vanish"), pid);
    EXPECT_TRUE(Eventually([&] { return LongOf(app, L"LiveObjects") == 1; }));
    EXPECT_FALSE(ProcessEnded(pid));
    app->Release();
    EXPECT_TRUE(Eventually([&] { return ProcessEnded(pid); }));
}

TEST_F(ComServerTest, ASingleUseServerServesOneClient) {
    SaveAndSet("COM_TEST_SERVER_MODE", "singleuse");
    IDispatch* first = Activate();
    IDispatch* second = Activate();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(LongOf(first, L"ProcessId"), LongOf(second, L"ProcessId"));
    first->Release();
    second->Release();
}

TEST_F(ComServerTest, TheRunningObjectIsFoundWhileTheServerRuns) {
    IUnknown* found = nullptr;
    EXPECT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &found), MK_E_UNAVAILABLE);
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    long pid = LongOf(app, L"ProcessId");
    ASSERT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &found), S_OK);
    IDispatch* running = nullptr;
    ASSERT_EQ(found->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&running)), S_OK);
    EXPECT_EQ(LongOf(running, L"ProcessId"), pid);
    running->Release();
    found->Release();

    EXPECT_EQ(Call(app, L"Quit", DISPATCH_METHOD).hr, S_OK);
    EXPECT_TRUE(Eventually([&] { return ProcessEnded(pid); }));
    EXPECT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &found), MK_E_UNAVAILABLE);
    EXPECT_TRUE(Registrations("rot").empty());
    EXPECT_TRUE(Registrations("classes").empty());
    // The proxy of the ended server answers, and does not hang.
    EXPECT_EQ(Call(app, L"Add", DISPATCH_METHOD, {_variant_t(1L), _variant_t(1L)}).hr,
              RPC_E_DISCONNECTED);
    app->Release();
}

TEST_F(ComServerTest, EntriesOfAKilledServerAreIgnoredAndRemoved) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    long pid = LongOf(app, L"ProcessId");
    ASSERT_EQ(kill(static_cast<pid_t>(pid), SIGKILL), 0);
    ASSERT_TRUE(Eventually([&] { return ProcessEnded(pid); }));
    ASSERT_EQ(Registrations("rot").size(), 1u);
    IUnknown* found = nullptr;
    EXPECT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &found), MK_E_UNAVAILABLE);
    EXPECT_EQ(found, nullptr);
    EXPECT_TRUE(Registrations("rot").empty());
    EXPECT_EQ(Call(app, L"Add", DISPATCH_METHOD, {_variant_t(1L), _variant_t(1L)}).hr,
              RPC_E_DISCONNECTED);
    app->Release();
    // The class's stale entry does not stop a new server from starting.
    IDispatch* fresh = Activate();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(LongOf(fresh, L"ProcessId"), pid);
    fresh->Release();
}

TEST_F(ComServerTest, AServerDyingInACallGivesAnErrorNotAHang) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    Invoked child = Call(app, L"Child", DISPATCH_METHOD);
    ASSERT_EQ(child.result.vt, VT_DISPATCH);
    EXPECT_EQ(Call(app, L"Die", DISPATCH_METHOD).hr, RPC_E_SERVER_DIED);
    EXPECT_EQ(Call(app, L"Add", DISPATCH_METHOD, {_variant_t(1L), _variant_t(1L)}).hr,
              RPC_E_DISCONNECTED);
    EXPECT_EQ(Call(child.result.pdispVal, L"Name", DISPATCH_PROPERTYGET).hr, RPC_E_DISCONNECTED);
    EXPECT_EQ(OleRun(app), RPC_E_DISCONNECTED);
    child.result.Clear();
    app->Release();
}

TEST_F(ComServerTest, ReleasingTheLastReferenceEndsTheServer) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    long pid = LongOf(app, L"ProcessId");
    Invoked child = Call(app, L"Child", DISPATCH_METHOD);
    ASSERT_EQ(child.result.vt, VT_DISPATCH);
    app->Release();
    // The child still keeps the server (and the connection) alive.
    EXPECT_EQ(Call(child.result.pdispVal, L"Name", DISPATCH_PROPERTYGET).hr, S_OK);
    EXPECT_FALSE(ProcessEnded(pid));
    child.result.Clear();
    EXPECT_TRUE(Eventually([&] { return ProcessEnded(pid); }));
    EXPECT_TRUE(Eventually([&] { return Registrations("classes").empty(); }));
}

TEST_F(ComServerTest, ActivationFailuresHaveTheirResults) {
    IUnknown* object = reinterpret_cast<IUnknown*>(1);
    CLSID unknown = CLSID_ComTestApp;
    unknown.Data1 ^= 1;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    comtest::SetDefault("CLSID\\" + win::GuidToString(unknown) + "\\ProgID", "No.Server");
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_ComTestApp, reinterpret_cast<IUnknown*>(this),
                               CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(
        CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, nullptr),
        E_POINTER);

    // A server that ends without registering, one that never registers, one that is missing.
    SaveAndSet("COM_TEST_SERVER_MODE", "exit");
    EXPECT_EQ(CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CO_E_SERVER_EXEC_FAILURE);
    SaveAndSet("COM_TEST_SERVER_MODE", "hang");
    SaveAndSet("WINPLAT_COM_START_TIMEOUT", "300");
    EXPECT_EQ(CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CO_E_SERVER_EXEC_FAILURE);
    comtest::SetDefault("CLSID\\" + Clsid() + "\\LocalServer32", "C:\\no\\such\\server.exe");
    EXPECT_EQ(CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ComServerTest, CallsBeforeInitialisingAreRefused) {
    std::thread([] {
        IUnknown* object = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_ALL, IID_IUnknown,
                                   reinterpret_cast<void**>(&object)),
                  CO_E_NOTINITIALIZED);
        EXPECT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &object), CO_E_NOTINITIALIZED);
        DWORD cookie = 0;
        EXPECT_EQ(
            RegisterActiveObject(reinterpret_cast<IUnknown*>(1), CLSID_ComTestApp, 0, &cookie),
            CO_E_NOTINITIALIZED);
        EXPECT_EQ(CoServeClients(), CO_E_NOTINITIALIZED);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), RPC_E_CHANGED_MODE);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    }).join();
}

// A class factory of this process for the in-process tests.
class LocalFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown && riid != IID_IClassFactory)
            return E_NOINTERFACE;
        *ppv = this;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; } // lives on the test's stack
    HRESULT CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
        auto* object = new LocalObject;
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
    ULONG refs = 1;
};

TEST_F(ComServerTest, ClassesAndObjectsOfThisProcessAreUsedDirectly) {
    LocalFactory factory;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_ComTestApp, &factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    EXPECT_EQ(factory.refs, 2u);
    IDispatch* object = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_ALL, IID_IDispatch,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    EXPECT_NE(dynamic_cast<LocalObject*>(object), nullptr);
    // Registered in process only, it is not offered to others.
    EXPECT_TRUE(Registrations("classes").empty());

    DWORD running = 0;
    ASSERT_EQ(RegisterActiveObject(object, CLSID_ComTestApp, ACTIVEOBJECT_STRONG, &running), S_OK);
    EXPECT_EQ(Registrations("rot").size(), 1u);
    IUnknown* found = nullptr;
    ASSERT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &found), S_OK);
    EXPECT_EQ(found, static_cast<IUnknown*>(object));
    found->Release();
    EXPECT_EQ(RevokeActiveObject(running, nullptr), S_OK);
    EXPECT_EQ(RevokeActiveObject(running, nullptr), E_INVALIDARG);
    EXPECT_EQ(GetActiveObject(CLSID_ComTestApp, nullptr, &found), MK_E_UNAVAILABLE);
    EXPECT_TRUE(Registrations("rot").empty());
    object->Release();

    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(factory.refs, 1u);
    EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
}

} // namespace
