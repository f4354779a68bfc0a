// The run-time class system and the system registry.
#include "arx/rxobject.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// ---- AcRxClass -------------------------------------------------------------------------------

struct AcRxClass::Impl {
    std::string name;
    std::string parentName;
    std::string dxfName;
    std::string appName;
    int dwgVersion = 0;
    int maintenanceVersion = 0;
    int proxyFlags = 0;
    AcRxPseudoConstructor construct = nullptr;
    AcRxClass* parent = nullptr;
};

AcRxClass::AcRxClass(Impl* impl) : m_impl(impl) {}
AcRxClass::~AcRxClass() {
    delete m_impl;
}

const char* AcRxClass::name() const {
    return m_impl->name.c_str();
}
const char* AcRxClass::dxfName() const {
    return m_impl->dxfName.empty() ? nullptr : m_impl->dxfName.c_str();
}
const char* AcRxClass::appName() const {
    return m_impl->appName.empty() ? nullptr : m_impl->appName.c_str();
}
AcRxClass* AcRxClass::myParent() const {
    return m_impl->parent;
}
int AcRxClass::proxyFlags() const {
    return m_impl->proxyFlags;
}
int AcRxClass::dwgVersion(int& maintenanceVersion) const {
    maintenanceVersion = m_impl->maintenanceVersion;
    return m_impl->dwgVersion;
}
bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
    for (const AcRxClass* c = this; c; c = c->m_impl->parent)
        if (c == other)
            return true;
    return false;
}
AcRxObject* AcRxClass::create() const {
    return m_impl->construct ? m_impl->construct() : nullptr;
}

// ---- AcRxObject ------------------------------------------------------------------------------

namespace {

AcRxClass* MakeCoreClass(const char* name, const char* parent) {
    return newAcRxClass(name, parent, 0, nullptr, nullptr, nullptr);
}

} // namespace

AcRxObject::~AcRxObject() = default;

AcRxClass* AcRxObject::desc() {
    static AcRxClass* cls = MakeCoreClass("AcRxObject", "");
    return cls;
}
AcRxClass* AcRxObject::isA() const {
    return AcRxObject::desc();
}
bool AcRxObject::isKindOf(const AcRxClass* cls) const {
    const AcRxClass* mine = isA();
    return mine && cls && mine->isDerivedFrom(cls);
}

AcRxClass* AcRxClass::desc() {
    static AcRxClass* cls = MakeCoreClass("AcRxClass", "AcRxObject");
    return cls;
}
AcRxClass* AcRxClass::isA() const {
    return AcRxClass::desc();
}

// ---- AcRxDictionary --------------------------------------------------------------------------

struct AcRxDictionary::Impl {
    std::map<std::string, AcRxObject*> entries;
};

AcRxDictionary::AcRxDictionary() : m_impl(new Impl) {}
AcRxDictionary::~AcRxDictionary() {
    delete m_impl;
}

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDictionary, AcRxObject)

AcRxObject* AcRxDictionary::at(const char* key) const {
    if (!key)
        return nullptr;
    auto it = m_impl->entries.find(key);
    return it == m_impl->entries.end() ? nullptr : it->second;
}

AcRxObject* AcRxDictionary::atPut(const char* key, AcRxObject* object) {
    if (!key)
        return nullptr;
    auto [it, inserted] = m_impl->entries.try_emplace(key, object);
    if (inserted)
        return nullptr;
    AcRxObject* previous = it->second;
    it->second = object;
    return previous;
}

AcRxObject* AcRxDictionary::remove(const char* key) {
    if (!key)
        return nullptr;
    auto it = m_impl->entries.find(key);
    if (it == m_impl->entries.end())
        return nullptr;
    AcRxObject* previous = it->second;
    m_impl->entries.erase(it);
    return previous;
}

bool AcRxDictionary::has(const char* key) const {
    return key && m_impl->entries.count(key);
}
std::uint32_t AcRxDictionary::numEntries() const {
    return static_cast<std::uint32_t>(m_impl->entries.size());
}

