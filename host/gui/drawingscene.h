// What the window's view draws: every entity of the drawing's current space as it draws
// itself (the items EXPORT's picture is made of), seen from above, with its texts laid out.
//
// The scene follows a drawing: it looks at the drawing again only when the drawing's change
// count moved (or another drawing or space is shown), and then it reuses what it has for
// every entity whose items did not change, so that only changed texts are laid out again.
// Laid-out texts are shared by content, height, width and font.
#pragma once

#include "gui/preparedtext.h"
#include "text/svgexport.h"

#include "arx/dbid.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class AcDbDatabase;

namespace cadhost::gui {

struct SceneShape {
    enum class Kind { Polyline, Circle, Arc, Text };
    Kind kind = Kind::Polyline;
    int colorIndex = 256;
    // Polyline (a line, or an arc or circle whose plane is not seen flat from above).
    std::vector<QPointF> points;
    // Circle and Arc, seen from above: counterclockwise from the start angle (degrees).
    QPointF center;
    double radius = 0.0;
    double startDegrees = 0.0, sweepDegrees = 0.0;
    // Text: the layout, where it lies (text::FrameOf) and its attachment point.
    std::shared_ptr<const PreparedText> text;
    text::TextFrame frame;
    QPointF location;
};

struct SceneEntity {
    AcDbObjectId id;
    std::string handle;
    std::vector<text::DrawingItem> items; // what it drew, to tell a change
    std::vector<SceneShape> shapes;
    QRectF bounds; // in the world, seen from above (y grows with the rectangle's bottom)
    bool hasBounds = false;
};

class DrawingScene {
public:
    // Looks at the drawing (nullptr: none) if it may have changed since the last call; true
    // when what the scene shows changed.  An entity that cannot be read now (open for write)
    // keeps what it showed.
    bool follow(AcDbDatabase* db);

    const std::vector<SceneEntity>& entities() const { return m_entities; }
    // The box of everything drawn (its top the least y); hasBounds false when nothing is.
    QRectF bounds() const { return m_bounds; }
    bool hasBounds() const { return m_hasBounds; }
    // Texts laid out since the scene was made: a pan or zoom adds none.
    std::uint64_t layoutCount() const { return m_layouts; }

    // The entities shown as selected; true when that changed.
    bool setSelection(const std::vector<AcDbObjectId>& ids);
    bool isSelected(const SceneEntity& entity) const;
    const std::vector<AcDbObjectId>& selection() const { return m_selection; }

private:
    bool lookAgain(AcDbDatabase* db);
    void shapesOf(SceneEntity& entity);
    std::shared_ptr<const PreparedText> textOf(const text::DrawingItem& item);

    AcDbDatabase* m_db = nullptr;
    AcDbObjectId m_space;
    std::uint64_t m_changes = 0;
    std::vector<SceneEntity> m_entities;
    QRectF m_bounds;
    bool m_hasBounds = false;
    std::vector<AcDbObjectId> m_selection;
    std::unordered_map<std::string, std::shared_ptr<const PreparedText>> m_texts;
    std::uint64_t m_layouts = 0;
};

} // namespace cadhost::gui
