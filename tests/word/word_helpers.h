// What the Word server's tests share: a fresh prefix with the runtime initialised, the server's
// class, calls by name, and looking for the processes a server leaves.
#pragma once

#include "fresh_prefix.h"

#include "registration.h"
#include "server.h"

#include "win/comdef.h"
#include "win/paths.h"
#include "win/process.h"
#include "win/registry.h"

#include <chrono>
#include <climits>
#include <dirent.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace wordtest {

inline std::string BinaryPath(const std::string& name) {
    return std::string(RIVLET_BINARY_DIR) + "/bin/" + name;
}

inline std::string Quoted(const std::string& unixPath) {
    return "\"" + win::ToWindowsPath(unixPath) + "\"";
}

inline std::string ReadFile(const std::string& path) {
    return wintest::ReadBytes(path);
}

// The processes whose command line or environment holds a text, by their ids.
inline std::vector<int> ProcessesWith(const std::string& text, const char* what,
                                      const std::string& exeSuffix = "") {
    std::vector<int> found;
    DIR* proc = opendir("/proc");
    if (!proc)
        return found;
    while (dirent* entry = readdir(proc)) {
        int pid = std::atoi(entry->d_name);
        if (pid <= 0 || pid == getpid())
            continue;
        std::string base = std::string("/proc/") + entry->d_name;
        if (!exeSuffix.empty()) {
            char exe[PATH_MAX];
            ssize_t n = readlink((base + "/exe").c_str(), exe, sizeof exe - 1);
            if (n <= 0 || !std::string(exe, static_cast<std::size_t>(n)).ends_with(exeSuffix))
                continue;
        }
        FILE* f = std::fopen((base + "/" + what).c_str(), "r");
        if (!f)
            continue;
        std::string data;
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            data.append(chunk, n);
        std::fclose(f);
        if (data.find(text) != std::string::npos)
            found.push_back(pid);
    }
    closedir(proc);
    return found;
}

template <class Condition> bool Eventually(Condition condition) {
    for (int i = 0; i < 3000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

struct Invoked {
    HRESULT hr = E_UNEXPECTED;
    _variant_t result;
    std::string description;
};

// Invoke by name, arguments in their natural order.
inline Invoked Call(IDispatch* object, const wchar_t* name, WORD flags,
                    std::vector<_variant_t> args = {}) {
    Invoked out;
    LPOLESTR names = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    out.hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(out.hr))
        return out;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO excep{};
    VARIANT result;
    VariantInit(&result);
    out.hr =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &excep, nullptr);
    out.result.Attach(result);
    out.description = win::BstrToUtf8(excep.bstrDescription);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    return out;
}

// The object a call answered (AddRef'd), or null.
inline IDispatch* ObjectOf(const Invoked& r) {
    if (FAILED(r.hr) || r.result.vt != VT_DISPATCH || !r.result.pdispVal)
        return nullptr;
    r.result.pdispVal->AddRef();
    return r.result.pdispVal;
}

inline std::string TextOf(IDispatch* object, const wchar_t* name) {
    Invoked r = Call(object, name, DISPATCH_PROPERTYGET);
    return SUCCEEDED(r.hr) ? std::string((const char*)_bstr_t(r.result))
                           : "<" + r.description + ">";
}

class WordTest : public wintest::FreshPrefix {
protected:
    void SetUp() override {
        FreshPrefix::SetUp();
        profile = root + "/profile";
        SaveAndSet("RIVLET_WORD_PROFILE", profile.c_str());
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        // A server that a failed test left running ends now, with what it started.
        for (int pid : Servers())
            kill(pid, SIGTERM);
        FreshPrefix::TearDown();
    }

    // WordServer processes of this test's prefix.
    std::vector<int> Servers() const {
        return ProcessesWith("CADHOST_PREFIX=" + prefix + '\0', "environ", "/WordServer");
    }
    // LibreOffice processes of this test's profile.
    std::vector<int> Offices() const { return ProcessesWith(root + "/profile", "cmdline"); }

    IDispatch* Activate() {
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
        IDispatch* app = nullptr;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&app)),
                  S_OK);
        return app;
    }

    std::string profile;
};

} // namespace wordtest
