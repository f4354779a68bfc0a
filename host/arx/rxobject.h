// The run-time class system and the system registry.
//
// Every host object derives from AcRxObject and answers isA() with its AcRxClass.  Classes
// live in the system registry's "ClassDictionary" under their names; a module adds its own
// classes with newAcRxClass and has the host link parents with acrxBuildClassHierarchy.
#pragma once

#include <cstdint>

class AcRxClass;
class AcRxDictionaryIterator;

namespace AcRx {

enum AppMsgCode {
    kNullMsg = -1,
    kInitAppMsg = 0,
    kUnloadAppMsg = 1,
    kLoadDwgMsg = 2,
    kUnloadDwgMsg = 3,
    kInvkSubrMsg = 4,
    kCfgMsg = 5,
    kEndMsg = 6,
    kQuitMsg = 7,
    kSaveMsg = 8,
    kDependencyMsg = 9,
    kNoDependencyMsg = 10,
    kOleUnloadAppMsg = 11,
    kPreQuitMsg = 12,
    kInitDialogMsg = 13,
    kEndDialogMsg = 14,
    kSuspendMsg = 15,
};

enum AppRetCode {
    kRetOK = 0,
    kRetError = 3,
};

// Order in which a dictionary iterator visits entries.
enum DictIterType {
    kDictSorted = 0,   // by key, comparing keys without regard to letter case
    kDictCollated = 1, // in order of insertion
};

using FunctionPtr = void (*)();

} // namespace AcRx

class AcRxObject {
public:
    virtual ~AcRxObject();

    static AcRxClass* desc();
    static AcRxObject* cast(const AcRxObject* object) { return const_cast<AcRxObject*>(object); }
    virtual AcRxClass* isA() const;

    bool isKindOf(const AcRxClass* cls) const;
};

// Declares the run-time class members of a class derived from AcRxObject.
#define ACRX_DECLARE_MEMBERS(CLASS_NAME)                                                           \
    static AcRxClass* desc();                                                                      \
    static CLASS_NAME* cast(const AcRxObject* object) {                                            \
        return (object && object->isKindOf(CLASS_NAME::desc()))                                    \
                   ? static_cast<CLASS_NAME*>(const_cast<AcRxObject*>(object))                     \
                   : nullptr;                                                                      \
    }                                                                                              \
    AcRxClass* isA() const override

using AcRxPseudoConstructor = AcRxObject* (*)();

// Defines desc() and isA() of a class declared with ACRX_DECLARE_MEMBERS.  The class is entered
// in "ClassDictionary" on the first call of desc(), after its parent.
#define ACRX_NO_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS)                                      \
    AcRxClass* CLASS_NAME::desc() {                                                                \
        static AcRxClass* cls = (PARENT_CLASS::desc(), newAcRxClass(#CLASS_NAME, #PARENT_CLASS));  \
        return cls;                                                                                \
    }                                                                                              \
    AcRxClass* CLASS_NAME::isA() const {                                                           \
        return CLASS_NAME::desc();                                                                 \
    }

// The same for a class that files itself: with its DXF name, application name and a
// pseudo-constructor that makes an empty instance.
#define ACRX_DXF_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DXF_NAME, APP_NAME)                      \
    AcRxClass* CLASS_NAME::desc() {                                                                \
        static AcRxClass* cls =                                                                    \
            (PARENT_CLASS::desc(),                                                                 \
             newAcRxClass(                                                                         \
                 #CLASS_NAME, #PARENT_CLASS, 0, []() -> AcRxObject* { return new CLASS_NAME; },    \
                 DXF_NAME, APP_NAME));                                                             \
        return cls;                                                                                \
    }                                                                                              \
    AcRxClass* CLASS_NAME::isA() const {                                                           \
        return CLASS_NAME::desc();                                                                 \
    }

class AcRxClass : public AcRxObject {
public:
    AcRxClass* isA() const override;
    static AcRxClass* desc();

    const char* name() const;
    const char* dxfName() const;
    const char* appName() const;
    AcRxClass* myParent() const;
    int proxyFlags() const;
    int dwgVersion(int& maintenanceVersion) const;
    bool isDerivedFrom(const AcRxClass* other) const;
    // A new instance made by the class's pseudo-constructor, or nullptr when it has none.
    AcRxObject* create() const;

    // Host use: classes are made by newAcRxClass and the host's own registration.
    struct Impl;
    explicit AcRxClass(Impl* impl);
    ~AcRxClass() override;
    Impl* impl() const { return m_impl; }

private:
    Impl* m_impl;
};

// Creates a class and enters it in "ClassDictionary" under its name.  When a class of that
// name exists already, the existing one is returned unchanged.  The parent is linked by
// acrxBuildClassHierarchy.
AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int proxyFlags = 0,
                        AcRxPseudoConstructor pseudoConstructor = nullptr,
                        const char* dxfName = nullptr, const char* appName = nullptr);
AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags,
                        AcRxPseudoConstructor pseudoConstructor, const char* dxfName,
                        const char* appName);
