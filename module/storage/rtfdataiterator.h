// A walk over the entries of a drawing's spec dictionary, in key order.
#pragma once

#include "arx/errorstatus.h"

#include <string>

class AcDbDatabase;
class AcDbDictionary;
class AcDbDictionaryIterator;

// Keeps the dictionary open for read from construction to destruction, so it lives on the
// stack for one walk.
class CKSRrtfDataIterator {
public:
    explicit CKSRrtfDataIterator(AcDbDatabase* database);
    virtual ~CKSRrtfDataIterator();

    CKSRrtfDataIterator(const CKSRrtfDataIterator&) = delete;
    CKSRrtfDataIterator& operator=(const CKSRrtfDataIterator&) = delete;

    // The first call stands on the first entry; false past the last one, or when there is
    // no dictionary to walk.
    virtual bool Next();
    // The current entry's key and, when asked for, its text.  On failure (the entry's
    // object will not open) the status, with nothing changed.
    virtual Acad::ErrorStatus Current(std::string& name, std::string* text = nullptr);

    AcDbDatabase* database() const { return m_Database; }

private:
    bool m_Started = false;
    AcDbDatabase* m_Database;
    AcDbDictionary* m_Dictionary = nullptr;
    AcDbDictionaryIterator* m_Iterator = nullptr;
};
