#include "gui/drawingscene.h"

#include "db/changecount.h"
#include "editor/drawing.h"
#include "editor/drawingitems.h"

#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbsymtb.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace cadhost::gui {

namespace {

bool Same(const text::Vec3& a, const text::Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool SameItem(const text::DrawingItem& a, const text::DrawingItem& b) {
    if (a.kind != b.kind || a.colorIndex != b.colorIndex)
        return false;
    switch (a.kind) {
    case text::DrawingItem::Kind::MText:
        return Same(a.placement.location, b.placement.location) &&
               Same(a.placement.direction, b.placement.direction) &&
               Same(a.placement.normal, b.placement.normal) &&
               a.placement.attachment == b.placement.attachment &&
               a.placement.width == b.placement.width && a.textHeight == b.textHeight &&
               a.styleFont == b.styleFont && a.contents == b.contents;
    case text::DrawingItem::Kind::Line:
        return Same(a.start, b.start) && Same(a.end, b.end);
    case text::DrawingItem::Kind::Circle:
        return Same(a.start, b.start) && a.radius == b.radius && Same(a.normal, b.normal);
    case text::DrawingItem::Kind::Arc:
        return Same(a.start, b.start) && a.radius == b.radius && Same(a.normal, b.normal) &&
               Same(a.startVector, b.startVector) && a.sweep == b.sweep;
    }
    return false;
}

bool SameItems(const std::vector<text::DrawingItem>& a, const std::vector<text::DrawingItem>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameItem);
}

QPointF Plan(const text::Vec3& p) {
    return {p.x, p.y};
}

// The unit normal's z: 1 for a plane seen flat from above, -1 from below.
double FacingUp(const text::Vec3& normal) {
    double length = std::sqrt(text::Dot(normal, normal));
    return length > 0.0 ? normal.z / length : 1.0;
}

bool Finite(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// A box that grows to take in points and other boxes; empty until the first.
class Box {
public:
    void add(const QPointF& p) {
        if (!Finite(p))
            return;
        if (!m_any) {
            m_min = m_max = p;
            m_any = true;
            return;
        }
        m_min = {std::min(m_min.x(), p.x()), std::min(m_min.y(), p.y())};
        m_max = {std::max(m_max.x(), p.x()), std::max(m_max.y(), p.y())};
    }
    bool empty() const { return !m_any; }
    QRectF rect() const { return m_any ? QRectF(m_min, m_max) : QRectF(); }

private:
    QPointF m_min, m_max;
    bool m_any = false;
};

// The box of a shape seen from above.
void AddBounds(Box& box, const SceneShape& shape) {
    switch (shape.kind) {
    case SceneShape::Kind::Polyline:
        for (const QPointF& p : shape.points)
            box.add(p);
        break;
    case SceneShape::Kind::Circle:
    case SceneShape::Kind::Arc: {
        // The ends and the quarter points the arc passes.
        double sweep = shape.kind == SceneShape::Kind::Circle ? 360.0 : shape.sweepDegrees;
        double start = shape.kind == SceneShape::Kind::Circle ? 0.0 : shape.startDegrees;
        auto at = [&](double degrees) {
            double a = degrees * std::numbers::pi / 180.0;
            return shape.center + QPointF(std::cos(a), std::sin(a)) * shape.radius;
        };
        box.add(at(start));
        box.add(at(start + sweep));
        for (int quarter = -8; quarter <= 8; ++quarter) {
            double a = quarter * 90.0;
            if ((a - start) * (a - start - sweep) <= 0.0)
                box.add(at(a));
        }
        break;
    }
    case SceneShape::Kind::Text: {
        const QRectF& ink = shape.text->box;
        if (ink.isNull())
            break;
        for (QPointF corner : {ink.topLeft(), ink.topRight(), ink.bottomLeft(), ink.bottomRight()})
            box.add(Plan(shape.frame.toWorld(corner.x(), corner.y())));
        break;
    }
    }
}

} // namespace

std::shared_ptr<const PreparedText> DrawingScene::textOf(const text::DrawingItem& item) {
    // The content, then the height and width exactly as they are, then the font.
    std::string key = item.contents;
    key += '\0';
    for (double value : {item.textHeight, item.placement.width})
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    key += item.styleFont;
    auto it = m_texts.find(key);
    if (it != m_texts.end())
        return it->second;
    ++m_layouts;
    auto text = PrepareText(item.contents, item.textHeight, item.placement.width, item.styleFont);
    m_texts.emplace(std::move(key), text);
    return text;
}

void DrawingScene::shapesOf(SceneEntity& entity) {
    entity.shapes.clear();
    Box box;
    for (const text::DrawingItem& item : entity.items) {
        SceneShape shape;
        shape.colorIndex = item.colorIndex;
        switch (item.kind) {
        case text::DrawingItem::Kind::Line:
            shape.points = {Plan(item.start), Plan(item.end)};
            break;
        case text::DrawingItem::Kind::Circle:
        case text::DrawingItem::Kind::Arc: {
            double up = FacingUp(item.normal);
            bool circle = item.kind == text::DrawingItem::Kind::Circle;
            if (std::fabs(up) < 1.0 - 1e-9) {
                // A tilted plane: seen from above, an ellipse, drawn through points along it.
                text::DrawingItem arc = item;
                if (circle) {
                    text::Vec3 n = item.normal;
                    arc.startVector = std::fabs(n.x) < 1.0 / 64 && std::fabs(n.y) < 1.0 / 64
                                          ? text::Cross({0, 1, 0}, n)
                                          : text::Cross({0, 0, 1}, n);
                    arc.sweep = 2.0 * std::numbers::pi;
                }
                for (const text::Vec3& p : text::ArcPoints(arc))
                    shape.points.push_back(Plan(p));
                break;
            }
            shape.kind = circle ? SceneShape::Kind::Circle : SceneShape::Kind::Arc;
            shape.center = Plan(item.start);
            shape.radius = item.radius;
            if (!circle) {
                // Seen from below, the arc turns the other way.
                text::Vec3 v = item.startVector;
                shape.startDegrees = std::atan2(v.y, v.x) * 180.0 / std::numbers::pi;
                shape.sweepDegrees =
                    item.sweep * 180.0 / std::numbers::pi * (up > 0.0 ? 1.0 : -1.0);
            }
            break;
        }
        case text::DrawingItem::Kind::MText:
            shape.kind = SceneShape::Kind::Text;
            shape.text = textOf(item);
            shape.frame = text::FrameOf(item.placement, shape.text->width, shape.text->height);
            shape.location = Plan(item.placement.location);
            break;
        }
        AddBounds(box, shape);
        entity.shapes.push_back(std::move(shape));
    }
    entity.bounds = box.rect();
    entity.hasBounds = !box.empty();
}

bool DrawingScene::lookAgain(AcDbDatabase* db) {
    // The entities of the space, read through its record; a record that cannot be read now
    // (a command has it open for write) leaves the scene as it is, to be looked at later.
    std::vector<AcDbObjectId> ids;
    if (!editor::ReadCurrentSpaceEntities(db, ids))
        return false;

    std::unordered_map<AcDbObjectId, std::size_t> before;
    for (std::size_t i = 0; i < m_entities.size(); ++i)
        before.emplace(m_entities[i].id, i);
    std::vector<SceneEntity> now;
    now.reserve(ids.size());
    for (const AcDbObjectId& id : ids) {
        auto was = before.find(id);
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) {
            // Erased entities go; one open for write keeps what it showed.
            if (!id.isErased() && was != before.end())
                now.push_back(std::move(m_entities[was->second]));
            continue;
        }
        SceneEntity fresh;
        fresh.id = id;
        fresh.handle = editor::HandleText(id);
        editor::AddDrawingItemsOf(*entity, fresh.handle, fresh.items);
        entity->close();
        if (was != before.end() && SameItems(m_entities[was->second].items, fresh.items)) {
            now.push_back(std::move(m_entities[was->second]));
            continue;
        }
        shapesOf(fresh);
        now.push_back(std::move(fresh));
    }
    m_entities = std::move(now);

