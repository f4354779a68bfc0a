#include "gui/preparedtext.h"

#include "text/utf8.h"

#include <QFont>

#include <algorithm>
#include <map>
#include <tuple>

namespace cadhost::gui {

namespace {

constexpr double kStackScale = 0.7; // as EXPORT draws stacked parts

std::u32string CharsOf(const std::string& utf8) {
    std::u32string out;
    for (std::size_t pos = 0; pos < utf8.size();)
        out.push_back(text::NextUtf8(utf8, pos));
    return out;
}

// The glyph of each character in the face (0 where it has none).
QList<quint32> GlyphsOf(const QRawFont& face, const std::u32string& chars) {
    QList<quint32> glyphs(static_cast<qsizetype>(chars.size()), 0);
    if (!face.isValid() || chars.empty())
        return glyphs;
    QString string;
    string.reserve(static_cast<qsizetype>(chars.size()));
    bool narrow = true;
    for (char32_t c : chars) {
        if (c > 0xFFFF)
            narrow = false;
        string.append(QChar::fromUcs4(c));
    }
    int count = static_cast<int>(glyphs.size());
    if (narrow &&
        face.glyphIndexesForChars(string.constData(), static_cast<int>(string.size()),
                                  glyphs.data(), &count) &&
        count == static_cast<int>(chars.size()))
        return glyphs;
    // Characters beyond the basic plane take two string units: one character at a time.
    for (std::size_t i = 0; i < chars.size(); ++i) {
        QString one = QString::fromUcs4(&chars[i], 1);
        quint32 glyph = 0;
        int n = 1;
        if (face.glyphIndexesForChars(one.constData(), static_cast<int>(one.size()), &glyph, &n))
            glyphs[static_cast<qsizetype>(i)] = glyph;
    }
    return glyphs;
}

void NoteMissing(GlyphPiece& piece, const std::u32string& chars) {
    for (std::size_t i = 0; i < chars.size(); ++i)
        if (piece.glyphs[static_cast<qsizetype>(i)] == 0 && chars[i] != ' ' && chars[i] != '\t')
            piece.missing.emplace_back(i, chars[i]);
}

class Preparer {
public:
    explicit Preparer(PreparedText& out) : m_out(out) {}

    void run(const text::LaidOutRun& run) {
        if (run.kind == text::LaidOutRun::Kind::Text) {
            GlyphPiece piece = start(run, run.x, run.baseline, 1.0);
            std::u32string chars = CharsOf(run.text);
            piece.glyphs = GlyphsOf(face(piece), chars);
            piece.xs = run.charX;
            piece.xs.resize(chars.size(), run.charX.empty() ? 0.0 : run.charX.back());
            piece.width = run.width;
            NoteMissing(piece, chars);
            m_out.pieces.push_back(std::move(piece));
        } else {
            stack(run);
        }
        decorations(run);
    }

private:
    const QRawFont& face(const GlyphPiece& piece) const {
        return Face(piece.face >= 0 && static_cast<std::size_t>(piece.face) < m_out.faces.size()
                        ? m_out.faces[static_cast<std::size_t>(piece.face)]
                        : -1);
    }

    double emPerHeight(int faceIndex) const {
        return faceIndex >= 0 && static_cast<std::size_t>(faceIndex) < m_out.faceInfo.size()
                   ? m_out.faceInfo[static_cast<std::size_t>(faceIndex)].emPerHeight
                   : 1.0;
    }

    GlyphPiece start(const text::LaidOutRun& run, double x, double baseline, double scale) {
        GlyphPiece piece;
        piece.face = run.format.font;
        piece.format = run.format;
        piece.x = x;
        piece.baseline = baseline;
        piece.sizeScale = scale;
        return piece;
    }

    // A part of a stack, placed by its anchor (0 its start, 0.5 its middle, 1 its end) as
    // the picture's text anchors place it.
    void part(const text::LaidOutRun& run, const std::string& utf8, double anchorX, double above,
              double scale, double anchor) {
        if (utf8.empty())
            return;
        GlyphPiece piece = start(run, anchorX, run.baseline + above, scale);
        std::u32string chars = CharsOf(utf8);
        const QRawFont& raw = face(piece);
        piece.glyphs = GlyphsOf(raw, chars);
        // Advances of the face, in its ems, as a renderer spaces the part.
        QList<QPointF> advances = raw.isValid() ? raw.advancesForGlyphIndexes(piece.glyphs)
                                                : QList<QPointF>(piece.glyphs.size());
        double emSize = run.format.height * emPerHeight(piece.face) * scale;
        double unit = emSize * run.format.widthFactor / kReferencePixels;
        double x = 0.0;
        for (const QPointF& advance : advances) {
            piece.xs.push_back(x);
            x += advance.x() * unit;
        }
        piece.x -= x * anchor;
        piece.width = x;
        NoteMissing(piece, chars);
        m_out.pieces.push_back(std::move(piece));
    }

