#include "text/svgexport.h"

#include "text/acicolor.h"
#include "text/mtextlayout.h"
#include "text/utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace cadhost::text {

namespace {

constexpr double kPictureSize = 1000.0; // pixels along the picture's longer side
constexpr double kMarginShare = 0.05;   // of the drawing's larger extent, on every side
constexpr double kStackScale = 0.7;

std::string Num(double value) {
    if (!std::isfinite(value) || std::fabs(value) < 1e-12)
        value = 0.0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = NextUtf8(text, pos);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Characters XML cannot hold become the replacement character.
            if ((c < 0x20 && c != '\t') || c == 0xFFFE || c == 0xFFFF)
                c = kReplacementChar;
            AppendUtf8(out, c);
            break;
        }
    }
}

std::string Escaped(std::string_view text) {
    std::string out;
    AppendEscaped(out, text);
    return out;
}

std::string HexColor(int red, int green, int blue) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", red & 0xFF, green & 0xFF, blue & 0xFF);
    return buffer;
}

std::string HexColor(Rgb rgb) {
    return HexColor(rgb.red, rgb.green, rgb.blue);
}

std::string IndexColor(int index) {
    return HexColor(PaperColor(index));
}

std::string RunColor(const MTextColor& color, int entityIndex) {
    return HexColor(PaperColor(color, entityIndex));
}

struct Bounds {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();
    void add(const Vec3& p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return;
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    bool empty() const { return !(minX <= maxX); }
};

// World x, y to the picture's coordinates (y down), in drawing units.
struct PictureMap {
    double minX = 0.0, maxY = 0.0, margin = 0.0;
    double x(const Vec3& p) const { return p.x - minX + margin; }
    double y(const Vec3& p) const { return maxY - p.y + margin; }
};

class SvgWriter {
public:
    SvgWriter(std::string& out, const PictureMap& map, double pixel)
        : m_out(out), m_map(map), m_pixel(pixel) {}

    void line(const Vec3& a, const Vec3& b, const std::string& color, double strokeWidth,
              const std::string& attributes = {}) {
        m_out += "<line" + attributes + " x1=\"" + Num(m_map.x(a)) + "\" y1=\"" + Num(m_map.y(a)) +
                 "\" x2=\"" + Num(m_map.x(b)) + "\" y2=\"" + Num(m_map.y(b)) + "\" stroke=\"" +
                 color + "\" stroke-width=\"" + Num(strokeWidth) + "\"/>\n";
    }

    void circle(const DrawingItem& item) {
        m_out += "<circle" + handleAttribute(item) + " cx=\"" + Num(m_map.x(item.start)) +
                 "\" cy=\"" + Num(m_map.y(item.start)) + "\" r=\"" + Num(item.radius) +
                 "\" fill=\"none\" stroke=\"" + IndexColor(item.colorIndex) + "\" stroke-width=\"" +
                 Num(m_pixel) + "\"/>\n";
    }

    // Seen from above, an arc in a horizontal plane is an arc of the picture; in any other
    // plane it is drawn through points along it.
    void arc(const DrawingItem& item) {
        std::string d;
        Vec3 from = ArcPoint(item, 0.0), to = ArcPoint(item, item.sweep);
        double nz = item.normal.z / std::sqrt(std::max(Dot(item.normal, item.normal), 1e-300));
        if (std::fabs(nz) > 1.0 - 1e-9 && std::fabs(item.sweep) < 2.0 * std::numbers::pi - 1e-9) {
            // The picture's y runs down, which turns the world's counterclockwise around.
            bool clockwiseInPicture = (item.sweep > 0.0) == (nz > 0.0);
            d = "M " + Num(m_map.x(from)) + " " + Num(m_map.y(from)) + " A " + Num(item.radius) +
                " " + Num(item.radius) + " 0 " +
                (std::fabs(item.sweep) > std::numbers::pi ? "1" : "0") + " " +
                (clockwiseInPicture ? "1" : "0") + " " + Num(m_map.x(to)) + " " + Num(m_map.y(to));
        } else {
            for (const Vec3& p : ArcPoints(item))
                d += (d.empty() ? "M " : " L ") + Num(m_map.x(p)) + " " + Num(m_map.y(p));
        }
        m_out += "<path" + handleAttribute(item) + " d=\"" + d + "\" fill=\"none\" stroke=\"" +
                 IndexColor(item.colorIndex) + "\" stroke-width=\"" + Num(m_pixel) + "\"/>\n";
    }

