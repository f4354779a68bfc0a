#include "editor/documents.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbid.h"
#include "arx/dbservices.h"
#include "db/edits.h"

#include <algorithm>
#include <new>

ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocument, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManagerReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManager, AcRxObject)

AcApDocumentIterator::~AcApDocumentIterator() = default;

void AcApDocManagerReactor::documentCreateStarted(AcApDocument*) {}
void AcApDocManagerReactor::documentCreated(AcApDocument*) {}
void AcApDocManagerReactor::documentToBeDestroyed(AcApDocument*) {}
void AcApDocManagerReactor::documentDestroyed(const char*) {}
void AcApDocManagerReactor::documentLockModeChanged(AcApDocument*, AcAp::DocLockMode,
                                                    AcAp::DocLockMode, AcAp::DocLockMode,
                                                    const char*) {}
void AcApDocManagerReactor::documentBecameCurrent(AcApDocument*) {}
void AcApDocManagerReactor::documentToBeActivated(AcApDocument*) {}
void AcApDocManagerReactor::documentActivated(AcApDocument*) {}

namespace cadhost::editor {

namespace {

DocManager* g_manager = nullptr;
bool g_shutDown = false; // the manager was destroyed at process exit

constexpr int kWriteModes =
    AcAp::kAutoWrite | AcAp::kWrite | AcAp::kProtectedAutoWrite | AcAp::kXWrite;

std::string TitleOf(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

// ---- Document ----------------------------------------------------------------------------------

Document::Document(std::string fileName, AcDbDatabase* db)
    : m_fileName(std::move(fileName)), m_title(TitleOf(m_fileName)), m_db(db),
      m_pickfirst(std::make_unique<std::vector<AcDbObjectId>>()) {
    markSaved();
}

Document::~Document() {
    delete m_db;
}

AcAp::DocLockMode Document::lockMode(bool) const {
    if (m_locks.empty())
        return AcAp::kNotLocked;
    int mode = 0;
    for (AcAp::DocLockMode m : m_locks)
        mode |= m;
    return static_cast<AcAp::DocLockMode>(mode);
}

AcAp::DocLockMode Document::myLockMode() const {
    return lockMode();
}

void Document::setFileName(const std::string& windowsPath) {
    m_fileName = windowsPath;
    m_title = TitleOf(windowsPath);
}

bool Document::hasUnsavedChanges() const {
    return m_db && db::EditCount(*m_db) != m_savedEdits;
}

void Document::markSaved() {
    m_savedEdits = m_db ? db::EditCount(*m_db) : 0;
}

std::vector<AcDbObjectId>& Document::pickfirst() {
    return *m_pickfirst;
}

bool Document::popLock() {
    if (m_locks.empty())
        return false;
    m_locks.pop_back();
    return true;
}

bool Document::hasWriteLock() const {
    return std::any_of(m_locks.begin(), m_locks.end(),
                       [](AcAp::DocLockMode m) { return (m & kWriteModes) != 0; });
}

// ---- DocManager --------------------------------------------------------------------------------

struct DocManager::Slot {
    alignas(Document) unsigned char storage[sizeof(Document)];
    bool used = false;
    Document* doc() { return std::launder(reinterpret_cast<Document*>(storage)); }
};

DocManager::DocManager() {
    g_manager = this;
}

DocManager::~DocManager() {
    closeAll();
    g_manager = nullptr;
    g_shutDown = true;
}

DocManager& Docs() {
    static DocManager manager;
    return manager;
}

template <class F> void DocManager::notify(F&& f) {
    // A reactor may remove itself (or others) while being told; tell only those still there.
    std::vector<AcApDocManagerReactor*> reactors = m_reactors;
    for (AcApDocManagerReactor* r : reactors)
        if (std::find(m_reactors.begin(), m_reactors.end(), r) != m_reactors.end())
            f(r);
}

Document* DocManager::find(const AcApDocument* doc) const {
    auto it = std::find(m_docs.begin(), m_docs.end(), doc);
    return it == m_docs.end() ? nullptr : *it;
}

AcApDocument* DocManager::document(const AcDbDatabase* db) const {
    if (!db)
        return nullptr;
    for (Document* d : m_docs)
        if (d->database() == db)
            return d;
    return nullptr;
}

namespace {
class DocIterator : public AcApDocumentIterator {
public:
    explicit DocIterator(std::vector<Document*> docs) : m_docs(std::move(docs)) {}
    bool done() const override { return m_pos >= m_docs.size(); }
    void step() override { ++m_pos; }
    AcApDocument* document() const override { return done() ? nullptr : m_docs[m_pos]; }

private:
    std::vector<Document*> m_docs;
    std::size_t m_pos = 0;
};
} // namespace

AcApDocumentIterator* DocManager::newAcApDocumentIterator() {
    return new DocIterator(m_docs);
}

Acad::ErrorStatus DocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                           const char* globalCmdName, const char*, bool) {
    Document* d = find(doc);
    if (!d)
        return Acad::eNoDocument;
    if (mode == AcAp::kNone || mode == AcAp::kNotLocked)
        return Acad::eInvalidInput;
    // An exclusive lock excludes every other lock, and is excluded by any.
    AcAp::DocLockMode held = d->lockMode();
    if (mode == AcAp::kXWrite && held != AcAp::kNotLocked)
        return Acad::eLockConflict;
    if (held != AcAp::kNotLocked && (held & AcAp::kXWrite))
        return Acad::eLockConflict;
    AcAp::DocLockMode before = held;
    d->pushLock(mode);
    notify([&](AcApDocManagerReactor* r) {
        r->documentLockModeChanged(d, before, d->lockMode(), d->lockMode(), globalCmdName);
    });
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::unlockDocument(AcApDocument* doc) {
    Document* d = find(doc);
    if (!d)
        return Acad::eNoDocument;
    AcAp::DocLockMode before = d->lockMode();
    if (!d->popLock())
        return Acad::eLockViolation;
    notify([&](AcApDocManagerReactor* r) {
        r->documentLockModeChanged(d, before, d->lockMode(), d->lockMode(), "");
    });
    return Acad::eOk;
}

void DocManager::makeCurrent(Document* doc) {
    if (m_current == doc)
        return;
    m_current = doc;
    acdbHostApplicationServices()->setWorkingDatabase(doc ? doc->database() : nullptr);
    if (doc)
        notify([&](AcApDocManagerReactor* r) { r->documentBecameCurrent(doc); });
}

Acad::ErrorStatus DocManager::setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                             bool activate) {
    Document* d = find(doc);
    if (!d)
        return Acad::eNoDocument;
    makeCurrent(d);
    if (mode != AcAp::kNone) {
        Acad::ErrorStatus es = lockDocument(d, mode, nullptr, nullptr, true);
        if (es != Acad::eOk)
            return es;
    }
    if (activate)
        return activateDocument(d, false);
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::activateDocument(AcApDocument* doc, bool) {
    Document* d = find(doc);
    if (!d)
        return Acad::eNoDocument;
    if (m_active != d) {
        notify([&](AcApDocManagerReactor* r) { r->documentToBeActivated(d); });
        m_active = d;
        notify([&](AcApDocManagerReactor* r) { r->documentActivated(d); });
    }
    makeCurrent(d);
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::sendStringToExecute(AcApDocument* doc, const char* text,
                                                  bool activate, bool, bool echoString) {
    Document* d = find(doc);
    if (!d)
        return Acad::eNoDocument;
    if (!text)
        return Acad::eInvalidInput;
    for (InputItem& item : SplitTypedText(text, echoString))
        d->queue().push_back(std::move(item));
    if (activate)
        activateDocument(d, false);
    return Acad::eOk;
}

void DocManager::addReactor(AcApDocManagerReactor* reactor) {
    if (reactor && std::find(m_reactors.begin(), m_reactors.end(), reactor) == m_reactors.end())
        m_reactors.push_back(reactor);
}

void DocManager::removeReactor(AcApDocManagerReactor* reactor) {
    m_reactors.erase(std::remove(m_reactors.begin(), m_reactors.end(), reactor), m_reactors.end());
}

Document* DocManager::create(AcDbDatabase* db, const std::string& fileName) {
    if (!db)
        db = new AcDbDatabase(true, false);
    std::string name =
        fileName.empty() ? "Drawing" + std::to_string(m_nextNumber++) + ".dwg" : fileName;
    Slot* slot = nullptr;
    for (auto& s : m_slots)
        if (!s->used) {
            slot = s.get();
            break;
        }
    if (!slot) {
        m_slots.push_back(std::make_unique<Slot>());
        slot = m_slots.back().get();
    }
    Document* doc = new (slot->storage) Document(name, db);
    slot->used = true;
    notify([&](AcApDocManagerReactor* r) { r->documentCreateStarted(doc); });
    m_docs.push_back(doc);
    notify([&](AcApDocManagerReactor* r) { r->documentCreated(doc); });
    activateDocument(doc, false);
    return doc;
}

void DocManager::close(Document* doc) {
    if (!find(doc))
        return;
    notify([&](AcApDocManagerReactor* r) { r->documentToBeDestroyed(doc); });
    std::string name = doc->fileName();
    m_docs.erase(std::find(m_docs.begin(), m_docs.end(), doc));
    if (m_active == doc)
        m_active = nullptr;
    if (m_current == doc)
        makeCurrent(nullptr);
    for (auto& s : m_slots)
        if (s->used && s->doc() == doc) {
            doc->~Document();
            s->used = false;
        }
    notify([&](AcApDocManagerReactor* r) { r->documentDestroyed(name.c_str()); });
    if (!m_active && !m_docs.empty())
        activateDocument(m_docs.back(), false);
}

void DocManager::closeAll() {
    while (!m_docs.empty())
        close(m_docs.back());
}

bool DocManager::writeAllowed(const AcDbDatabase* db) const {
    for (Document* d : m_docs)
        if (d->database() == db)
            return d->hasWriteLock();
    return true;
}

} // namespace cadhost::editor

AcApDocManager* acDocManagerPtr() {
    if (cadhost::editor::g_shutDown)
        return nullptr;
    cadhost::editor::Docs();
    return cadhost::editor::g_manager;
}