    Box all;
    for (const SceneEntity& entity : m_entities)
        if (entity.hasBounds) {
            all.add(entity.bounds.topLeft());
            all.add(entity.bounds.bottomRight());
        }
    m_bounds = all.rect();
    m_hasBounds = !all.empty();
    // Texts no entity shows any more are let go.
    for (auto text = m_texts.begin(); text != m_texts.end();)
        text = text->second.use_count() == 1 ? m_texts.erase(text) : std::next(text);
    return true;
}

bool DrawingScene::follow(AcDbDatabase* db) {
    if (!db) {
        bool had = !m_entities.empty() || m_db;
        m_entities.clear();
        m_bounds = QRectF();
        m_hasBounds = false;
        m_db = nullptr;
        m_space = AcDbObjectId();
        return had;
    }
    AcDbObjectId space = db->currentSpaceId();
    std::uint64_t changes = db::ChangeCountOf(db);
    if (db == m_db && space == m_space && changes == m_changes)
        return false;
    if (db != m_db || space != m_space)
        m_entities.clear(); // another drawing: nothing carries over but laid-out texts
    if (!lookAgain(db))
        return false;
    m_db = db;
    m_space = space;
    m_changes = changes;
    return true;
}

bool DrawingScene::setSelection(const std::vector<AcDbObjectId>& ids) {
    std::vector<AcDbObjectId> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted == m_selection)
        return false;
    m_selection = std::move(sorted);
    return true;
}

bool DrawingScene::isSelected(const SceneEntity& entity) const {
    return std::binary_search(m_selection.begin(), m_selection.end(), entity.id);
}

} // namespace cadhost::gui
