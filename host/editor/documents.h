// The host's documents and their manager.
#pragma once

#include "arx/docman.h"
#include "editor/input.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class AcDbDatabase;
class AcDbObjectId;

namespace cadhost::editor {

class Document final : public AcApDocument {
public:
    Document(std::string fileName, AcDbDatabase* db); // takes the database
    ~Document() override;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const char* fileName() const override { return m_fileName.c_str(); }
    const char* docTitle() const override { return m_title.c_str(); }
    AcDbDatabase* database() const override { return m_db; }
    AcAp::DocLockMode lockMode(bool includeMyLocks = false) const override;
    AcAp::DocLockMode myLockMode() const override;
    bool isQuiescent() const override { return m_commandDepth == 0; }

    void setFileName(const std::string& windowsPath);
    // Whether the drawing has changed since it was read, made or last saved (db/edits.h).
    bool hasUnsavedChanges() const;
    // The drawing as it is now is what its file holds.
    void markSaved();
    // Input sent to this document's command line, read before the script.
    std::deque<InputItem>& queue() { return m_queue; }
    // The pickfirst selection, as handles (ids are only valid with the database).
    std::vector<AcDbObjectId>& pickfirst();

    void pushLock(AcAp::DocLockMode mode) { m_locks.push_back(mode); }
    bool popLock();
    bool hasWriteLock() const;
    int& commandDepth() { return m_commandDepth; }

private:
    std::string m_fileName;
    std::string m_title;
    AcDbDatabase* m_db;
    std::vector<AcAp::DocLockMode> m_locks;
    std::deque<InputItem> m_queue;
    std::unique_ptr<std::vector<AcDbObjectId>> m_pickfirst;
    int m_commandDepth = 0;
    std::uint64_t m_savedEdits = 0;
};

class DocManager final : public AcApDocManager {
public:
    DocManager();
    ~DocManager() override;

    AcApDocument* curDocument() const override { return m_current; }
    AcApDocument* mdiActiveDocument() const override { return m_active; }
    AcApDocument* document(const AcDbDatabase* db) const override;
    int documentCount() const override { return static_cast<int>(m_docs.size()); }
    AcApDocumentIterator* newAcApDocumentIterator() override;
    Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                   const char* globalCmdName, const char* localCmdName,
                                   bool prompt) override;
    Acad::ErrorStatus unlockDocument(AcApDocument* doc) override;
    Acad::ErrorStatus setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                     bool activate) override;
    Acad::ErrorStatus activateDocument(AcApDocument* doc, bool passScript) override;
    Acad::ErrorStatus sendStringToExecute(AcApDocument* doc, const char* text, bool activate,
                                          bool wrapUpInactiveDoc, bool echoString) override;
    void addReactor(AcApDocManagerReactor* reactor) override;
    void removeReactor(AcApDocManagerReactor* reactor) override;

    // ---- host side ----
    // A new document with a new drawing ("Drawing<n>.dwg"), made current and active.  A
    // closed document's storage is used again, as the real host's allocator may do, so
    // reactors must not take a document address for its identity across a close.
    Document* create(AcDbDatabase* db = nullptr, const std::string& fileName = {});
    // Notifies reactors, then destroys the document and its drawing.
    void close(Document* doc);
    void closeAll();
    // A new session numbers its drawings from Drawing1 again.
    void resetNumbering() { m_nextNumber = 1; }
    Document* current() const { return m_current; }
    Document* active() const { return m_active; }
    const std::vector<Document*>& documents() const { return m_docs; }
    Document* find(const AcApDocument* doc) const;
    // Whether an object of this database may be opened for write now: a database of no
    // document always; a document's only while a write lock is held on it.
    bool writeAllowed(const AcDbDatabase* db) const;

private:
    template <class F> void notify(F&& f);
    void makeCurrent(Document* doc);

    struct Slot;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::vector<Document*> m_docs;
    Document* m_current = nullptr;
    Document* m_active = nullptr;
    std::vector<AcApDocManagerReactor*> m_reactors;
    int m_nextNumber = 1;
};

// The process's document manager (made on first use).
DocManager& Docs();

} // namespace cadhost::editor
