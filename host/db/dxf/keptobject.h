// Objects of a drawing file that the host does not understand: entities and objects of
// types it has no class for, custom objects of classes that are not loaded, and the table
// entries and objects it only carries.  They keep the tags they were read with (handle and
// owner included) and are written back as they were read, so a drawing made elsewhere
// comes out of the host with everything it had.
#pragma once

#include "arx/dbentity.h"
#include "arx/dbobject.h"
#include "db/dxf/tags.h"

#include <string>

namespace cadhost::db::dxf {

// The part both kinds share.
struct KeptTags {
    std::string type; // the DXF type name of the 0 tag
    Tags tags;        // every tag after the 0 tag, as read
};

class KeptObject final : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(KeptObject);
    KeptObject(std::string type, Tags tags);
    ~KeptObject() override;

    const KeptTags& kept() const { return m_kept; }
    KeptTags& kept() { return m_kept; }

    // Writes the kept tags after the 0 tag (the DXF file writer copies them directly).
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    KeptTags m_kept;
};

class KeptEntity final : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(KeptEntity);
    KeptEntity(std::string type, Tags tags);
    ~KeptEntity() override;

    const KeptTags& kept() const { return m_kept; }
    KeptTags& kept() { return m_kept; }

    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
    // Listed under the type it had in the file.
    void list() const override;

    // The types whose geometry the host knows from their tags (db/dxf/keptgeometry.h) draw,
    // box and pick as their outline; the others take no room and draw nothing.
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus getDistanceTo(const AcGePoint3d& point, double& distance) const override;
    Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
    Acad::ErrorStatus getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                    AcDbIntArray& geomIds) const override;

private:
    KeptTags m_kept;
};

// The kept tags of an object, or nullptr when it is not a kept one.
const KeptTags* KeptTagsOf(const AcDbObject* object);
KeptTags* KeptTagsOf(AcDbObject* object);

} // namespace cadhost::db::dxf
