// What the object runtime's tests share: a fixture that initialises the runtime in a fresh
// prefix and registers the test server, calls by name, and waiting for processes.
#pragma once

#include "fresh_prefix.h"

#include "com_test_ids.h"
#include "win/comdef.h"
#include "win/paths.h"
#include "win/registry.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace comtest {

inline std::string TestServerPath() {
    return std::string(RIVLET_BINARY_DIR) + "/bin/com_test_server";
}

inline void SetDefault(const std::string& key, const std::string& value) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

// A process has ended once it is gone or a zombie nobody has reaped yet.
inline bool ProcessEnded(long pid) {
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    std::string text;
    if (FILE* stat = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r")) {
        char buffer[512];
        std::size_t n = std::fread(buffer, 1, sizeof buffer, stat);
        text.assign(buffer, n);
        std::fclose(stat);
    }
    std::size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

// Waits (a minute at most) for a condition that should come true soon.
template <class Condition> bool Eventually(Condition condition) {
    for (int i = 0; i < 3000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// Invoke by name with arguments in their natural order.
struct Invoked {
    HRESULT hr = E_UNEXPECTED;
    _variant_t result;
    std::string description, source;
    SCODE scode = 0;
    UINT argErr = 0xFFFFFFFF;
};

inline Invoked Call(IDispatch* object, const wchar_t* name, WORD flags,
                    std::vector<_variant_t> args = {}) {
    Invoked out;
    LPOLESTR names = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    out.hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(out.hr))
        return out;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    EXCEPINFO excep{};
    VARIANT result;
    VariantInit(&result);
    out.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &excep,
                            &out.argErr);
    out.result.Attach(result);
    out.description = win::BstrToUtf8(excep.bstrDescription);
    out.source = win::BstrToUtf8(excep.bstrSource);
    out.scode = excep.scode;
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    return out;
}

inline long LongOf(IDispatch* object, const wchar_t* name) {
    Invoked r = Call(object, name, DISPATCH_PROPERTYGET);
    EXPECT_EQ(r.hr, S_OK) << "getting a number";
    return SUCCEEDED(r.hr) ? static_cast<long>(r.result) : -1;
}

class ComTest : public wintest::FreshPrefix {
protected:
    void SetUp() override {
        FreshPrefix::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        RegisterTestServer();
    }
    void TearDown() override {
        CoUninitialize();
        FreshPrefix::TearDown();
    }

    static std::string Clsid() { return win::GuidToString(CLSID_ComTestApp); }

    void RegisterTestServer() {
        SetDefault("ComTest.App\\CLSID", Clsid());
        SetDefault("CLSID\\" + Clsid() + "\\LocalServer32",
                   "\"" + win::ToWindowsPath(TestServerPath()) + "\"");
    }

    IDispatch* Activate() {
        IDispatch* app = nullptr;
        HRESULT hr = CoCreateInstance(CLSID_ComTestApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(&app));
        EXPECT_EQ(hr, S_OK);
        return app;
    }

    std::vector<std::string> Registrations(const char* kind) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(prefix + "/com/" + kind, ec))
            names.push_back(e.path().filename().string());
        return names;
    }
};

} // namespace comtest
