// Entities: the objects of a drawing that have a place in space and belong to a block (model
// space, paper space or a block definition).
#pragma once

#include "arx/acgi.h"
#include "arx/dbextents.h"
#include "arx/dbobject.h"

#include <string>

namespace cadhost::db {
struct EntityAccess;
} // namespace cadhost::db

using AcGePoint3dArray = AcArray<AcGePoint3d>;
using AcDbIntArray = AcArray<int>;

class AcDbEntity : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbEntity);
    ~AcDbEntity() override;

    // The block the entity belongs to (its owner).
    AcDbObjectId blockId() const;

    // The layer's name as a new string the caller frees with acutDelString ("0" unless set).
    char* layer() const;
    // The layer record in the entity's database; null when the entity is not in one.
    AcDbObjectId layerId() const;
    // eInvalidSymbolTableName for a name that is not a valid symbol name; for an entity in a
    // database, eKeyNotFound when its layer table has no such layer.
    Acad::ErrorStatus setLayer(const char* layerName, bool doSubents = true);
    Acad::ErrorStatus setLayer(AcDbObjectId layerId, bool doSubents = true);

    // 0 by block, 1-255 a colour, 256 by layer (the default).  eInvalidInput beyond.
    Adesk::UInt16 colorIndex() const;
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 color, bool doSubents = true);

    // Gives the entity the defaults of the database (the working database when null): its
    // current layer "0", colour by layer, and what the entity's class takes from it.
    void setDatabaseDefaults(AcDbDatabase* db = nullptr);

    // Moves, turns or scales the entity.  eNotApplicable for an entity that cannot be
    // transformed.
    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);

    // The box the entity takes in the world.  eNullExtents for an entity that takes no room
    // (a text without contents, a kind the host has no geometry for); eInvalidExtents when
    // its geometry is not finite.
    virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const;
    // Shows the entity's properties on the host's text screen (through the host application
    // services' displayString): its type, layer and handle, then what its class adds.
    virtual void list() const;
    // The host's picking: how far a point of the world lies from the entity as drawn.
    // eNotApplicable where the entity is not picked at that point at all (a text is picked
    // only within its lines, at distance 0).
    virtual Acad::ErrorStatus getDistanceTo(const AcGePoint3d& point, double& distance) const;
    // Draws the entity through the context, in the traits' colour the host has set to the
    // entity's own.  Answers kTrue when the entity is drawn completely (an entity the host
    // has no geometry for draws nothing).
    virtual Adesk::Boolean worldDraw(AcGiWorldDraw* mode);
    // The points where the entity is grabbed, the first its main point (a line's start, a
    // circle's centre, a text's location); osnapModes and geomIds are left empty.
    virtual Acad::ErrorStatus getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                            AcDbIntArray& geomIds) const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    AcDbEntity();
    virtual void subSetDatabaseDefaults(AcDbDatabase* db);

private:
    friend struct cadhost::db::EntityAccess;
    friend struct cadhost::db::DxfFields<AcDbEntity>;
    // The layer by name until the entity is in a database, then by record as well, so that
    // renaming the layer carries its entities along.
    std::string m_layer = "0";
    AcDbObjectId m_layerId;
    Adesk::UInt16 m_color = 256;
};

// Opens the entity of an id: eNotAnEntity, without opening, for an object that is not one.
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
