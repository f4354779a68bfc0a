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
#include <string_view>

namespace cadhost::db::dxf {

// The part both kinds share: the DXF type name of the 0 tag and every tag after it, as
// read.  A kept object read from a file holds its tags laid out as AppendTags lays them out,
// mostly as its stretch of the file's text (which the drawing keeps), and makes the list of
// them only when it is asked for it: most are only ever written back.
class KeptTags {
public:
    KeptTags(std::string type, Tags tags)
        : type(std::move(type)), m_tags(std::move(tags)), m_made(true) {}
    // Tags laid out in `owned`, or else in `text`, which outlives this.
    KeptTags(std::string type, std::string owned, std::string_view text)
        : type(std::move(type)), m_owned(std::move(owned)), m_text(text), m_laid(true) {}

    std::string type;

    // The list of the tags, made on first ask.
    const Tags& tags() const;
    // The tags laid out, when they are held so (then laidOut() is true).
    bool laidOut() const { return m_laid; }
    std::string_view layout() const { return m_owned.empty() ? m_text : m_owned; }

private:
    std::string m_owned;
    std::string_view m_text;
    bool m_laid = false;
    mutable Tags m_tags;
    mutable bool m_made = false;
};

class KeptObject final : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(KeptObject);
    explicit KeptObject(KeptTags kept);
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
    explicit KeptEntity(KeptTags kept);
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
