// Entities: layer, colour, database defaults.
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "db/databaseimpl.h"
#include "db/entityaccess.h"
#include "db/listing.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"

using namespace cadhost::db;

void cadhost::db::EntityAccess::bindToDatabase(AcDbEntity& entity) {
    AcDbDatabase* db = entity.database();
    entity.m_layerId = db ? FindSymbol(db->layerTableId(), entity.m_layer) : AcDbObjectId();
    if (!entity.m_layerId.isNull())
        entity.m_layer = SymbolNameOf(entity.m_layerId);
}

void cadhost::db::EntityAccess::bindToDatabase(AcDbEntity& entity, LayerBinding& last) {
    if (!last.id.isNull() && entity.m_layer == last.asGiven) {
        entity.m_layerId = last.id;
        entity.m_layer = last.name;
        return;
    }
    std::string asGiven = entity.m_layer;
    bindToDatabase(entity);
    if (!entity.m_layerId.isNull())
        last = LayerBinding{std::move(asGiven), entity.m_layerId, entity.m_layer};
}

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbEntity, AcDbObject)

AcDbEntity::AcDbEntity() = default;
AcDbEntity::~AcDbEntity() = default;

AcDbObjectId AcDbEntity::blockId() const {
    return ownerId();
}

char* AcDbEntity::layer() const {
    assertReadEnabled();
    if (auto* record = ObjectOf<AcDbLayerTableRecord>(m_layerId))
        return acutNewString(record->nameText().c_str());
    return acutNewString(m_layer.c_str());
}

AcDbObjectId AcDbEntity::layerId() const {
    assertReadEnabled();
    return m_layerId;
}

Acad::ErrorStatus AcDbEntity::setLayer(const char* layerName, bool doSubents) {
    (void)doSubents;
    assertWriteEnabled();
    if (!IsValidSymbolName(layerName))
        return Acad::eInvalidSymbolTableName;
    if (AcDbDatabase* db = database()) {
        AcDbObjectId id = FindSymbol(db->layerTableId(), layerName);
        if (id.isNull())
            return Acad::eKeyNotFound;
        m_layerId = id;
        m_layer = SymbolNameOf(id);
    } else {
        m_layer = layerName;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId layerId, bool doSubents) {
    (void)doSubents;
    assertWriteEnabled();
    if (layerId.isNull())
        return Acad::eNullObjectId;
    auto* record = ObjectOf<AcDbLayerTableRecord>(layerId);
    if (!record)
        return layerId.isValid() ? Acad::eWrongObjectType : Acad::eInvalidInput;
    if (record->isErased())
        return Acad::eWasErased;
    if (database() && layerId.database() != database())
        return Acad::eWrongDatabase;
    m_layer = record->nameText();
    // Outside a database the name is what counts: the record may be of another drawing.
    m_layerId = database() ? layerId : AcDbObjectId();
    return Acad::eOk;
}

Adesk::UInt16 AcDbEntity::colorIndex() const {
    assertReadEnabled();
    return m_color;
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 color, bool doSubents) {
    (void)doSubents;
    assertWriteEnabled();
    if (color > 256)
        return Acad::eInvalidInput;
    m_color = color;
    return Acad::eOk;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* db) {
    assertWriteEnabled();
    if (!db)
        db = database() ? database() : acdbHostApplicationServices()->workingDatabase();
    m_layer = "0";
    m_layerId = db && db == database() ? db->layerZero() : AcDbObjectId();
    m_color = 256;
    if (db)
        subSetDatabaseDefaults(db);
}

void AcDbEntity::subSetDatabaseDefaults(AcDbDatabase*) {}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const {
    assertReadEnabled();
    return Acad::eNullExtents;
}

void AcDbEntity::list() const {
    assertReadEnabled();
    const char* type = isA()->dxfName();
    ListHeader(*this, type ? type : isA()->name());
}

Acad::ErrorStatus AcDbEntity::getDistanceTo(const AcGePoint3d&, double&) const {
    assertReadEnabled();
    return Acad::eNotApplicable;
}

Adesk::Boolean AcDbEntity::worldDraw(AcGiWorldDraw*) {
    assertReadEnabled();
    return Adesk::kTrue;
}

Acad::ErrorStatus AcDbEntity::getGripPoints(AcGePoint3dArray&, AcDbIntArray&, AcDbIntArray&) const {
    assertReadEnabled();
    return Acad::eOk;
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    entity = nullptr;
    if (AcRxClass* cls = id.objectClass(); cls && !cls->isDerivedFrom(AcDbEntity::desc()))
        return Acad::eNotAnEntity;
    return acdbOpenObject(entity, id, mode, openErased);
}
