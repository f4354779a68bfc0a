// Filing of multiline text.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "db/databaseimpl.h"
#include "db/dxfclass.h"
#include "db/dxfitems.h"
#include "db/geometry.h"
#include "db/symboltableimpl.h"

#include <algorithm>
#include <cmath>

using namespace cadhost::db;

namespace {

// DXF lines of text hold at most 250 bytes; longer contents go out as 3 groups followed by
// a last 1 group.  A file of a code page writes a character outside it as a 7-byte \U+XXXX
// escape, so each character beyond ASCII is counted as 7 bytes (14 for one that needs a
// surrogate pair): the chunk fits its line in every encoding.  Cuts fall between
// characters, never inside a UTF-8 sequence, and never right after the backslash that
// starts an MText escape, so a reader that looks at one chunk at a time sees whole codes.
constexpr std::size_t kChunk = 250;

std::size_t CutAt(const std::string& text, std::size_t from) {
    std::size_t cost = 0, pos = from;
    while (pos < text.size()) {
        // A run of ASCII costs a byte a byte.
        const std::size_t run = std::min(text.size(), pos + (kChunk - cost));
        const std::size_t start = pos;
        while (pos < run && static_cast<unsigned char>(text[pos]) < 0x80)
            ++pos;
        cost += pos - start;
        if (pos >= text.size() || cost >= kChunk)
            break;
        auto b = static_cast<unsigned char>(text[pos]);
        std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        std::size_t weight = b < 0x80 ? 1 : length == 4 ? 14 : 7;
        if (cost + weight > kChunk)
            break;
        cost += weight;
        pos = std::min(text.size(), pos + length);
    }
    if (pos >= text.size())
        return text.size();
    // Back off an odd run of backslashes: the last one escapes what follows the cut.
    std::size_t run = 0;
    while (pos - run > from && text[pos - run - 1] == '\\')
        ++run;
    if (run % 2 == 1 && pos - 1 > from)
        --pos;
    // Nor inside a \U+XXXX or \M+NXXXX character escape.
    for (std::size_t back = 1; back <= 7 && pos - back > from; ++back) {
        std::size_t at = pos - back;
        if (text[at] != '\\' || at + 2 >= text.size() || text[at + 2] != '+')
            continue;
        std::size_t length = text[at + 1] == 'U' ? 7 : text[at + 1] == 'M' ? 8 : 0;
        if (length > back) {
            pos = at;
            break;
        }
    }
    return pos;
}

struct MTextReading {
    std::string contents;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    AcGeVector3d direction = AcGeVector3d::kXAxis;
    bool haveDirection = false;
    double rotation = 0.0;
};

bool IsTextHeight(double h) {
    return std::isfinite(h) && h > 0.0;
}

bool IsWidth(double w) {
    return std::isfinite(w) && w >= 0.0;
}

} // namespace

Acad::ErrorStatus AcDbMText::dwgOutFields(AcDbDwgFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer); es != Acad::eOk)
        return es;
    filer->writePoint3d(m_location);
    filer->writeVector3d(m_normal);
    filer->writeVector3d(m_direction);
    filer->writeDouble(m_width);
    filer->writeDouble(m_height);
    filer->writeHardPointerId(m_style);
    filer->writeInt16(static_cast<Adesk::Int16>(m_attachment));
    filer->writeString(m_contents.c_str());
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dwgInFields(AcDbDwgFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer); es != Acad::eOk)
        return es;
    AcGePoint3d location;
    AcGeVector3d normal, direction;
    double width = 0.0, height = 0.0;
    AcDbHardPointerId style;
    Adesk::Int16 attachment = kTopLeft;
    std::string contents;
    filer->readPoint3d(&location);
    filer->readVector3d(&normal);
    filer->readVector3d(&direction);
    filer->readDouble(&width);
    filer->readDouble(&height);
    filer->readHardPointerId(&style);
    filer->readInt16(&attachment);
    ReadDwgString(filer, contents);
    if (filer->filerStatus() != Acad::eOk)
        return filer->filerStatus();
    m_location = location;
    m_normal = UsableNormal(normal);
    AcGeVector3d d = direction - m_normal * direction.dotProduct(m_normal);
    m_direction = IsFinite(d) && d.length() > 1e-9 ? d.normal() : PlaneXAxis(m_normal);
    m_width = IsWidth(width) ? width : 0.0;
    if (IsTextHeight(height))
        m_height = height;
    m_style = style;
    m_attachment = attachment >= kTopLeft && attachment <= kBottomRight
                       ? static_cast<AttachmentPoint>(attachment)
                       : kTopLeft;
    m_contents = std::move(contents);
    return filer->filerStatus();
}

template <> struct cadhost::db::DxfFields<AcDbMText> {
    using Subclass = DxfSubclass<AcDbMText, MTextReading>;
    static const Subclass subclass;
};

