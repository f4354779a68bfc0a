// Filing of multiline text.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "db/databaseimpl.h"
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
    m_normal = IsFinite(normal) && !normal.isZeroLength() ? normal.normal() : AcGeVector3d::kZAxis;
    AcGeVector3d d = direction - m_normal * direction.dotProduct(m_normal);
    m_direction = IsFinite(d) && d.length() > 1e-9 ? d.normal() : PlaneXAxis(m_normal);
    m_width = std::isfinite(width) && width >= 0.0 ? width : 0.0;
    if (std::isfinite(height) && height > 0.0)
        m_height = height;
    m_style = style;
    m_attachment = attachment >= kTopLeft && attachment <= kBottomRight
                       ? static_cast<AttachmentPoint>(attachment)
                       : kTopLeft;
    m_contents = std::move(contents);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dxfOutFields(AcDbDxfFiler* filer) const {
    if (Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "AcDbMText");
    filer->writePoint3d(AcDb::kDxfXCoord, m_location);
    filer->writeDouble(AcDb::kDxfTxtSize, m_height);
    filer->writeDouble(AcDb::kDxfTxtStyleXScale, m_width);
    filer->writeInt16(static_cast<AcDb::DxfCode>(71), static_cast<Adesk::Int16>(m_attachment));
    filer->writeInt16(static_cast<AcDb::DxfCode>(72), 1); // left to right
    std::size_t from = 0;
    for (;;) {
        std::size_t cut = CutAt(m_contents, from);
        std::string piece = m_contents.substr(from, cut - from);
        bool last = cut >= m_contents.size();
        filer->writeString(last ? AcDb::kDxfText : AcDb::kDxfAttributePrompt, piece.c_str());
        if (last)
            break;
        from = cut;
    }
    std::string style = SymbolNameOf(m_style);
    if (!style.empty())
        filer->writeString(AcDb::kDxfTextStyleName, style.c_str());
    filer->writeVector3d(AcDb::kDxfNormalX, m_normal);
    filer->writeVector3d(static_cast<AcDb::DxfCode>(11), m_direction);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dxfInFields(AcDbDxfFiler* filer) {
    if (Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("AcDbMText"))
        return filer->filerStatus();
    std::string contents;
    bool haveDirection = false;
    double rotation = 0.0;
    AcGeVector3d normal = AcGeVector3d::kZAxis, direction = AcGeVector3d::kXAxis;
    Acad::ErrorStatus es = ReadSubclassItems(filer, [&](const resbuf& item) {
        switch (item.restype) {
        case 10:
            m_location = PointOf(item);
            break;
        case 40:
            if (std::isfinite(item.resval.rreal) && item.resval.rreal > 0.0)
                m_height = item.resval.rreal;
            break;
        case 41:
            m_width = std::isfinite(item.resval.rreal) && item.resval.rreal >= 0.0
                          ? item.resval.rreal
                          : 0.0;
            break;
        case 71:
            if (item.resval.rint >= kTopLeft && item.resval.rint <= kBottomRight)
                m_attachment = static_cast<AttachmentPoint>(item.resval.rint);
            break;
        case 1:
        case 3:
            contents += TextOf(item);
            break;
        case 7: {
            AcDbDatabase* db = database() ? database() : filer->database();
            m_style = db ? FindSymbol(db->textStyleTableId(), TextOf(item)) : AcDbObjectId();
            break;
        }
        case 210:
            normal = VectorOf(item);
            break;
        case 11:
            direction = VectorOf(item);
            haveDirection = true;
            break;
        case 50:
            rotation = item.resval.rreal;
            break;
        default:
            break;
        }
        return Acad::eOk;
    });
    m_contents = std::move(contents);
    m_normal = IsFinite(normal) && !normal.isZeroLength() ? normal.normal() : AcGeVector3d::kZAxis;
    AcGeVector3d x = PlaneXAxis(m_normal), y = m_normal.crossProduct(x);
    if (!haveDirection && std::isfinite(rotation))
        direction = x * std::cos(rotation) + y * std::sin(rotation);
    AcGeVector3d d = direction - m_normal * direction.dotProduct(m_normal);
    m_direction = IsFinite(d) && d.length() > 1e-9 ? d.normal() : x;
    return es != Acad::eOk ? es : filer->filerStatus();
}
