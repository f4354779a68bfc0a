#include "registrar.h"

#include "registry_failure.h"

#include "win/registry.h"

namespace scrivel {
namespace {

// Closes a key when the scope ends, however it ends.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

class ScriptRun {
public:
    explicit ScriptRun(std::string* error) : m_error(error) {}

    HRESULT Register(HKEY parent, const std::vector<RegistrarEntry>& entries) {
        for (const RegistrarEntry& entry : entries) {
            HRESULT hr = S_OK;
            switch (entry.kind) {
            case RegistrarEntry::Kind::Delete:
                hr = RemoveTree(parent, entry.name);
                break;
            case RegistrarEntry::Kind::Value:
                hr = SetValue(parent, entry.name.c_str(), *entry.value, "the value " + entry.name);
                break;
            case RegistrarEntry::Kind::Key:
                hr = RegisterKey(parent, entry);
                break;
            }
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }

    HRESULT Unregister(HKEY parent, const std::vector<RegistrarEntry>& entries) {
        for (const RegistrarEntry& entry : entries) {
            HRESULT hr = S_OK;
            switch (entry.kind) {
            case RegistrarEntry::Kind::Delete:
                break; // Delete acts on registration only
            case RegistrarEntry::Kind::Value: {
                LSTATUS status = RegDeleteValueA(parent, entry.name.c_str());
                if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
                    hr = Failure(status, "cannot remove the value " + entry.name);
                break;
            }
            case RegistrarEntry::Kind::Key:
                hr = entry.noRemove ? UnregisterInside(parent, entry)
                                    : RemoveTree(parent, entry.name);
                break;
            }
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }

private:
    HRESULT Failure(LSTATUS status, const std::string& what) {
        if (m_error && m_error->empty())
            *m_error = RegistryFailure(what, status);
        return HRESULT_FROM_WIN32(status);
    }

    HRESULT RemoveTree(HKEY parent, const std::string& name) {
        LSTATUS status = RegDeleteTreeA(parent, name.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return Failure(status, "cannot remove the key " + name);
        return S_OK;
    }

    HRESULT SetValue(HKEY key, const char* valueName, const RegistrarValue& value,
                     const std::string& what) {
        LSTATUS status;
        if (value.type == REG_DWORD) {
            status =
                RegSetValueExA(key, valueName, 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&value.number), sizeof value.number);
        } else {
            status = RegSetValueExA(key, valueName, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.text.c_str()),
                                    static_cast<DWORD>(value.text.size() + 1));
        }
        if (status != ERROR_SUCCESS)
            return Failure(status, "cannot set " + what);
        return S_OK;
    }

    HRESULT RegisterKey(HKEY parent, const RegistrarEntry& entry) {
        if (entry.forceRemove) {
            if (HRESULT hr = RemoveTree(parent, entry.name); FAILED(hr))
                return hr;
        }
        OpenKey key;
        LSTATUS status =
            RegCreateKeyExA(parent, entry.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, key.Out(), nullptr);
        if (status != ERROR_SUCCESS)
            return Failure(status, "cannot create the key " + entry.name);
        if (entry.value) {
            if (HRESULT hr = SetValue(key.Get(), nullptr, *entry.value,
                                      "the default value of the key " + entry.name);
                FAILED(hr))
                return hr;
        }
        return Register(key.Get(), entry.children);
    }

    HRESULT UnregisterInside(HKEY parent, const RegistrarEntry& entry) {
        OpenKey key;
        LSTATUS status = RegOpenKeyExA(parent, entry.name.c_str(), 0, KEY_ALL_ACCESS, key.Out());
        if (status == ERROR_FILE_NOT_FOUND)
            return S_OK;
        if (status != ERROR_SUCCESS)
            return Failure(status, "cannot open the key " + entry.name);
        return Unregister(key.Get(), entry.children);
    }

    std::string* m_error;
};

template <class Action>
HRESULT RunScript(std::string_view text, const Replacements& replacements, std::string* error,
                  Action action) {
    if (error)
        error->clear();
    std::optional<RegistrarScript> script = ParseRegistrarScript(text, replacements, error);
    if (!script)
        return kScriptSyntaxError;
    ScriptRun run(error);
    for (const RegistrarRoot& root : script->roots) {
        if (HRESULT hr = action(run, root); FAILED(hr))
            return hr;
    }
    return S_OK;
}

} // namespace

HRESULT RegisterScript(std::string_view script, const Replacements& replacements,
                       std::string* error) {
    return RunScript(script, replacements, error, [](ScriptRun& run, const RegistrarRoot& root) {
        return run.Register(root.hive, root.entries);
    });
}

HRESULT UnregisterScript(std::string_view script, const Replacements& replacements,
                         std::string* error) {
    return RunScript(script, replacements, error, [](ScriptRun& run, const RegistrarRoot& root) {
        return run.Unregister(root.hive, root.entries);
    });
}

} // namespace scrivel