    void mtext(const DrawingItem& item, const MTextLayout& layout) {
        TextFrame frame = FrameOf(item.placement, layout.width, layout.height);
        m_out += "<g class=\"mtext\"" + handleAttribute(item) + ">\n";
        for (const LaidOutLine& line : layout.lines) {
            for (const LaidOutRun& run : line.runs) {
                if (run.kind == LaidOutRun::Kind::Stack)
                    stack(item, layout, frame, run);
                else
                    text(item, layout, frame, run);
            }
        }
        m_out += "</g>\n";
    }

    void lineItem(const DrawingItem& item) {
        line(item.start, item.end, IndexColor(item.colorIndex), m_pixel, handleAttribute(item));
    }

private:
    static std::string handleAttribute(const DrawingItem& item) {
        return item.handle.empty() ? std::string()
                                   : " data-handle=\"" + Escaped(item.handle) + "\"";
    }

    // A text element whose own coordinates are glyph space: x along the baseline (before the
    // width factor), y down, the origin at (x, baseline) of the layout.
    void openText(const MTextLayout& layout, const TextFrame& frame, const MTextCharFormat& format,
                  double x, double baseline, double sizeScale, const std::string& color) {
        const LaidOutFace& face = layout.faces[format.font];
        Vec3 origin = frame.toWorld(x, baseline);
        // The frame's axes in the picture (whose y runs down): x along the text, down the text.
        double exX = frame.xAxis.x, exY = -frame.xAxis.y;
        double downX = -frame.yAxis.x, downY = frame.yAxis.y;
        double slant = std::tan(format.obliqueDegrees * std::numbers::pi / 180.0);
        double w = format.widthFactor;
        m_out += "<text transform=\"matrix(" + Num(w * exX) + " " + Num(w * exY) + " " +
                 Num(downX - slant * exX) + " " + Num(downY - slant * exY) + " " +
                 Num(m_map.x(origin)) + " " + Num(m_map.y(origin)) + ")\" font-family=\"" +
                 Escaped(face.family) + "\" font-size=\"" +
                 Num(format.height * face.emPerHeight * sizeScale) + "\"";
        if (face.bold)
            m_out += " font-weight=\"bold\"";
        if (face.italic)
            m_out += " font-style=\"italic\"";
        m_out += " fill=\"" + color + "\"";
    }

    void text(const DrawingItem& item, const MTextLayout& layout, const TextFrame& frame,
              const LaidOutRun& run) {
        std::string color = RunColor(run.format.color, item.colorIndex);
        openText(layout, frame, run.format, run.x, run.baseline, 1.0, color);
        // Every character at the position the layout gave it: the picture cannot wrap or
        // space the text differently from what was measured.
        m_out += " x=\"";
        for (std::size_t i = 0; i < run.charX.size(); ++i) {
            if (i)
                m_out += ' ';
            m_out += Num(run.charX[i] / run.format.widthFactor);
        }
        m_out += "\" y=\"0\" xml:space=\"preserve\">";
        AppendEscaped(m_out, run.text);
        m_out += "</text>\n";
        decorations(frame, run, color);
    }

    void decorations(const TextFrame& frame, const LaidOutRun& run, const std::string& color) {
        double h = run.format.height;
        double thickness = h * 0.07;
        auto stroke = [&](double above) {
            line(frame.toWorld(run.x, run.baseline + above),
                 frame.toWorld(run.x + run.width, run.baseline + above), color, thickness);
        };
        if (run.format.underline)
            stroke(-0.2 * h);
        if (run.format.overline)
            stroke(1.15 * h);
        if (run.format.strike)
            stroke(0.5 * h);
    }

    void part(const MTextLayout& layout, const TextFrame& frame, const LaidOutRun& run,
              const std::string& text, double x, double above, double scale, const char* anchor,
              const std::string& color) {
        if (text.empty())
            return;
        openText(layout, frame, run.format, x, run.baseline + above, scale, color);
        m_out +=
            std::string(" text-anchor=\"") + anchor + "\" x=\"0\" y=\"0\" xml:space=\"preserve\">";
        AppendEscaped(m_out, text);
        m_out += "</text>\n";
    }

    void stack(const DrawingItem& item, const MTextLayout& layout, const TextFrame& frame,
               const LaidOutRun& run) {
        std::string color = RunColor(run.format.color, item.colorIndex);
        double h = run.format.height;
        double middle = run.x + run.width / 2.0;
        switch (run.stackType) {
        case '/':
        case '^':
            part(layout, frame, run, run.text, middle, 0.55 * h, kStackScale, "middle", color);
            part(layout, frame, run, run.lower, middle, -0.35 * h, kStackScale, "middle", color);
            if (run.stackType == '/')
                line(frame.toWorld(run.x, run.baseline + 0.45 * h),
                     frame.toWorld(run.x + run.width, run.baseline + 0.45 * h), color, h * 0.06);
            break;
        case '#':
            part(layout, frame, run, run.text, run.x, 0.3 * h, kStackScale, "start", color);
            part(layout, frame, run, "/", middle, 0.0, kStackScale, "middle", color);
            part(layout, frame, run, run.lower, run.x + run.width, 0.0, kStackScale, "end", color);
            break;
        default:
            part(layout, frame, run, run.text, run.x, 0.0, 1.0, "start", color);
            break;
        }
    }

