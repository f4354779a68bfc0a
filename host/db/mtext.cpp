// Multiline text: placement, size, style, contents, transformation, extents, listing and
// picking.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/geometry.h"
#include "db/listing.h"
#include "db/mtextgeometry.h"
#include "text/mtextlayout.h"
#include "text/mtextmeasure.h"
#include "text/mtextpick.h"
#include "text/rtfconvert.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <string_view>

using namespace cadhost::db;

namespace {

// The Standard style's font; styles with fonts of their own come with the style table's font
// names.
constexpr const char* kStyleFont = "Arial";

} // namespace

ACRX_DXF_DEFINE_MEMBERS(AcDbMText, AcDbEntity, "MTEXT", nullptr)

AcDbMText::AcDbMText() = default;
AcDbMText::~AcDbMText() = default;

AcGePoint3d AcDbMText::location() const {
    assertReadEnabled();
    return m_location;
}

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& point) {
    assertWriteEnabled();
    if (!IsFinite(point))
        return Acad::eInvalidInput;
    m_location = point;
    return Acad::eOk;
}

AcGeVector3d AcDbMText::normal() const {
    assertReadEnabled();
    return m_normal;
}

Acad::ErrorStatus AcDbMText::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (!IsFinite(normal) || normal.isZeroLength())
        return Acad::eInvalidInput;
    AcGeVector3d n = normal.normal();
    // Keep the direction in the new plane; one along the new normal has no place in it and
    // falls back to the plane's own x axis.
    AcGeVector3d d = m_direction - n * m_direction.dotProduct(n);
    m_direction = d.length() > 1e-9 ? d.normal() : PlaneXAxis(n);
    m_normal = n;
    return Acad::eOk;
}

AcGeVector3d AcDbMText::direction() const {
    assertReadEnabled();
    return m_direction;
}

Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& direction) {
    assertWriteEnabled();
    if (!IsFinite(direction) || direction.isZeroLength())
        return Acad::eInvalidInput;
    AcGeVector3d d = direction - m_normal * direction.dotProduct(m_normal);
    if (d.length() <= 1e-9 * direction.length())
        return Acad::eInvalidInput;
    m_direction = d.normal();
    return Acad::eOk;
}

double AcDbMText::rotation() const {
    assertReadEnabled();
    AcGeVector3d x = PlaneXAxis(m_normal);
    AcGeVector3d y = m_normal.crossProduct(x);
    double angle = std::atan2(m_direction.dotProduct(y), m_direction.dotProduct(x));
    return angle < 0.0 ? angle + 2.0 * std::numbers::pi : angle;
}

Acad::ErrorStatus AcDbMText::setRotation(double radians) {
    assertWriteEnabled();
    if (!std::isfinite(radians))
        return Acad::eInvalidInput;
    AcGeVector3d x = PlaneXAxis(m_normal);
    AcGeVector3d y = m_normal.crossProduct(x);
    m_direction = (x * std::cos(radians) + y * std::sin(radians)).normal();
    return Acad::eOk;
}

double AcDbMText::width() const {
    assertReadEnabled();
    return m_width;
}

Acad::ErrorStatus AcDbMText::setWidth(double width) {
    assertWriteEnabled();
    if (!std::isfinite(width))
        return Acad::eInvalidInput;
    if (width < 0.0)
        return Acad::eNegativeValueNotAllowed;
    m_width = width;
    return Acad::eOk;
}

double AcDbMText::textHeight() const {
    assertReadEnabled();
    return m_height;
}

Acad::ErrorStatus AcDbMText::setTextHeight(double height) {
    assertWriteEnabled();
    if (!std::isfinite(height) || height == 0.0)
        return Acad::eInvalidInput;
    if (height < 0.0)
        return Acad::eNegativeValueNotAllowed;
    m_height = height;
    return Acad::eOk;
}

AcDbObjectId AcDbMText::textStyle() const {
    assertReadEnabled();
    return m_style;
}

Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId style) {
    assertWriteEnabled();
    if (style.isNull())
        return Acad::eNullObjectId;
    if (!style.isValid())
        return Acad::eInvalidInput;
    auto* record = ObjectOf<AcDbTextStyleTableRecord>(style);
    if (!record)
        return Acad::eWrongObjectType;
    if (database() && style.database() != database())
        return Acad::eWrongDatabase;
    m_style = style;
    return Acad::eOk;
}

AcDbMText::AttachmentPoint AcDbMText::attachment() const {
    assertReadEnabled();
    return m_attachment;
}

Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint attachment) {
    assertWriteEnabled();
    if (attachment < kTopLeft || attachment > kBottomRight)
        return Acad::eInvalidInput;
    m_attachment = attachment;
    return Acad::eOk;
}