namespace {

// Walks a snapshot of the keys so that removing entries while iterating is safe.
class RxDictionaryIterator : public AcRxDictionaryIterator {
public:
    explicit RxDictionaryIterator(const std::map<std::string, AcRxObject*>& entries)
        : m_entries(entries.begin(), entries.end()) {}
    bool done() const override { return m_pos >= m_entries.size(); }
    bool next() override {
        if (m_pos < m_entries.size())
            ++m_pos;
        return !done();
    }
    const char* key() const override { return done() ? nullptr : m_entries[m_pos].first.c_str(); }
    AcRxObject* object() const override { return done() ? nullptr : m_entries[m_pos].second; }

private:
    std::vector<std::pair<std::string, AcRxObject*>> m_entries;
    std::size_t m_pos = 0;
};

} // namespace

AcRxDictionaryIterator::~AcRxDictionaryIterator() = default;

AcRxDictionaryIterator* AcRxDictionary::newIterator() const {
    return new RxDictionaryIterator(m_impl->entries);
}

// ---- The system registry and the class dictionary ---------------------------------------------

AcRxDictionary* acrxSysRegistry() {
    // Never destroyed: modules and host services may look things up during process exit.
    static AcRxDictionary* registry = new AcRxDictionary;
    return registry;
}

AcRxDictionary* acrxClassDictionary() {
    static AcRxDictionary* classes = [] {
        auto* dict = new AcRxDictionary;
        acrxSysRegistry()->atPut(ACRX_CLASS_DICTIONARY, dict);
        return dict;
    }();
    return classes;
}

AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int proxyFlags,
                        AcRxPseudoConstructor pseudoConstructor, const char* dxfName,
                        const char* appName) {
    return newAcRxClass(className, parentClassName, 0, 0, proxyFlags, pseudoConstructor, dxfName,
                        appName);
}

AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags,
                        AcRxPseudoConstructor pseudoConstructor, const char* dxfName,
                        const char* appName) {
    if (!className || !*className)
        return nullptr;
    AcRxDictionary* classes = acrxClassDictionary();
    if (auto* existing = static_cast<AcRxClass*>(classes->at(className)))
        return existing;
    auto* impl = new AcRxClass::Impl;
    impl->name = className;
    impl->parentName = parentClassName ? parentClassName : "";
    impl->dxfName = dxfName ? dxfName : "";
    impl->appName = appName ? appName : "";
    impl->dwgVersion = dwgVersion;
    impl->maintenanceVersion = maintenanceVersion;
    impl->proxyFlags = proxyFlags;
    impl->construct = pseudoConstructor;
    auto* cls = new AcRxClass(impl);
    classes->atPut(className, cls);
    // Link at once when the parent is known, so host classes work before the first build.
    if (!impl->parentName.empty())
        impl->parent = static_cast<AcRxClass*>(classes->at(impl->parentName.c_str()));
    return cls;
}

void deleteAcRxClass(AcRxClass* cls) {
    if (!cls)
        return;
    AcRxDictionary* classes = acrxClassDictionary();
    if (classes->at(cls->name()) == cls)
        classes->remove(cls->name());
    // Children keep no dangling parent pointer.
    AcRxDictionaryIterator* it = classes->newIterator();
    for (; !it->done(); it->next()) {
        auto* other = static_cast<AcRxClass*>(it->object());
        if (other->impl()->parent == cls)
            other->impl()->parent = nullptr;
    }
    delete it;
    delete cls;
}

void acrxBuildClassHierarchy() {
    AcRxDictionary* classes = acrxClassDictionary();
    AcRxDictionaryIterator* it = classes->newIterator();
    for (; !it->done(); it->next()) {
        auto* cls = static_cast<AcRxClass*>(it->object());
        const std::string& parent = cls->impl()->parentName;
        cls->impl()->parent =
            parent.empty() ? nullptr : static_cast<AcRxClass*>(classes->at(parent.c_str()));
    }
    delete it;
}

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject)

AcRxDynamicLinker* acrxDynamicLinkerPtr() {
    return AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER));
}

void acrx_abort(const char* format, ...) {
    std::fflush(stdout);
    std::fputs("\ncadhost: internal error: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputs("\ncadhost: stopping.\n", stderr);
    std::fflush(stderr);
    std::abort();
}
