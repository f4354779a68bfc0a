// What the module keeps for each open drawing: the MText box into which the next rebuild of the
// stored specifications places its text.
#pragma once

#include "arx/docman.h"
#include "arx/ge.h"

#include <map>

// The box of one document.  Both corners at the origin means "no box yet".
class CDocData {
public:
    AcGePoint3d m_UpperLeft;
    AcGePoint3d m_LowerRight;
};

// True when any of the six coordinates is not zero.
inline bool HasBox(const CDocData& data) {
    const AcGePoint3d& ul = data.m_UpperLeft;
    const AcGePoint3d& lr = data.m_LowerRight;
    return ul.x != 0.0 || ul.y != 0.0 || ul.z != 0.0 || lr.x != 0.0 || lr.y != 0.0 || lr.z != 0.0;
}

// One record of type T per open document, made on first use and dropped when the host is about
// to destroy the document (its address may then be reused for a new one).
//
// The manager listens to the host's document manager from its construction (module load) to its
// destruction (module unload), and does not touch a document manager that is gone by then.
template <class T> class AcApDataManager : public AcApDocManagerReactor {
public:
    AcApDataManager() { Attach(); }
    ~AcApDataManager() override {
        AcApDocManager* manager = acDocManager;
        if (manager && manager == m_Manager)
            manager->removeReactor(this);
    }
    AcApDataManager(const AcApDataManager&) = delete;
    AcApDataManager& operator=(const AcApDataManager&) = delete;

    // The record of the host's current document.
    T& docData() {
        AcApDocManager* manager = acDocManager;
        return docData(manager ? manager->curDocument() : nullptr);
    }
    // The record of the document, made with its initial values when it has none.  The
    // reference stays valid until the document's record is dropped.
    T& docData(AcApDocument* doc) {
        Attach();
        return m_DataMap.try_emplace(doc).first->second;
    }
    bool hasDocData(AcApDocument* doc) const { return m_DataMap.count(doc) != 0; }

    void documentToBeDestroyed(AcApDocument* doc) override { m_DataMap.erase(doc); }

private:
    // Follows the host's document manager: a new one (the host started after this code was
    // loaded, or started again) knows none of the documents of the old one.
    void Attach() {
        AcApDocManager* manager = acDocManager;
        if (manager == m_Manager)
            return;
        m_DataMap.clear();
        m_Manager = manager;
        if (manager)
            manager->addReactor(this);
    }

    std::map<AcApDocument*, T> m_DataMap;
    AcApDocManager* m_Manager = nullptr;
};

// The module's one manager: constructed when the module is loaded, removed when it is unloaded.
inline AcApDataManager<CDocData> g_DocDataManager;

inline CDocData& docData() {
    return g_DocDataManager.docData();
}
inline CDocData& docData(AcApDocument* doc) {
    return g_DocDataManager.docData(doc);
}