char* AcDbMText::contents() const {
    assertReadEnabled();
    return acutNewString(m_contents.c_str());
}

int AcDbMText::setContents(const char* text) {
    assertWriteEnabled();
    m_contents = text ? text : "";
    return static_cast<int>(m_contents.size());
}

double AcDbMText::actualHeight(void*) const {
    assertReadEnabled();
    return cadhost::text::MeasureMTextHeight(m_contents, m_height, m_width, kStyleFont);
}

int AcDbMText::setContentsRTF(const char* rtf) {
    assertWriteEnabled();
    m_contents = cadhost::text::RtfToMText(rtf ? rtf : "");
    return static_cast<int>(m_contents.size());
}

Acad::ErrorStatus AcDbMText::transformBy(const AcGeMatrix3d& xform) {
    assertWriteEnabled();
    double scale;
    if (Acad::ErrorStatus es = CheckSimilarity(xform, scale); es != Acad::eOk)
        return es;
    // The text's own axes turn with the matrix; the normal is rebuilt from them so that a
    // mirrored text still reads forwards (it is seen from the other side instead).
    AcGeVector3d x = m_direction;
    AcGeVector3d y = m_normal.crossProduct(m_direction);
    x.transformBy(xform);
    y.transformBy(xform);
    x.normalize();
    y.normalize();
    m_location.transformBy(xform);
    m_direction = x;
    m_normal = x.crossProduct(y).normal();
    m_height *= scale;
    m_width *= scale;
    return xDataTransformBy(xform);
}

void AcDbMText::subSetDatabaseDefaults(AcDbDatabase* db) {
    m_style = db->textstyle();
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    if (!IsFinite(m_location))
        return Acad::eInvalidExtents;
    // The box of the laid-out lines: the entity's width (the widest line's when it has none)
    // by the height from the top of the first line to the baseline of the last.
    const LaidOutSize& layout = laidOutSize();
    cadhost::text::TextFrame frame =
        cadhost::text::FrameOf(PlacementOf(*this), layout.width, layout.height);
    double width = m_width > 0.0 ? m_width : layout.width;
    extents = AcDbExtents();
    for (double x : {0.0, width}) {
        for (double y : {0.0, -layout.height}) {
            cadhost::text::Vec3 p = frame.toWorld(x, y);
            extents.addPoint(AcGePoint3d(p.x, p.y, p.z));
        }
    }
    return Acad::eOk;
}

const AcDbMText::LaidOutSize& AcDbMText::laidOutSize() const {
    // Sizes are compared as bits, so that a NaN height is the same height as before.
    auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    const std::size_t hash = std::hash<std::string_view>{}(m_contents);
    if (m_laidOut && m_laidOut->contentsHash == hash && same(m_laidOut->textHeight, m_height) &&
        same(m_laidOut->boxWidth, m_width))
        return *m_laidOut;
    cadhost::text::MTextLayout layout =
        cadhost::text::LayOutMTextExtents(m_contents, m_height, m_width, kStyleFont);
    m_laidOut = std::make_unique<LaidOutSize>(
        LaidOutSize{hash, m_height, m_width, layout.width, layout.height});
    return *m_laidOut;
}

void AcDbMText::list() const {
    AcDbEntity::list();
    Display("\n  Location: " + ListPoint(m_location) + "\n  Width: " + ListReal(m_width) +
            "  Text height: " + ListReal(m_height) + "\n  Contents: " + m_contents);
}

Acad::ErrorStatus AcDbMText::getDistanceTo(const AcGePoint3d& point, double& distance) const {
    assertReadEnabled();
    cadhost::text::MTextLayout layout =
        cadhost::text::LayOutMTextExtents(m_contents, m_height, m_width, kStyleFont);
    if (!cadhost::text::MTextContainsPoint(layout, PlacementOf(*this), {point.x, point.y, point.z},
                                           0.0))
        return Acad::eNotApplicable;
    distance = 0.0;
    return Acad::eOk;
}

Adesk::Boolean AcDbMText::worldDraw(AcGiWorldDraw* mode) {
    assertReadEnabled();
    mode->geometry().mtext(m_location, m_normal, m_direction, m_attachment, m_width, m_height,
                           m_contents.c_str());
    return Adesk::kTrue;
}

Acad::ErrorStatus AcDbMText::getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray&,
                                           AcDbIntArray&) const {
    assertReadEnabled();
    gripPoints.append(m_location);
    return Acad::eOk;
}