    void stack(const text::LaidOutRun& run) {
        double h = run.format.height;
        double middle = run.x + run.width / 2.0;
        switch (run.stackType) {
        case '/':
        case '^':
            part(run, run.text, middle, 0.55 * h, kStackScale, 0.5);
            part(run, run.lower, middle, -0.35 * h, kStackScale, 0.5);
            if (run.stackType == '/')
                m_out.strokes.push_back({run.x, run.x + run.width, run.baseline + 0.45 * h,
                                         h * 0.06, run.format.color});
            break;
        case '#':
            part(run, run.text, run.x, 0.3 * h, kStackScale, 0.0);
            part(run, "/", middle, 0.0, kStackScale, 0.5);
            part(run, run.lower, run.x + run.width, 0.0, kStackScale, 1.0);
            break;
        default:
            part(run, run.text, run.x, 0.0, 1.0, 0.0);
            break;
        }
    }

    void decorations(const text::LaidOutRun& run) {
        text::ForEachDecoration(run, [&](double above, double thickness) {
            m_out.strokes.push_back(
                {run.x, run.x + run.width, run.baseline + above, thickness, run.format.color});
        });
    }

    PreparedText& m_out;
};

} // namespace

namespace {

struct LoadedFaces {
    std::map<std::tuple<std::string, std::string, bool, bool>, int> numbers;
    std::vector<QRawFont> faces;
};

// Kept to the very end of the process: Qt's font machinery, which a face's destructor
// would call into, is itself torn down by then.
LoadedFaces& Loaded() {
    static LoadedFaces* loaded = new LoadedFaces;
    return *loaded;
}

QRawFont Load(const text::LaidOutFace& face) {
    QRawFont raw;
    if (!face.file.empty())
        raw = QRawFont(QString::fromStdString(face.file), kReferencePixels, QFont::PreferNoHinting);
    if (raw.isValid())
        return raw;
    QFont font(QString::fromStdString(face.family));
    font.setBold(face.bold);
    font.setItalic(face.italic);
    font.setPixelSize(static_cast<int>(kReferencePixels));
    font.setHintingPreference(QFont::PreferNoHinting);
    return QRawFont::fromFont(font);
}

} // namespace

int FaceNumber(const text::LaidOutFace& face) {
    LoadedFaces& loaded = Loaded();
    auto key = std::make_tuple(face.file, face.family, face.bold, face.italic);
    auto it = loaded.numbers.find(key);
    if (it != loaded.numbers.end())
        return it->second;
    loaded.faces.push_back(Load(face));
    int number = static_cast<int>(loaded.faces.size() - 1);
    loaded.numbers.emplace(std::move(key), number);
    return number;
}

const QRawFont& Face(int number) {
    static const QRawFont* none = new QRawFont;
    const LoadedFaces& loaded = Loaded();
    return number >= 0 && static_cast<std::size_t>(number) < loaded.faces.size()
               ? loaded.faces[static_cast<std::size_t>(number)]
               : *none;
}

std::shared_ptr<const PreparedText> PrepareText(const std::string& contents, double textHeight,
                                                double width, const std::string& styleFont) {
    auto out = std::make_shared<PreparedText>();
    text::MTextLayout layout = text::LayOutMText(contents, textHeight, width, styleFont);
    out->width = layout.width;
    out->height = layout.height;
    out->faceInfo = layout.faces;
    for (const text::LaidOutFace& face : layout.faces)
        out->faces.push_back(FaceNumber(face));
    Preparer preparer(*out);
    for (const text::LaidOutLine& line : layout.lines) {
        PreparedLine prepared;
        prepared.firstPiece = out->pieces.size();
        prepared.firstStroke = out->strokes.size();
        for (const text::LaidOutRun& run : line.runs)
            preparer.run(run);
        prepared.pieceCount = out->pieces.size() - prepared.firstPiece;
        prepared.strokeCount = out->strokes.size() - prepared.firstStroke;
        if (line.runs.empty())
            continue;
        // Room above for overlines and stacks, below for descenders, as EXPORT frames it.
        prepared.top = line.top + 0.3 * line.height;
        prepared.bottom = line.baseline - 0.4 * line.height;
        QRectF box(QPointF(line.left, prepared.bottom), QPointF(line.right, prepared.top));
        out->box = out->box.isNull() ? box : out->box.united(box);
        out->lines.push_back(prepared);
    }
    return out;
}

} // namespace cadhost::gui