// Removes a class from "ClassDictionary" and frees it.  Instances must be gone by then.
void deleteAcRxClass(AcRxClass* cls);
// Links every class to its parent by the parent's name.
void acrxBuildClassHierarchy();

// A dictionary of named objects.  The system registry is one; "ClassDictionary" is another.
class AcRxDictionary : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxDictionary);

    AcRxDictionary();
    ~AcRxDictionary() override;
    AcRxDictionary(const AcRxDictionary&) = delete;
    AcRxDictionary& operator=(const AcRxDictionary&) = delete;

    // nullptr when absent.  Keys compare with letter case.
    AcRxObject* at(const char* key) const;
    // Stores the object under the key and returns the object it replaced (not deleted), or
    // nullptr.  The dictionary does not own its objects.
    AcRxObject* atPut(const char* key, AcRxObject* object);
    // Removes the entry and returns its object (not deleted), or nullptr.
    AcRxObject* remove(const char* key);
    bool has(const char* key) const;
    std::uint32_t numEntries() const;
    // Iterates in key order.  The caller deletes the iterator.
    AcRxDictionaryIterator* newIterator() const;

    struct Impl;

private:
    Impl* m_impl;
};

class AcRxDictionaryIterator {
public:
    virtual ~AcRxDictionaryIterator();
    virtual bool done() const = 0;
    virtual bool next() = 0;
    virtual const char* key() const = 0;
    virtual AcRxObject* object() const = 0;
};

// The host's system registry: "ClassDictionary", "DynamicLinker", "ACAD_REGISTERED_COMMANDS",
// "AcEditor" and the host's other services, each an AcRxObject found by name.
AcRxDictionary* acrxSysRegistry();
AcRxDictionary* acrxClassDictionary();

// Service names in the system registry.
#define ACRX_CLASS_DICTIONARY "ClassDictionary"
#define ACRX_DYNAMIC_LINKER "DynamicLinker"
#define ACRX_COMMAND_DOCK "ACAD_REGISTERED_COMMANDS"
#define ACED_EDITOR_OBJ "AcEditor"

// The module loader.  The "application id" a module passes is the packet it received with
// kInitAppMsg.
class AcRxDynamicLinker : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxDynamicLinker);

    // Allows the module to be unloaded (modules are locked, unloadable only when unlocked).
    virtual bool unlockApplication(void* appId) const = 0;
    virtual bool lockApplication(void* appId) const = 0;
    virtual bool isApplicationLocked(const char* moduleName) const = 0;
    // Declares that the module works with several open drawings.
    virtual bool registerAppMDIAware(void* appId) const = 0;
    virtual bool registerAppNotMDIAware(void* appId) const = 0;
    virtual bool loadModule(const char* fileName, bool printIt, bool asCommand = false) = 0;
    virtual bool unloadModule(const char* fileName, bool asCommand = false) = 0;
};

// The dynamic linker as found in the system registry (nullptr if absent).
AcRxDynamicLinker* acrxDynamicLinkerPtr();
#define acrxDynamicLinker acrxDynamicLinkerPtr()

// Ends the host process after printing the message: the response to an internal error that
// leaves the host in an unknown state.
[[noreturn]] void acrx_abort(const char* format, ...) __attribute__((format(printf, 1, 2)));
