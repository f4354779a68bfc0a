// Kept entities' shapes from their tags.
#include "db/dxf/keptgeometry.h"

#include "db/geometry.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>

namespace cadhost::db::dxf {

namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

// The plane an entity's own coordinates lie in (the arbitrary axis rule): x, y and the normal.
struct Plane {
    AcGeVector3d x, y, normal;

    explicit Plane(const AcGeVector3d& n) : x(PlaneXAxis(n)), y(n.crossProduct(x)), normal(n) {}
    AcGePoint3d toWorld(double px, double py, double pz) const {
        return AcGePoint3d::kOrigin + x * px + y * py + normal * pz;
    }
    AcGeVector3d direction(double radians) const {
        return x * std::cos(radians) + y * std::sin(radians);
    }
};

// The values of one record's tags (an entity, or one VERTEX of a polyline), by group code:
// the first value of each code, and the vertices of a lightweight polyline in order.
class Fields {
public:
    Fields(const Tags& tags, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const Tag& tag = tags[i];
            if (tag.code >= 1000)
                break; // extended data follows
            if (tag.code == 102) {
                // An application's group ("{ACAD_REACTORS" ... "}") holds no geometry.
                if (!tag.value.empty() && tag.value[0] == '{')
                    while (i + 1 < to && !(tags[i + 1].code == 102 && tags[i + 1].value == "}"))
                        ++i;
                continue;
            }
            m_tags.push_back(&tag);
        }
    }

    std::optional<double> real(int code) const {
        for (const Tag* tag : m_tags)
            if (tag->code == code) {
                double value = 0.0;
                if (ParseReal(tag->value, value) && std::isfinite(value))
                    return value;
                return std::nullopt;
            }
        return std::nullopt;
    }
    double real(int code, double fallback) const { return real(code).value_or(fallback); }
    long long integer(int code, long long fallback) const {
        for (const Tag* tag : m_tags)
            if (tag->code == code) {
                long long value = 0;
                return ParseInteger(tag->value, value) ? value : fallback;
            }
        return fallback;
    }
    const std::string* text(int code) const {
        for (const Tag* tag : m_tags)
            if (tag->code == code)
                return &tag->value;
        return nullptr;
    }
    // A point of codes base, base + 10, base + 20 (the last may be missing: 0).
    std::optional<AcGePoint3d> point(int base) const {
        auto x = real(base), y = real(base + 10);
        if (!x || !y)
            return std::nullopt;
        return AcGePoint3d(*x, *y, real(base + 20, 0.0));
    }
    AcGeVector3d normal() const {
        return UsableNormal(AcGeVector3d(real(210, 0.0), real(220, 0.0), real(230, 1.0)));
    }
    const std::vector<const Tag*>& tags() const { return m_tags; }

private:
    std::vector<const Tag*> m_tags;
};

KeptShape ArcShape(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                   const AcGeVector3d& startVector, double sweep) {
    KeptShape shape;
    shape.kind = KeptShape::Kind::Arc;
    shape.center = center;
    shape.radius = radius;
    shape.normal = normal;
    shape.startVector = startVector;
    shape.sweep = sweep;
    return shape;
}

// A polyline's vertices, each with the bulge of the segment that starts at it.
struct Vertex {
    AcGePoint3d point; // in the polyline's plane (2D) or the world (3D)
    double bulge = 0.0;
};

