#include "text/svgexport.h"

#include "text/acicolor.h"
#include "text/mtextlayout.h"
#include "text/utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <ostream>

namespace cadhost::text {

namespace {

constexpr double kPictureSize = 1000.0; // pixels along the picture's longer side
constexpr double kMarginShare = 0.05;   // of the drawing's larger extent, on every side
constexpr double kStackScale = 0.7;
// Pictures of pixels draw a run whose font size (its em, about the height from the lowest
// descender to the highest accent) is less than this many pixels as a band: its letters are
// lower than a pixel, and no pixel could show one of them apart from its neighbours.
constexpr double kSmallestDrawnEm = 1.0;
// The share of a band, from the baseline to the text height and along the run's advance,
// that letters of body text ink (measured on pictures of ordinary sentences).
constexpr double kInkShare = 0.28;
// The document is handed to its stream in pieces of about this size.
constexpr std::size_t kFlushBytes = 1 << 16;

void AppendNum(std::string& out, double value) {
    if (!std::isfinite(value) || std::fabs(value) < 1e-12)
        value = 0.0;
    char buffer[32];
    // As "%.10g" writes it (the C locale's form, which to_chars always uses).
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 10);
    out.append(buffer, result.ptr);
}

std::string Num(double value) {
    std::string out;
    AppendNum(out, value);
    return out;
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

// The document as it is written: kept whole for a string, or handed to a stream in pieces.
class SvgOut {
public:
    explicit SvgOut(std::string& whole) : m_text(whole) {}
    explicit SvgOut(std::ostream& stream) : m_text(m_buffer), m_stream(&stream) {}

    std::string& text() { return m_text; }
    // At a point between elements: hands what was written to the stream once it is large.
    void piece() {
        if (m_stream && m_text.size() >= kFlushBytes)
            flush();
    }
    bool finish() {
        if (m_stream) {
            flush();
            m_stream->flush();
            return m_stream->good();
        }
        return true;
    }

private:
    void flush() {
        m_stream->write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
        m_text.clear();
    }

    std::string m_buffer;
    std::string& m_text;
    std::ostream* m_stream = nullptr;
};

class SvgWriter {
public:
    SvgWriter(SvgOut& out, const PictureMap& map, double pixel, PictureDetail detail)
        : m_sink(out), m_out(out.text()), m_map(map), m_pixel(pixel), m_detail(detail) {}

    void line(const Vec3& a, const Vec3& b, const std::string& color, double strokeWidth,
              const std::string& attributes = {}) {
        m_out += "<line";
        m_out += attributes;
        m_out += " x1=\"";
        AppendNum(m_out, m_map.x(a));
        m_out += "\" y1=\"";
        AppendNum(m_out, m_map.y(a));
        m_out += "\" x2=\"";
        AppendNum(m_out, m_map.x(b));
        m_out += "\" y2=\"";
        AppendNum(m_out, m_map.y(b));
        m_out += "\" stroke=\"";
        m_out += color;
        m_out += "\" stroke-width=\"";
        AppendNum(m_out, strokeWidth);
        m_out += "\"/>\n";
        m_sink.piece();
    }

    void circle(const DrawingItem& item) {
        m_out += "<circle" + handleAttribute(item) + " cx=\"" + Num(m_map.x(item.start)) +
                 "\" cy=\"" + Num(m_map.y(item.start)) + "\" r=\"" + Num(item.radius) +
                 "\" fill=\"none\" stroke=\"" + IndexColor(item.colorIndex) + "\" stroke-width=\"" +
                 Num(m_pixel) + "\"/>\n";
        m_sink.piece();
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
        m_sink.piece();
    }

    // `extents` is the text's layout without runs; the runs are laid out again line by line.
    void mtext(const DrawingItem& item, const MTextLayout& extents) {
        TextFrame frame = FrameOf(item.placement, extents.width, extents.height);
        m_out += "<g class=\"mtext\"" + handleAttribute(item) + ">\n";
        // A text all of whose letters are too small to draw is drawn without them.
        bool letters = m_detail == PictureDetail::Full || !allTooSmall(extents);
        ForEachMTextLine(
            item.contents, item.textHeight, item.placement.width, item.styleFont, extents,
            [&](const LaidOutLine& line) {
                for (const LaidOutRun& run : line.runs) {
                    if (m_detail == PictureDetail::Pixels && tooSmall(extents, run.format))
                        band(item, frame, run);
                    else if (run.kind == LaidOutRun::Kind::Stack)
                        stack(item, extents, frame, run);
                    else
                        text(item, extents, frame, run);
                }
                m_sink.piece();
            },
            letters);
        endBand(frame);
        m_out += "</g>\n";
        m_sink.piece();
    }

    void lineItem(const DrawingItem& item) {
        line(item.start, item.end, IndexColor(item.colorIndex), m_pixel, handleAttribute(item));
    }

private:
    // The bands of runs too small to show their letters, in the text's own coordinates:
    // those of consecutive runs of one colour whose baselines lie in one pixel's row (counted
    // down the text) make one band.
    struct Band {
        bool open = false;
        std::string color;
        double row = 0.0;
        double left = 0.0, right = 0.0, bottom = 0.0, top = 0.0;
        double ink = 0.0; // area that letters cover
    };

    bool tooSmall(const MTextLayout& layout, const MTextCharFormat& format) const {
        double em = format.height * layout.faces[format.font].emPerHeight;
        return em < kSmallestDrawnEm * m_pixel;
    }

    // No run is higher than its line, nor its face's em larger than the largest.
    bool allTooSmall(const MTextLayout& layout) const {
        double tallest = 0.0, emPerHeight = 0.0;
        for (const LaidOutLine& line : layout.lines)
            tallest = std::max(tallest, line.height);
        for (const LaidOutFace& face : layout.faces)
            emPerHeight = std::max(emPerHeight, face.emPerHeight);
        return tallest * emPerHeight < kSmallestDrawnEm * m_pixel;
    }

    static std::string handleAttribute(const DrawingItem& item) {
        return item.handle.empty() ? std::string()
                                   : " data-handle=\"" + Escaped(item.handle) + "\"";
    }

    // A text element whose own coordinates are glyph space: x along the baseline (before the
    // width factor), y down, the origin at (x, baseline) of the layout.
    void openText(const MTextLayout& layout, const TextFrame& frame, const MTextCharFormat& format,
                  double x, double baseline, double sizeScale, const std::string& color) {
        endBand(frame);
        const LaidOutFace& face = layout.faces[format.font];
        Vec3 origin = frame.toWorld(x, baseline);
        // The frame's axes in the picture (whose y runs down): x along the text, down the text.
        double exX = frame.xAxis.x, exY = -frame.xAxis.y;
        double downX = -frame.yAxis.x, downY = frame.yAxis.y;
        double slant = std::tan(format.obliqueDegrees * std::numbers::pi / 180.0);
        double w = format.widthFactor;
        m_out += "<text transform=\"matrix(";
        for (double value :
             {w * exX, w * exY, downX - slant * exX, downY - slant * exY, m_map.x(origin)}) {
            AppendNum(m_out, value);
            m_out += ' ';
        }
        AppendNum(m_out, m_map.y(origin));
        m_out += ")\" font-family=\"";
        AppendEscaped(m_out, face.family);
        m_out += "\" font-size=\"";
        AppendNum(m_out, format.height * face.emPerHeight * sizeScale);
        m_out += '"';
        if (face.bold)
            m_out += " font-weight=\"bold\"";
        if (face.italic)
            m_out += " font-style=\"italic\"";
        m_out += " fill=\"";
        m_out += color;
        m_out += '"';
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
            AppendNum(m_out, run.charX[i] / run.format.widthFactor);
        }
        m_out += "\" y=\"0\" xml:space=\"preserve\">";
        AppendEscaped(m_out, run.text);
        m_out += "</text>\n";
        decorations(frame, run, color);
    }

    void decorations(const TextFrame& frame, const LaidOutRun& run, const std::string& color) {
        ForEachDecoration(run, [&](double above, double thickness) {
            line(frame.toWorld(run.x, run.baseline + above),
                 frame.toWorld(run.x + run.width, run.baseline + above), color, thickness);
        });
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

    // A run too small to show its letters: its ink, spread over the band from its baseline
    // to its text height.  Decorations, thinner still, are part of that grey.
    void band(const DrawingItem& item, const TextFrame& frame, const LaidOutRun& run) {
        double left = run.x, right = run.x + run.width;
        double bottom = run.baseline, top = run.baseline + run.format.height;
        if (!(right > left) || !(top > bottom))
            return;
        std::string color = RunColor(run.format.color, item.colorIndex);
        double row = std::floor(-run.baseline / m_pixel);
        Band& b = m_band;
        if (b.open && (b.color != color || b.row != row))
            endBand(frame);
        if (!b.open) {
            b = Band{true, std::move(color), row, left, right, bottom, top, 0.0};
        } else {
            b.left = std::min(b.left, left);
            b.right = std::max(b.right, right);
            b.bottom = std::min(b.bottom, bottom);
            b.top = std::max(b.top, top);
        }
        b.ink += (right - left) * (top - bottom) * kInkShare;
    }

    void endBand(const TextFrame& frame) {
        Band& b = m_band;
        if (!b.open)
            return;
        b.open = false;
        double area = (b.right - b.left) * (b.top - b.bottom);
        m_out += "<path d=\"M";
        const Vec3 corners[] = {frame.toWorld(b.left, b.bottom), frame.toWorld(b.right, b.bottom),
                                frame.toWorld(b.right, b.top), frame.toWorld(b.left, b.top)};
        for (std::size_t i = 0; i < 4; ++i) {
            m_out += i == 0 ? " " : " L ";
            AppendNum(m_out, m_map.x(corners[i]));
            m_out += ' ';
            AppendNum(m_out, m_map.y(corners[i]));
        }
        m_out += " Z\" fill=\"";
        m_out += b.color;
        m_out += "\" fill-opacity=\"";
        AppendNum(m_out, std::round(std::min(1.0, b.ink / area) * 1000.0) / 1000.0);
        m_out += "\"/>\n";
    }

    SvgOut& m_sink;
    std::string& m_out;
    const PictureMap& m_map;
    double m_pixel;
    PictureDetail m_detail;
    Band m_band;
};

void AddLayoutBounds(Bounds& bounds, const MTextLayout& layout, const TextFrame& frame) {
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const LaidOutLine& line = layout.lines[i];
        if (!line.shows)
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

bool Write(const std::vector<DrawingItem>& items, SvgOut& sink, PictureDetail detail) {
    // The texts are laid out for the frame without their runs; each is laid out again line by
    // line as it is drawn.
    std::vector<MTextLayout> layouts(items.size());
    Bounds bounds;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DrawingItem& item = items[i];
        switch (item.kind) {
        case DrawingItem::Kind::MText:
            layouts[i] = LayOutMTextExtents(item.contents, item.textHeight, item.placement.width,
                                            item.styleFont);
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

    std::string& out = sink.text();
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           Num(std::round(width * pixelsPerUnit)) + "\" height=\"" +
           Num(std::round(height * pixelsPerUnit)) + "\" viewBox=\"0 0 " + Num(width) + " " +
           Num(height) + "\">\n";
    out += "<rect x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
           "\" fill=\"#ffffff\"/>\n";
    SvgWriter writer(sink, map, pixel, detail);
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
    return sink.finish();
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

std::string SvgNumber(double value) {
    return Num(value);
}

std::string ExportSvg(const std::vector<DrawingItem>& items, PictureDetail detail) {
    std::string out;
    SvgOut sink(out);
    Write(items, sink, detail);
    return out;
}

bool WriteSvg(const std::vector<DrawingItem>& items, std::ostream& out, PictureDetail detail) {
    SvgOut sink(out);
    return Write(items, sink, detail);
}

} // namespace cadhost::text