    std::string& m_out;
    const PictureMap& m_map;
    double m_pixel;
};

void AddLayoutBounds(Bounds& bounds, const MTextLayout& layout, const TextFrame& frame) {
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const LaidOutLine& line = layout.lines[i];
        if (line.runs.empty())
            continue;
        // Room above for overlines and stacks, below for descenders.
        double top = line.top + 0.3 * line.height;
        double bottom = line.baseline - 0.4 * line.height;
        bounds.add(frame.toWorld(line.left, top));
        bounds.add(frame.toWorld(line.right, top));
        bounds.add(frame.toWorld(line.left, bottom));
        bounds.add(frame.toWorld(line.right, bottom));
    }
}

} // namespace

Vec3 ArcPoint(const DrawingItem& arc, double angle) {
    double nn = Dot(arc.normal, arc.normal);
    Vec3 n = nn > 0.0 ? arc.normal * (1.0 / std::sqrt(nn)) : Vec3{0.0, 0.0, 1.0};
    Vec3 x = arc.startVector - n * Dot(arc.startVector, n);
    double xx = Dot(x, x);
    x = xx > 0.0 ? x * (1.0 / std::sqrt(xx)) : Vec3{1.0, 0.0, 0.0};
    Vec3 y = Cross(n, x);
    return arc.start + (x * std::cos(angle) + y * std::sin(angle)) * arc.radius;
}

std::vector<Vec3> ArcPoints(const DrawingItem& arc) {
    double sweep = std::clamp(arc.sweep, -2.0 * std::numbers::pi, 2.0 * std::numbers::pi);
    int steps = std::clamp(static_cast<int>(std::ceil(std::fabs(sweep) * 12.0)), 1, 100);
    std::vector<Vec3> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i)
        points.push_back(ArcPoint(arc, sweep * i / steps));
    return points;
}

std::string ExportSvg(const std::vector<DrawingItem>& items) {
    std::vector<MTextLayout> layouts(items.size());
    Bounds bounds;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DrawingItem& item = items[i];
        switch (item.kind) {
        case DrawingItem::Kind::MText:
            layouts[i] =
                LayOutMText(item.contents, item.textHeight, item.placement.width, item.styleFont);
            AddLayoutBounds(bounds, layouts[i],
                            FrameOf(item.placement, layouts[i].width, layouts[i].height));
            break;
        case DrawingItem::Kind::Line:
            bounds.add(item.start);
            bounds.add(item.end);
            break;
        case DrawingItem::Kind::Circle:
            bounds.add(item.start + Vec3{item.radius, item.radius, 0.0});
            bounds.add(item.start - Vec3{item.radius, item.radius, 0.0});
            break;
        case DrawingItem::Kind::Arc:
            for (const Vec3& p : ArcPoints(item))
                bounds.add(p);
            break;
        }
    }
    if (bounds.empty()) {
        bounds.add({0.0, 0.0, 0.0});
        bounds.add({1.0, 1.0, 0.0});
    }
    double extent = std::max(bounds.maxX - bounds.minX, bounds.maxY - bounds.minY);
    if (!(extent > 0.0))
        extent = 1.0;
    PictureMap map{bounds.minX, bounds.maxY, extent * kMarginShare};
    double width = bounds.maxX - bounds.minX + 2.0 * map.margin;
    double height = bounds.maxY - bounds.minY + 2.0 * map.margin;
    double pixelsPerUnit = kPictureSize / std::max(width, height);
    double pixel = 1.0 / pixelsPerUnit;

    std::string out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           Num(std::round(width * pixelsPerUnit)) + "\" height=\"" +
           Num(std::round(height * pixelsPerUnit)) + "\" viewBox=\"0 0 " + Num(width) + " " +
           Num(height) + "\">\n";
    out += "<rect x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
           "\" fill=\"#ffffff\"/>\n";
    SvgWriter writer(out, map, pixel);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DrawingItem& item = items[i];
        switch (item.kind) {
        case DrawingItem::Kind::MText:
            writer.mtext(item, layouts[i]);
            break;
        case DrawingItem::Kind::Line:
            writer.lineItem(item);
            break;
        case DrawingItem::Kind::Circle:
            writer.circle(item);
            break;
        case DrawingItem::Kind::Arc:
            writer.arc(item);
            break;
        }
    }
    out += "</svg>\n";
    return out;
}

} // namespace cadhost::text