// The segments of a polyline: runs of straight segments as polylines, bulged ones as arcs.
void AddPolyline(const std::vector<Vertex>& vertices, bool closed, const Plane* plane,
                 double elevation, std::vector<KeptShape>& out) {
    if (vertices.empty())
        return;
    auto world = [&](const AcGePoint3d& p) {
        return plane ? plane->toWorld(p.x, p.y, elevation) : p;
    };
    KeptShape run;
    auto flush = [&] {
        if (run.points.size() >= 2)
            out.push_back(std::move(run));
        run = KeptShape();
    };
    std::size_t segments = closed ? vertices.size() : vertices.size() - 1;
    if (vertices.size() == 1)
        segments = 0;
    for (std::size_t i = 0; i < segments; ++i) {
        const Vertex& a = vertices[i];
        const Vertex& b = vertices[(i + 1) % vertices.size()];
        double bulge = plane ? a.bulge : 0.0;
        if (bulge == 0.0 || !std::isfinite(bulge)) {
            if (run.points.empty())
                run.points.push_back(world(a.point));
            run.points.push_back(world(b.point));
            continue;
        }
        flush();
        // The bulge is the tangent of a quarter of the arc's angle; a positive one turns
        // counterclockwise about the plane's normal.
        double sweep = 4.0 * std::atan(bulge);
        double dx = b.point.x - a.point.x, dy = b.point.y - a.point.y;
        double chord = std::hypot(dx, dy);
        if (!(chord > 0.0))
            continue;
        double half = sweep / 2.0;
        double offset = chord / (2.0 * std::tan(half)); // from the chord's middle, to its left
        double cx = (a.point.x + b.point.x) / 2.0 - dy / chord * offset;
        double cy = (a.point.y + b.point.y) / 2.0 + dx / chord * offset;
        double radius = chord / (2.0 * std::fabs(std::sin(half)));
        AcGePoint3d center = world(AcGePoint3d(cx, cy, 0.0));
        out.push_back(ArcShape(center, radius, plane->normal, world(a.point) - center, sweep));
    }
    flush();
    if (segments == 0) {
        // A single vertex shows as a point: a polyline of no length.
        run.points = {world(vertices[0].point), world(vertices[0].point)};
        out.push_back(std::move(run));
    }
}

void Line(const Fields& f, std::vector<KeptShape>& out) {
    auto a = f.point(10), b = f.point(11);
    if (!a || !b)
        return;
    KeptShape shape;
    shape.points = {*a, *b};
    out.push_back(std::move(shape));
}

void CircleOrArc(const Fields& f, bool arc, std::vector<KeptShape>& out) {
    auto c = f.point(10);
    double radius = f.real(40, 0.0);
    if (!c || !(radius > 0.0))
        return;
    Plane plane(f.normal());
    AcGePoint3d center = plane.toWorld(c->x, c->y, c->z);
    if (!arc) {
        KeptShape shape;
        shape.kind = KeptShape::Kind::Circle;
        shape.center = center;
        shape.radius = radius;
        shape.normal = plane.normal;
        out.push_back(std::move(shape));
        return;
    }
    double start = f.real(50, 0.0), end = f.real(51, 360.0);
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0.0)
        sweep += 360.0;
    out.push_back(ArcShape(center, radius, plane.normal, plane.direction(start * kDegrees) * radius,
                           sweep * kDegrees));
}

void LightweightPolyline(const Fields& f, std::vector<KeptShape>& out) {
    std::vector<Vertex> vertices;
    // Each vertex starts with its 10; its 20 and 42 follow before the next 10.
    for (const Tag* tag : f.tags()) {
        double value = 0.0;
        if (tag->code != 10 && tag->code != 20 && tag->code != 42)
            continue;
        if (!ParseReal(tag->value, value) || !std::isfinite(value))
            return;
        if (tag->code == 10)
            vertices.push_back({AcGePoint3d(value, 0.0, 0.0), 0.0});
        else if (vertices.empty())
            return;
        else if (tag->code == 20)
            vertices.back().point.y = value;
        else
            vertices.back().bulge = value;
    }
    Plane plane(f.normal());
    AddPolyline(vertices, (f.integer(70, 0) & 1) != 0, &plane, f.real(38, 0.0), out);
}

void Polyline(const Tags& tags, std::vector<KeptShape>& out) {
    // The polyline's own tags end at its first VERTEX; each vertex's at the next 0 tag.
    std::size_t end = 0;
    while (end < tags.size() && tags[end].code != 0)
        ++end;
    Fields f(tags, 0, end);
    long long flags = f.integer(70, 0);
    if (flags & (16 | 64))
        return; // meshes and polyface meshes are surfaces, not outlines
    bool threeD = (flags & 8) != 0;
    std::vector<Vertex> vertices;
    for (std::size_t i = end; i < tags.size();) {
        std::size_t next = i + 1;
        while (next < tags.size() && tags[next].code != 0)
            ++next;
        if (tags[i].value == "VERTEX") {
            Fields v(tags, i + 1, next);
            // Spline frame points are not on the curve.
            if (auto p = v.point(10); p && !(v.integer(70, 0) & 16))
                vertices.push_back({*p, v.real(42, 0.0)});
        }
        i = next;
    }
    Plane plane(f.normal());
    double elevation = f.point(10).value_or(AcGePoint3d::kOrigin).z;
    AddPolyline(vertices, (flags & 1) != 0, threeD ? nullptr : &plane, elevation, out);
}

