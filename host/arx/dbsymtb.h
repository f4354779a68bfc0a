// Symbol tables: the named records of a drawing (blocks, layers, text styles, registered
// applications).
//
// Names compare without regard to letter case and keep their spelling.  A name must be a
// valid symbol name: not empty, at most 255 bytes, none of < > / \ " : ; ? * | , = ` and no
// control characters; block names may begin with "*" (the host's own blocks, anonymous
// blocks).  A table owns its records.  The records the database itself relies on cannot be
// erased (model and paper space, layer "0", the current text style), and the first three
// cannot be renamed.
#pragma once

#include "arx/dbobject.h"

#include <string>

#define ACDB_MODEL_SPACE "*Model_Space"
#define ACDB_PAPER_SPACE "*Paper_Space"

class AcDbEntity;
class AcDbSymbolTableIterator;
class AcDbBlockTableIterator;
class AcDbLayerTableIterator;
class AcDbTextStyleTableIterator;
class AcDbRegAppTableIterator;
class AcDbBlockTableRecordIterator;

// ---- Records ---------------------------------------------------------------------------------

class AcDbSymbolTableRecord : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
    ~AcDbSymbolTableRecord() override;

    // A new string the caller frees with acutDelString.
    Acad::ErrorStatus getName(char*& name) const;
    // The record's own text, valid while the record is open and unchanged.
    Acad::ErrorStatus getName(const char*& name) const;
    // eInvalidSymbolTableName; in a table also eDuplicateRecordName (another record has the
    // name) and eIllegalReplacement (a record whose name the database relies on).
    Acad::ErrorStatus setName(const char* name);
    bool isDependent() const { return false; }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // Host use: the name without the open check.
    const std::string& nameText() const { return m_name; }

protected:
    AcDbSymbolTableRecord();
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    friend struct cadhost::db::ObjectAccess;
    std::string m_name;
};

class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
    AcDbBlockTableRecord();
    ~AcDbBlockTableRecord() override;

    // Adds the entity to the drawing and to this block, after its other entities; the entity
    // is left open for write for the caller to close.  The record must be open for write
    // (eNotOpenForWrite) and in a database (eNotInDatabase); eNullEntityPointer; eAlreadyInDb
    // for an entity already added to a database; eWasErased for an erased block.
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity);
    // A new iterator over the entities in the order they were appended; the caller deletes it.
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    bool hasEntities() const;
    bool isLayout() const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // Host use.
    struct Impl;
    Impl* impl() const { return m_impl; }

private:
    Impl* m_impl;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
    AcDbLayerTableRecord();
    ~AcDbLayerTableRecord() override;

    // The layer's colour index, 1-255 (7 by default); a negative value in files marks it off.
    Adesk::Int16 colorIndex() const;
    Acad::ErrorStatus setColorIndex(Adesk::Int16 color);
    bool isOff() const;
    void setIsOff(bool off);
    bool isFrozen() const;
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isLocked() const;
    void setIsLocked(bool locked);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    friend struct cadhost::db::DxfFields<AcDbLayerTableRecord>;
    Adesk::Int16 m_color = 7;
    bool m_off = false;
    bool m_frozen = false;
    bool m_locked = false;
};

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTableRecord);
    AcDbTextStyleTableRecord();
    ~AcDbTextStyleTableRecord() override;

    // The fixed text height of the style, 0 when texts choose their own.
    double textSize() const;
    Acad::ErrorStatus setTextSize(double size);
    // Width factor of the characters.
    double xScale() const;
    Acad::ErrorStatus setXScale(double factor);
    // The font file ("arial.ttf"); the text is the record's own, valid while it is open.
    Acad::ErrorStatus fileName(const char*& name) const;
    Acad::ErrorStatus setFileName(const char* name);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    friend struct cadhost::db::DxfFields<AcDbTextStyleTableRecord>;
    double m_textSize = 0.0;
    double m_xScale = 1.0;
    std::string m_fileName = "arial.ttf";
};

class AcDbRegAppTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbRegAppTableRecord);
    AcDbRegAppTableRecord();
    ~AcDbRegAppTableRecord() override;

    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
};

// ---- Tables ----------------------------------------------------------------------------------

class AcDbSymbolTable : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
    ~AcDbSymbolTable() override;

    // The record of the name; an erased record only with getErased.  eKeyNotFound.
    Acad::ErrorStatus getAt(const char* name, AcDbObjectId& id, bool getErased = false) const;
    Acad::ErrorStatus getAt(const char* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                            bool openErasedRecord = false) const;
    bool has(const char* name) const;
    bool has(AcDbObjectId id) const;
    // Adds a record that is not yet in a database; it is left open for write for the caller
    // to close.  The table must be open for write (eNotOpenForWrite).  Errors:
    // eNullObjectPointer, eAlreadyInDb, eWrongObjectType (a record of another table),
    // eInvalidSymbolTableName, eDuplicateRecordName.
    Acad::ErrorStatus add(AcDbSymbolTableRecord* record);
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
    // A new iterator over the records in the order they were added; the caller deletes it.
    Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // Host use.
    struct Impl;
    Impl* impl() const { return m_impl; }
    // The class of the records this table holds.
    virtual AcRxClass* recordClass() const = 0;

