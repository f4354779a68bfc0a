// The drawing database: objects, handles, root objects and the UCS.
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/databaseregistry.h"
#include "db/edits.h"
#include "db/objectaccess.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"
#include "db/undolog.h"

#include <cmath>
#include <limits>

using namespace cadhost::db;

namespace {

// The seed must stay representable: one more than the highest handle in use.
constexpr std::uint64_t kHighestHandle = std::numeric_limits<std::uint64_t>::max();

template <class Table> AcDbObjectId AddRootObject(AcDbDatabase::Impl& db) {
    auto* table = new Table;
    AcDbObjectId id;
    db.add(table, AcDbObjectId(), id);
    table->close();
    return id;
}

template <class Record> AcDbObjectId AddRecord(AcDbObjectId tableId, const char* name) {
    auto* table = ObjectOf<AcDbSymbolTable>(tableId);
    auto* record = new Record;
    record->setName(name);
    AcDbObjectId id;
    if (AddSymbol(*table, record, id) != Acad::eOk)
        acrx_abort("the default drawing could not be built (record %s)", name);
    record->close();
    return id;
}

// The objects every drawing starts with.  Handles follow the order they are made in.
void BuildDefaultDrawing(AcDbDatabase::Impl& db) {
    db.blockTable = AddRootObject<AcDbBlockTable>(db);
    db.layerTable = AddRootObject<AcDbLayerTable>(db);
    db.textStyleTable = AddRootObject<AcDbTextStyleTable>(db);
    db.regAppTable = AddRootObject<AcDbRegAppTable>(db);
    db.namedObjects = AddRootObject<AcDbDictionary>(db);
    db.modelSpace = AddRecord<AcDbBlockTableRecord>(db.blockTable, ACDB_MODEL_SPACE);
    db.paperSpace = AddRecord<AcDbBlockTableRecord>(db.blockTable, ACDB_PAPER_SPACE);
    db.currentSpace = db.modelSpace;
    db.layerZero = AddRecord<AcDbLayerTableRecord>(db.layerTable, "0");
    db.textStyle = AddRecord<AcDbTextStyleTableRecord>(db.textStyleTable, "Standard");
    AddRecord<AcDbRegAppTableRecord>(db.regAppTable, "ACAD");
}

} // namespace

// ---- Impl ------------------------------------------------------------------------------------

AcDbObjectId AcDbDatabase::Impl::newStub(AcDbHandle handle) {
    auto slot = static_cast<std::uint32_t>(stubs.size());
    if (slot == 0xffffffffu)
        acrx_abort("a drawing holds more objects than ids can name");
    stubs.push_back(Stub{nullptr, handle});
    auto value = static_cast<std::uint64_t>(handle);
    slotByHandle.emplace(value, slot);
    if (value >= handseed)
        handseed = value + 1;
    return IdAccess::make(serial, slot);
}

void AcDbDatabase::Impl::attach(AcDbObjectId id, AcDbObject* object) {
    stubs[IdAccess::slot(id)].object = object;
    ObjectAccess::makeResident(*object, self, id);
    ++objectCount;
    ++edits;
    if (undo)
        undo->noteCreated(id);
}

Acad::ErrorStatus AcDbDatabase::Impl::add(AcDbObject* object, AcDbObjectId owner,
                                          AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!object)
        return Acad::eNullObjectPointer;
    if (object->isDatabaseResident())
        return Acad::eAlreadyInDb;
    if (handseed == kHighestHandle)
        return Acad::eOutOfMemory;
    id = newStub(AcDbHandle(handseed));
    attach(id, object);
    ObjectAccess::setOwner(*object, owner);
    return Acad::eOk;
}

bool AcDbDatabase::Impl::isProtected(AcDbObjectId id) const {
    return !id.isNull() && (id == namedObjects || id == blockTable || id == layerTable ||
                            id == textStyleTable || id == regAppTable || id == modelSpace ||
                            id == paperSpace || id == layerZero || id == textStyle);
}