void Text(const Fields& f, std::vector<KeptShape>& out) {
    const std::string* string = f.text(1);
    double height = f.real(40, 0.0);
    auto insertion = f.point(10);
    if (!string || !insertion || !(height > 0.0))
        return;
    Plane plane(f.normal());
    long long horizontal = f.integer(72, 0), vertical = f.integer(73, 0);
    // Centred, right, middle and vertically aligned texts hang from their alignment point;
    // left, aligned and fitted ones start at the insertion point.
    bool aligned = (horizontal == 1 || horizontal == 2 || horizontal == 4 || vertical != 0);
    AcGePoint3d at = aligned ? f.point(11).value_or(*insertion) : *insertion;
    int column = horizontal == 1 || horizontal == 4 ? 1 : horizontal == 2 ? 2 : 0;
    int row = horizontal == 4 || vertical == 2 ? 1 : vertical == 3 ? 0 : 2;

    KeptShape shape;
    shape.kind = KeptShape::Kind::Text;
    shape.location = plane.toWorld(at.x, at.y, at.z);
    shape.normal = plane.normal;
    shape.direction = plane.direction(f.real(50, 0.0) * kDegrees);
    shape.attachment = row * 3 + column + 1;
    shape.height = height;
    std::string format;
    double widthFactor = f.real(41, 1.0);
    if (widthFactor > 0.0 && widthFactor != 1.0)
        format += "\\W" + FormatReal(widthFactor) + ";";
    if (double oblique = f.real(51, 0.0); oblique != 0.0)
        format += "\\Q" + FormatReal(oblique) + ";";
    shape.contents = format + TextStringAsMText(*string);
    out.push_back(std::move(shape));
}

} // namespace

std::string TextStringAsMText(const std::string& text) {
    std::string out;
    bool underline = false, overline = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size() && text[i + 1] == '%') {
            char code = text[i + 2];
            switch (code) {
            case 'u':
            case 'U':
                out += (underline = !underline) ? "\\L" : "\\l";
                i += 2;
                continue;
            case 'o':
            case 'O':
                out += (overline = !overline) ? "\\O" : "\\o";
                i += 2;
                continue;
            case '%':
                out += '%';
                i += 2;
                continue;
            default:
                if (code >= '0' && code <= '9') {
                    // %%nnn: the character of that number.
                    std::size_t digits = 0;
                    while (digits < 3 && i + 2 + digits < text.size() &&
                           text[i + 2 + digits] >= '0' && text[i + 2 + digits] <= '9')
                        ++digits;
                    int number = std::atoi(text.substr(i + 2, digits).c_str());
                    if (number >= 32 && number < 127)
                        out += static_cast<char>(number);
                    i += 1 + digits;
                    continue;
                }
                break; // %%d, %%p and %%c read the same in MText
            }
        }
        if (c == '\\') {
            // \U+XXXX names a character in both formats; any other backslash is a character.
            bool unicode = i + 2 < text.size() && (text[i + 1] == 'U' || text[i + 1] == 'M') &&
                           text[i + 2] == '+';
            out += unicode ? "\\" : "\\\\";
            continue;
        }
        if (c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}

std::vector<KeptShape> ShapesOfKept(const KeptTags& kept) {
    std::vector<KeptShape> shapes;
    const std::string& type = kept.type;
    if (type == "POLYLINE") {
        Polyline(kept.tags(), shapes);
        return shapes;
    }
    Fields fields(kept.tags(), 0, kept.tags().size());
    if (type == "LINE")
        Line(fields, shapes);
    else if (type == "CIRCLE")
        CircleOrArc(fields, false, shapes);
    else if (type == "ARC")
        CircleOrArc(fields, true, shapes);
    else if (type == "LWPOLYLINE")
        LightweightPolyline(fields, shapes);
    else if (type == "TEXT")
        Text(fields, shapes);
    return shapes;
}

} // namespace cadhost::db::dxf