protected:
    AcDbSymbolTable();
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    Impl* m_impl;
};

// Each table adds lookups and iterators typed for its records.
#define CADHOST_DECLARE_SYMBOL_TABLE(TABLE, RECORD, ITERATOR)                                      \
    class TABLE : public AcDbSymbolTable {                                                         \
    public:                                                                                        \
        ACRX_DECLARE_MEMBERS(TABLE);                                                               \
        TABLE();                                                                                   \
        ~TABLE() override;                                                                         \
        using AcDbSymbolTable::add;                                                                \
        using AcDbSymbolTable::getAt;                                                              \
        using AcDbSymbolTable::newIterator;                                                        \
        Acad::ErrorStatus getAt(const char* name, RECORD*& record, AcDb::OpenMode mode,            \
                                bool openErasedRecord = false) const;                              \
        Acad::ErrorStatus add(RECORD* record);                                                     \
        Acad::ErrorStatus add(AcDbObjectId& id, RECORD* record);                                   \
        Acad::ErrorStatus newIterator(ITERATOR*& iterator, bool atBeginning = true,                \
                                      bool skipDeleted = true) const;                              \
        AcRxClass* recordClass() const override;                                                   \
    }

CADHOST_DECLARE_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator);
CADHOST_DECLARE_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator);
CADHOST_DECLARE_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord,
                             AcDbTextStyleTableIterator);
CADHOST_DECLARE_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator);

#undef CADHOST_DECLARE_SYMBOL_TABLE

// ---- Iterators -------------------------------------------------------------------------------

// Walks a table's records in the order they were added.  Records added while the iterator
// exists are visited when it reaches them; erased records are skipped unless asked for.
class AcDbSymbolTableIterator {
public:
    virtual ~AcDbSymbolTableIterator();
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                bool openErasedRecord = false) const;
    // Moves to the record of the id; eKeyNotFound when it is not one of the table's.
    Acad::ErrorStatus seek(AcDbObjectId id);

    // Host use: made by AcDbSymbolTable::newIterator.
    explicit AcDbSymbolTableIterator(const AcDbSymbolTable* table);

private:
    void skipErased(bool forward);
    const AcDbSymbolTable* m_table;
    long m_pos = 0;
};

#define CADHOST_DECLARE_SYMBOL_TABLE_ITERATOR(ITERATOR, RECORD)                                    \
    class ITERATOR : public AcDbSymbolTableIterator {                                              \
    public:                                                                                        \
        using AcDbSymbolTableIterator::AcDbSymbolTableIterator;                                    \
        using AcDbSymbolTableIterator::getRecord;                                                  \
        Acad::ErrorStatus getRecord(RECORD*& record, AcDb::OpenMode mode,                          \
                                    bool openErasedRecord = false) const {                         \
            return acdbOpenObject(record, currentId(), mode, openErasedRecord);                    \
        }                                                                                          \
                                                                                                   \
    private:                                                                                       \
        AcDbObjectId currentId() const {                                                           \
            AcDbObjectId id;                                                                       \
            getRecordId(id);                                                                       \
            return id;                                                                             \
        }                                                                                          \
    }

CADHOST_DECLARE_SYMBOL_TABLE_ITERATOR(AcDbBlockTableIterator, AcDbBlockTableRecord);
CADHOST_DECLARE_SYMBOL_TABLE_ITERATOR(AcDbLayerTableIterator, AcDbLayerTableRecord);
CADHOST_DECLARE_SYMBOL_TABLE_ITERATOR(AcDbTextStyleTableIterator, AcDbTextStyleTableRecord);
CADHOST_DECLARE_SYMBOL_TABLE_ITERATOR(AcDbRegAppTableIterator, AcDbRegAppTableRecord);

#undef CADHOST_DECLARE_SYMBOL_TABLE_ITERATOR

// Walks a block's entities in the order they were appended.  Entities appended while the
// iterator exists are visited when it reaches them; erased ones are skipped unless asked for.
class AcDbBlockTableRecordIterator {
public:
    virtual ~AcDbBlockTableRecordIterator();
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                bool openErasedEntity = false) const;
    // Moves to the entity of the id; eKeyNotFound when the block does not hold it.
    Acad::ErrorStatus seek(AcDbObjectId id);
    const AcDbBlockTableRecord* blockTableRecord() const { return m_block; }

    // Host use: made by AcDbBlockTableRecord::newIterator.
    explicit AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* block);

private:
    void skipErased(bool forward);
    const AcDbBlockTableRecord* m_block;
    long m_pos = 0;
};
