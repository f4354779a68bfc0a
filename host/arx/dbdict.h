// Dictionaries: objects of the drawing stored under text keys.
//
// Keys compare without regard to letter case and keep the spelling they were stored with.
// A key must be a valid symbol name: not empty, at most 255 bytes, none of the characters
// < > / \ " : ; ? * | , = ` and no control characters (eInvalidKey).  A dictionary owns its
// entries: setAt makes a new object database-resident with the dictionary as its owner.
// Entries whose object is erased are hidden (not found, not counted, not iterated) until
// the object is un-erased.
#pragma once

#include "arx/dbobject.h"

class AcDbDictionaryIterator;

class AcDbDictionary : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDictionary);
    AcDbDictionary();
    ~AcDbDictionary() override;

    // Opens the entry's object: eKeyNotFound, eInvalidKey, or a status of acdbOpenObject.
    Acad::ErrorStatus getAt(const char* key, AcDbObject*& object, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getAt(const char* key, AcDbObjectId& id) const;
    bool has(const char* key) const;
    bool has(AcDbObjectId id) const;
    // The key of the entry holding the id, as a new string the caller frees with
    // acutDelString; eKeyNotFound when the id is not an entry.
    Acad::ErrorStatus nameAt(AcDbObjectId id, char*& name) const;
    Adesk::Int32 numEntries() const;

    // Stores the object under the key and answers its id.  The dictionary must be open for
    // write (eNotOpenForWrite).  An object not yet in a database is added to the
    // dictionary's (a new handle, the dictionary as owner) and is left open for write for the
    // caller to close; an object already in the database must have no owner, or be an entry
    // of this dictionary (it then moves to the new key), and be open for write.  An entry
    // already under the key is replaced and its object erased.  Errors: eInvalidKey,
    // eNullObjectPointer, eWrongDatabase, eAlreadyInDb (owned elsewhere), eWasErased,
    // eInvalidInput (the dictionary itself or one of its owners).
    Acad::ErrorStatus setAt(const char* key, AcDbObject* value, AcDbObjectId& id);
    // Removes an entry; its object is not erased and is left without owner.  The dictionary
    // must be open for write.  eKeyNotFound when there is no such entry.
    Acad::ErrorStatus remove(const char* key);
    Acad::ErrorStatus remove(const char* key, AcDbObjectId& removedId);
    Acad::ErrorStatus remove(AcDbObjectId id);
    // Renames an entry; false when the old key is absent, the new key invalid or taken by
    // another entry, or the dictionary not open for write.
    bool setName(const char* oldName, const char* newName);

    // A new iterator over the entries as they are now, by key (kDictSorted) or in the order
    // they were stored (kDictCollated).  The caller deletes it.
    AcDbDictionaryIterator* newIterator(AcRx::DictIterType type = AcRx::kDictSorted) const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // Host use.
    struct Impl;
    Impl* impl() const { return m_impl; }

protected:
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    Impl* m_impl;
};

// Walks the entries a dictionary had when the iterator was made, skipping those whose
// object has been erased since.
class AcDbDictionaryIterator {
public:
    virtual ~AcDbDictionaryIterator();
    virtual bool done() const = 0;
    // Steps to the next entry; false when there is none.
    virtual bool next() = 0;
    // The current entry's key (valid while the iterator stands on it), or nullptr when done.
    virtual const char* name() const = 0;
    virtual AcDbObjectId objectId() const = 0;
    virtual Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode) = 0;
    // Moves to the entry of the id; false when it is not one of the iterator's entries.
    virtual bool setPosition(AcDbObjectId id) = 0;
};
