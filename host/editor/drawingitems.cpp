// Entities drawn into picture items through their worldDraw.
#include "editor/drawingitems.h"

#include "arx/acgi.h"
#include "arx/dbentity.h"
#include "editor/drawing.h"

namespace cadhost::editor {

namespace {

text::Vec3 V(const AcGePoint3d& p) {
    return {p.x, p.y, p.z};
}
text::Vec3 V(const AcGeVector3d& v) {
    return {v.x, v.y, v.z};
}

class ItemTraits final : public AcGiSubEntityTraits {
public:
    void setColor(Adesk::UInt16 color) override { m_color = color; }
    Adesk::UInt16 color() const override { return m_color; }

private:
    Adesk::UInt16 m_color = 256;
};

// Turns each shape an entity draws into an item of the entity's handle and colour.
class ItemCollector final : public AcGiWorldDraw, public AcGiWorldGeometry {
public:
    explicit ItemCollector(std::vector<text::DrawingItem>& items) : m_items(items) {}

    void begin(const std::string& handle, Adesk::UInt16 color) {
        m_handle = handle;
        m_traits.setColor(color);
    }

    AcGiWorldGeometry& geometry() const override { return const_cast<ItemCollector&>(*this); }
    AcGiSubEntityTraits& subEntityTraits() const override { return m_traits; }

    Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                          const AcGeVector3d& normal) const override {
        text::DrawingItem& item = add(text::DrawingItem::Kind::Circle);
        item.start = V(center);
        item.radius = radius;
        item.normal = V(normal);
        return Adesk::kFalse;
    }

    Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                               const AcGeVector3d& startVector, double sweepAngle) const override {
        text::DrawingItem& item = add(text::DrawingItem::Kind::Arc);
        item.start = V(center);
        item.radius = radius;
        item.normal = V(normal);
        item.startVector = V(startVector);
        item.sweep = sweepAngle;
        return Adesk::kFalse;
    }

    Adesk::Boolean polyline(Adesk::UInt32 count, const AcGePoint3d* points,
                            const AcGeVector3d*) const override {
        for (Adesk::UInt32 i = 1; i < count; ++i) {
            text::DrawingItem& item = add(text::DrawingItem::Kind::Line);
            item.start = V(points[i - 1]);
            item.end = V(points[i]);
        }
        return Adesk::kFalse;
    }

    Adesk::Boolean mtext(const AcGePoint3d& location, const AcGeVector3d& normal,
                         const AcGeVector3d& direction, int attachment, double width,
                         double textHeight, const char* contents) const override {
        text::DrawingItem& item = add(text::DrawingItem::Kind::MText);
        item.placement.location = V(location);
        item.placement.direction = V(direction);
        item.placement.normal = V(normal);
        item.placement.attachment = attachment;
        item.placement.width = width;
        item.textHeight = textHeight;
        item.contents = contents ? contents : "";
        return Adesk::kFalse;
    }

private:
    text::DrawingItem& add(text::DrawingItem::Kind kind) const {
        text::DrawingItem& item = m_items.emplace_back();
        item.kind = kind;
        item.colorIndex = m_traits.color();
        item.handle = m_handle;
        return item;
    }

    std::vector<text::DrawingItem>& m_items;
    std::string m_handle;
    mutable ItemTraits m_traits;
};

} // namespace

void AddDrawingItemsOf(AcDbEntity& entity, const std::string& handle,
                       std::vector<text::DrawingItem>& items) {
    ItemCollector collector(items);
    collector.begin(handle, entity.colorIndex());
    entity.worldDraw(&collector);
}

std::vector<text::DrawingItem> DrawingItemsOf(AcDbDatabase* db) {
    std::vector<text::DrawingItem> items;
    for (const AcDbObjectId& id : CurrentSpaceEntities(db)) {
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
            continue;
        AddDrawingItemsOf(*entity, HandleText(id), items);
        entity->close();
    }
    return items;
}

} // namespace cadhost::editor
