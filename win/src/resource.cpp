#include "win/resource.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace win {

const ResourceScript& FrameworkResources(); // framework_resources.cpp

namespace {

struct Entry {
    HINSTANCE module;
    const ResourceScript* script;
};

std::mutex g_resourceMutex;

std::vector<Entry>& Chain() {
    static auto* chain = new std::vector<Entry>; // lives for the whole process
    return *chain;
}

// The scripts to search, best first: the module's own, then every other, then the framework's.
std::vector<const ResourceScript*> SearchOrder(HINSTANCE module) {
    std::lock_guard lock(g_resourceMutex);
    std::vector<const ResourceScript*> order;
    if (module)
        for (const Entry& e : Chain())
            if (e.module == module)
                order.push_back(e.script);
    for (const Entry& e : Chain())
        if (!module || e.module != module)
            order.push_back(e.script);
    order.push_back(&FrameworkResources());
    return order;
}

template <class T, class F> const T* Find(HINSTANCE module, UINT id, F member) {
    for (const ResourceScript* script : SearchOrder(module))
        for (const T& item : script->*member)
            if (item.id == id)
                return &item;
    return nullptr;
}

std::string ReplaceArgument(std::string text, const char* marker, const std::string& value) {
    std::size_t at = text.find(marker);
    if (at != std::string::npos)
        text.replace(at, std::strlen(marker), value);
    return text;
}

} // namespace

void AddResourceScript(HINSTANCE module, const ResourceScript* script) {
    if (!script)
        return;
    std::lock_guard lock(g_resourceMutex);
    Chain().push_back({module, script});
}

void RemoveResourceScript(const ResourceScript* script) {
    std::lock_guard lock(g_resourceMutex);
    auto& chain = Chain();
    chain.erase(std::remove_if(chain.begin(), chain.end(),
                               [script](const Entry& e) { return e.script == script; }),
                chain.end());
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id) {
    return Find<DialogTemplate>(module, id, &ResourceScript::dialogs);
}

const IconResource* FindIconResource(HINSTANCE module, UINT id) {
    return Find<IconResource>(module, id, &ResourceScript::icons);
}

const StringResource* FindStringResource(HINSTANCE module, UINT id) {
    return Find<StringResource>(module, id, &ResourceScript::strings);
}

} // namespace win

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int nBufferMax) {
    const win::StringResource* s = win::FindStringResource(hInstance, uID);
    if (!s || !lpBuffer || nBufferMax <= 0)
        return 0;
    std::size_t n = std::min(s->text.size(), static_cast<std::size_t>(nBufferMax - 1));
    std::memcpy(lpBuffer, s->text.data(), n);
    lpBuffer[n] = '\0';
    return static_cast<int>(n);
}

std::string AfxLoadString(UINT nID) {
    const win::StringResource* s = win::FindStringResource(nullptr, nID);
    return s ? s->text : std::string();
}

std::string AfxFormatString1(UINT nIDS, const std::string& arg1) {
    return win::ReplaceArgument(AfxLoadString(nIDS), "%1", arg1);
}

std::string AfxFormatString2(UINT nIDS, const std::string& arg1, const std::string& arg2) {
    return win::ReplaceArgument(win::ReplaceArgument(AfxLoadString(nIDS), "%1", arg1), "%2", arg2);
}
