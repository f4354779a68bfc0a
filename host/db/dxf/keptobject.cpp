// Objects kept as read.
#include "db/dxf/keptobject.h"

#include "db/entityaccess.h"
#include "db/listing.h"

namespace cadhost::db::dxf {

ACRX_NO_CONS_DEFINE_MEMBERS(KeptObject, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(KeptEntity, AcDbEntity)

namespace {

// The tags go out as string items: their values are already the file's text.
Acad::ErrorStatus WriteKept(const KeptTags& kept, AcDbDxfFiler* filer) {
    for (const Tag& tag : kept.tags())
        filer->writeString(static_cast<AcDb::DxfCode>(tag.code), tag.value.c_str());
    return filer->filerStatus();
}

} // namespace

const Tags& KeptTags::tags() const {
    if (!m_made) {
        m_tags = TagsOfLayout(layout());
        m_made = true;
    }
    return m_tags;
}

KeptObject::KeptObject(KeptTags kept) : m_kept(std::move(kept)) {}
KeptObject::~KeptObject() = default;

Acad::ErrorStatus KeptObject::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    return WriteKept(m_kept, filer);
}

KeptEntity::KeptEntity(KeptTags kept) : m_kept(std::move(kept)) {}
KeptEntity::~KeptEntity() = default;

Acad::ErrorStatus KeptEntity::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    return WriteKept(m_kept, filer);
}

void KeptEntity::list() const {
    assertReadEnabled();
    ListHeader(*this, m_kept.type.c_str());
}

const KeptTags* KeptTagsOf(const AcDbObject* object) {
    if (auto* o = KeptObject::cast(object))
        return &o->kept();
    if (auto* e = KeptEntity::cast(object))
        return &e->kept();
    return nullptr;
}

KeptTags* KeptTagsOf(AcDbObject* object) {
    return const_cast<KeptTags*>(KeptTagsOf(static_cast<const AcDbObject*>(object)));
}

} // namespace cadhost::db::dxf

void cadhost::db::EntityAccess::setAsRead(AcDbEntity& entity, const std::string& layer,
                                          Adesk::UInt16 color) {
    if (layer.empty())
        entity.m_layer = "0";
    else
        entity.m_layer = layer;
    entity.m_color = color <= 256 ? color : 256;
}