// ---- AcDbDatabase ----------------------------------------------------------------------------

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDatabase, AcRxObject)

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool noDocument) : m_impl(new Impl) {
    m_impl->self = this;
    m_impl->noDocument = noDocument;
    m_impl->serial = RegisterDatabase(this);
    if (buildDefaultDrawing)
        BuildDefaultDrawing(*m_impl);
}

AcDbDatabase::~AcDbDatabase() {
    m_impl->destroying = true;
    if (acdbHostApplicationServices()->workingDatabase() == this)
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    // From here on every id of this drawing resolves to "database gone", also for code
    // that runs in the objects' destructors.
    UnregisterDatabase(m_impl->serial);
    for (auto it = m_impl->stubs.rbegin(); it != m_impl->stubs.rend(); ++it) {
        if (AcDbObject* object = it->object) {
            it->object = nullptr;
            ObjectAccess::release(*object);
            delete object;
        }
    }
    delete m_impl->undo;
    delete m_impl;
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* object) {
    AcDbObjectId id;
    return addAcDbObject(id, object);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* object) {
    return m_impl->add(object, AcDbObjectId(), id);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObjectWithHandle(AcDbObjectId& id, AcDbObject* object,
                                                        const AcDbHandle& handle) {
    id = AcDbObjectId();
    if (!object)
        return Acad::eNullObjectPointer;
    if (object->isDatabaseResident())
        return Acad::eAlreadyInDb;
    if (handle.isNull())
        return Acad::eNullHandle;
    auto value = static_cast<std::uint64_t>(handle);
    if (value == kHighestHandle)
        return Acad::eInvalidInput;
    AcDbObjectId target;
    if (auto it = m_impl->slotByHandle.find(value); it != m_impl->slotByHandle.end()) {
        if (m_impl->stubs[it->second].object || m_impl->stubs[it->second].retired)
            return Acad::eHandleInUse;
        target = IdAccess::make(m_impl->serial, it->second);
    } else {
        target = m_impl->newStub(handle);
    }
    m_impl->attach(target, object);
    id = target;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                                const AcDbHandle& handle, std::uint32_t xRefId) {
    (void)xRefId;
    id = AcDbObjectId();
    if (handle.isNull())
        return Acad::eNullHandle;
    auto value = static_cast<std::uint64_t>(handle);
    if (auto it = m_impl->slotByHandle.find(value); it != m_impl->slotByHandle.end()) {
        if (m_impl->stubs[it->second].retired)
            return Acad::ePermanentlyErased;
        id = IdAccess::make(m_impl->serial, it->second);
        return Acad::eOk;
    }
    if (!createIfNotFound)
        return Acad::eUnknownHandle;
    if (value == kHighestHandle)
        return Acad::eInvalidInput;
    id = m_impl->newStub(handle);
    return Acad::eOk;
}

AcDbHandle AcDbDatabase::handseed() const {
    return AcDbHandle(m_impl->handseed);
}

Acad::ErrorStatus AcDbDatabase::setHandseed(const AcDbHandle& seed) {
    auto value = static_cast<std::uint64_t>(seed);
    if (value < m_impl->handseed)
        return Acad::eInvalidInput;
    m_impl->handseed = value;
    return Acad::eOk;
}

Adesk::Int32 AcDbDatabase::approxNumObjects() const {
    return m_impl->objectCount;
}

AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const {
    return m_impl->namedObjects;
}
AcDbObjectId AcDbDatabase::blockTableId() const {
    return m_impl->blockTable;
}
AcDbObjectId AcDbDatabase::layerTableId() const {
    return m_impl->layerTable;
}
AcDbObjectId AcDbDatabase::textStyleTableId() const {
    return m_impl->textStyleTable;
}
AcDbObjectId AcDbDatabase::regAppTableId() const {
    return m_impl->regAppTable;
}

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& dictionary,
                                                          AcDb::OpenMode mode) {
    return acdbOpenObject(dictionary, m_impl->namedObjects, mode);
}

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return acdbOpenObject(table, m_impl->blockTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
    return acdbOpenObject(table, m_impl->layerTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getTextStyleTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode) {
    return acdbOpenObject(table, m_impl->textStyleTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode) {
    return acdbOpenObject(table, m_impl->regAppTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return getBlockTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
    return getLayerTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode) {
    return getTextStyleTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode) {
    return getRegAppTable(table, mode);
}

AcDbObjectId AcDbDatabase::currentSpaceId() const {
    return m_impl->currentSpace;
}

Acad::ErrorStatus AcDbDatabase::setCurrentSpaceId(AcDbObjectId blockId) {
    if (blockId.database() != this)
        return blockId.isNull() ? Acad::eNullObjectId : Acad::eWrongDatabase;
    auto* block = ObjectOf<AcDbBlockTableRecord>(blockId);
    if (!block || block->isErased())
        return Acad::eInvalidInput;
    std::string folded = FoldCase(block->nameText());
    if (folded != FoldCase(ACDB_MODEL_SPACE) && folded.rfind(FoldCase(ACDB_PAPER_SPACE), 0) != 0)
        return Acad::eInvalidInput;
    if (m_impl->currentSpace != blockId)
        ++m_impl->edits;
    m_impl->currentSpace = blockId;
    return Acad::eOk;
}

AcDbObjectId AcDbDatabase::layerZero() const {
    return m_impl->layerZero;
}
AcDbObjectId AcDbDatabase::textstyle() const {
    return m_impl->textStyle;
}

Acad::ErrorStatus AcDbDatabase::setTextstyle(AcDbObjectId styleId) {
    if (styleId.database() != this)
        return styleId.isNull() ? Acad::eNullObjectId : Acad::eWrongDatabase;
    auto* style = ObjectOf<AcDbTextStyleTableRecord>(styleId);
    if (!style)
        return Acad::eWrongObjectType;
    if (style->isErased())
        return Acad::eWasErased;
    if (m_impl->textStyle != styleId)
        ++m_impl->edits;
    m_impl->textStyle = styleId;
    return Acad::eOk;
}

AcGePoint3d AcDbDatabase::ucsorg() const {
    return m_impl->ucsOrigin;
}
AcGeVector3d AcDbDatabase::ucsxdir() const {
    return m_impl->ucsX;
}
AcGeVector3d AcDbDatabase::ucsydir() const {
    return m_impl->ucsY;
}

Acad::ErrorStatus AcDbDatabase::setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                       const AcGeVector3d& yAxis) {
    auto finite = [](double a, double b, double c) {
        return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
    };
    if (!finite(origin.x, origin.y, origin.z) || !finite(xAxis.x, xAxis.y, xAxis.z) ||
        !finite(yAxis.x, yAxis.y, yAxis.z))
        return Acad::eInvalidInput;
    if (xAxis.isZeroLength() || yAxis.isZeroLength())
        return Acad::eInvalidInput;
    AcGeVector3d x = xAxis.normal();
    AcGeVector3d y = yAxis - x * yAxis.dotProduct(x);
    if (y.length() <= 1e-9 * yAxis.length())
        return Acad::eInvalidInput;
    AcGeVector3d yNormal = y.normal();
    if (!(origin == m_impl->ucsOrigin && x == m_impl->ucsX && yNormal == m_impl->ucsY))
        ++m_impl->edits;
    m_impl->ucsOrigin = origin;
    m_impl->ucsX = x;
    m_impl->ucsY = yNormal;
    return Acad::eOk;
}

bool AcDbDatabase::noDocument() const {
    return m_impl->noDocument;
}

namespace cadhost::db {

std::uint64_t EditCount(const AcDbDatabase& db) {
    return db.impl()->edits;
}

void NoteEdit(const AcDbDatabase* db) {
    if (db)
        ++db->impl()->edits;
}

} // namespace cadhost::db