const DxfFields<AcDbMText>::Subclass DxfFields<AcDbMText>::subclass(
    "AcDbMText",
    {
        Subclass::point(10, &AcDbMText::m_location),
        Subclass::real(40, &AcDbMText::m_height, IsTextHeight),
        Subclass::real(41, &AcDbMText::m_width, IsWidth, 0.0),
        Subclass::custom(
            {71},
            [](const AcDbMText& m, AcDbDxfFiler* f) {
                f->writeInt16(static_cast<AcDb::DxfCode>(71),
                              static_cast<Adesk::Int16>(m.m_attachment));
            },
            [](AcDbMText& m, MTextReading&, const resbuf& item, AcDbDxfFiler*) {
                if (item.resval.rint >= AcDbMText::kTopLeft &&
                    item.resval.rint <= AcDbMText::kBottomRight)
                    m.m_attachment = static_cast<AcDbMText::AttachmentPoint>(item.resval.rint);
                return Acad::eOk;
            }),
        Subclass::fixedInt16(72, 1), // left to right
        Subclass::custom(
            {1, 3},
            [](const AcDbMText& m, AcDbDxfFiler* f) {
                std::size_t from = 0;
                std::string piece;
                for (;;) {
                    std::size_t cut = CutAt(m.m_contents, from);
                    bool last = cut >= m.m_contents.size();
                    // The last piece ends where the contents end: it needs no copy of its own.
                    const char* text = m.m_contents.c_str() + from;
                    if (!last)
                        text = piece.assign(m.m_contents, from, cut - from).c_str();
                    f->writeString(last ? AcDb::kDxfText : AcDb::kDxfAttributePrompt, text);
                    if (last)
                        break;
                    from = cut;
                }
            },
            [](AcDbMText&, MTextReading& r, const resbuf& item, AcDbDxfFiler*) {
                if (item.resval.rstring)
                    r.contents += item.resval.rstring;
                return Acad::eOk;
            }),
        Subclass::custom(
            {7},
            [](const AcDbMText& m, AcDbDxfFiler* f) {
                std::string style = SymbolNameOf(m.m_style);
                if (!style.empty())
                    f->writeString(AcDb::kDxfTextStyleName, style.c_str());
            },
            [](AcDbMText& m, MTextReading&, const resbuf& item, AcDbDxfFiler* f) {
                AcDbDatabase* db = m.database() ? m.database() : f->database();
                m.m_style = db ? FindSymbol(db->textStyleTableId(), TextOf(item)) : AcDbObjectId();
                return Acad::eOk;
            }),
        Subclass::custom(
            Subclass::PointCodes(210),
            [](const AcDbMText& m, AcDbDxfFiler* f) {
                f->writeVector3d(AcDb::kDxfNormalX, m.m_normal);
            },
            [](AcDbMText&, MTextReading& r, const resbuf& item, AcDbDxfFiler*) {
                r.normal = VectorOf(item);
                return Acad::eOk;
            }),
        Subclass::custom(
            Subclass::PointCodes(11),
            [](const AcDbMText& m, AcDbDxfFiler* f) {
                f->writeVector3d(static_cast<AcDb::DxfCode>(11), m.m_direction);
            },
            [](AcDbMText&, MTextReading& r, const resbuf& item, AcDbDxfFiler*) {
                r.direction = VectorOf(item);
                r.haveDirection = true;
                return Acad::eOk;
            }),
        // The rotation is what other programs may write instead of the direction; written
        // beside it, it could contradict it.
        Subclass::custom({50}, {},
                         [](AcDbMText&, MTextReading& r, const resbuf& item, AcDbDxfFiler*) {
                             r.rotation = item.resval.rreal;
                             return Acad::eOk;
                         }),
    },
    [](AcDbMText& m, MTextReading& r, AcDbDxfFiler*) {
        // Put together from pieces, the text may keep room its growth left over: it is
        // copied to its size unless that room is small (one piece, or a last piece longer
        // than the rest leaves none).
        if (r.contents.capacity() - r.contents.size() <= r.contents.size() / 16)
            m.m_contents = std::move(r.contents);
        else
            m.m_contents.assign(r.contents);
        m.m_normal = UsableNormal(r.normal);
        AcGeVector3d x = PlaneXAxis(m.m_normal), y = m.m_normal.crossProduct(x);
        AcGeVector3d direction = r.direction;
        if (!r.haveDirection && std::isfinite(r.rotation))
            direction = x * std::cos(r.rotation) + y * std::sin(r.rotation);
        AcGeVector3d d = direction - m.m_normal * direction.dotProduct(m.m_normal);
        m.m_direction = IsFinite(d) && d.length() > 1e-9 ? d.normal() : x;
    });

Acad::ErrorStatus AcDbMText::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbMText>::subclass.fileOut(*this, filer);
}

Acad::ErrorStatus AcDbMText::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer); es != Acad::eOk)
        return es;
    return DxfFields<AcDbMText>::subclass.fileIn(*this, filer);
}
