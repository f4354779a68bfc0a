// Filing of the AcDbObject part: the owner, and in DWG filers the extended data.
#include "arx/dbobject.h"
#include "db/dxfitems.h"
#include "db/objectaccess.h"
#include "db/resbufkind.h"
#include "db/xdatastore.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace cadhost::db;

namespace {

Acad::ErrorStatus WriteXDataItem(AcDbDwgFiler* filer, const resbuf& rb) {
    filer->writeInt16(rb.restype);
    switch (KindOf(rb.restype)) {
    case ValueKind::String:
        return filer->writeString(rb.resval.rstring);
    case ValueKind::Binary:
        filer->writeInt32(rb.resval.rbinary.clen);
        return filer->writeBytes(rb.resval.rbinary.buf,
                                 static_cast<std::size_t>(rb.resval.rbinary.clen));
    case ValueKind::Point:
        return filer->writePoint3d(
            AcGePoint3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]));
    case ValueKind::Real:
        return filer->writeDouble(rb.resval.rreal);
    case ValueKind::Short:
        return filer->writeInt16(rb.resval.rint);
    case ValueKind::Long:
        return filer->writeInt32(rb.resval.rlong);
    default:
        return filer->filerStatus();
    }
}

// One item as WriteXDataItem wrote it; nullptr when the filer fails or the item is not one
// extended data may hold.
resbuf* ReadXDataItem(AcDbDwgFiler* filer) {
    Adesk::Int16 code = 0;
    if (filer->readInt16(&code) != Acad::eOk || code < 1000 || code > 1071)
        return nullptr;
    resbuf* rb = acutNewRb(code);
    if (!rb)
        return nullptr;
    bool ok = true;
    switch (KindOf(code)) {
    case ValueKind::String:
        ok = filer->readString(&rb->resval.rstring) == Acad::eOk;
        if (ok && !rb->resval.rstring)
            rb->resval.rstring = acutNewString("");
        break;
    case ValueKind::Binary: {
        Adesk::Int32 len = 0;
        ok = filer->readInt32(&len) == Acad::eOk && len >= 0 && len <= 0x7fff;
        if (ok && len > 0) {
            rb->resval.rbinary.buf = static_cast<char*>(std::malloc(static_cast<std::size_t>(len)));
            ok = rb->resval.rbinary.buf &&
                 filer->readBytes(rb->resval.rbinary.buf, static_cast<std::size_t>(len)) ==
                     Acad::eOk;
        }
        if (ok)
            rb->resval.rbinary.clen = len;
        break;
    }
    case ValueKind::Point: {
        AcGePoint3d p;
        ok = filer->readPoint3d(&p) == Acad::eOk;
        rb->resval.rpoint[0] = p.x;
        rb->resval.rpoint[1] = p.y;
        rb->resval.rpoint[2] = p.z;
        break;
    }
    case ValueKind::Real:
        ok = filer->readDouble(&rb->resval.rreal) == Acad::eOk;
        break;
    case ValueKind::Short: {
        Adesk::Int16 v = 0;
        ok = filer->readInt16(&v) == Acad::eOk;
        rb->resval.rint = v;
        break;
    }
    case ValueKind::Long:
        ok = filer->readInt32(&rb->resval.rlong) == Acad::eOk;
        break;
    default:
        ok = false;
        break;
    }
    if (!ok) {
        acutRelRb(rb);
        return nullptr;
    }
    return rb;
}

} // namespace

Acad::ErrorStatus AcDbObject::dwgOutFields(AcDbDwgFiler* filer) const {
    assertReadEnabled();
    filer->writeSoftPointerId(m_owner);
    resbuf* xdata = CopyAllXData(*this);
    Adesk::Int32 count = 0;
    for (const resbuf* rb = xdata; rb; rb = rb->rbnext)
        ++count;
    filer->writeInt32(count);
    for (const resbuf* rb = xdata; rb; rb = rb->rbnext)
        WriteXDataItem(filer, *rb);
    acutRelRb(xdata);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dwgInFields(AcDbDwgFiler* filer) {
    assertWriteEnabled();
    AcDbSoftPointerId owner;
    if (filer->readSoftPointerId(&owner) == Acad::eOk)
        m_owner = owner;
    Adesk::Int32 count = 0;
    if (filer->readInt32(&count) != Acad::eOk)
        return filer->filerStatus();
    // A count beyond what fits in the size limit can only be damage.
    if (count < 0 || static_cast<std::size_t>(count) > kMaxXDataSize / 2) {
        filer->setFilerStatus(Acad::eInvalidResBuf);
        return filer->filerStatus();
    }
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (Adesk::Int32 i = 0; i < count; ++i) {
        resbuf* rb = ReadXDataItem(filer);
        if (!rb) {
            acutRelRb(head);
            if (filer->filerStatus() == Acad::eOk)
                filer->setFilerStatus(Acad::eInvalidResBuf);
            return filer->filerStatus();
        }
        *tail = rb;
        tail = &rb->rbnext;
    }
    // What was filed replaces the object's extended data entirely.
    std::vector<XDataPart> parts;
    Acad::ErrorStatus es = TakeXData(head, parts);
    if (es == Acad::eOk) {
        DeleteXData(m_xdata);
        m_xdata = nullptr;
        es = MergeXData(*this, parts);
    }
    if (es != Acad::eOk)
        filer->setFilerStatus(es);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    filer->writeAcDbHandle(AcDb::kDxfHandle, m_id.handle());
    filer->writeObjectId(AcDb::kDxfSoftPointerId, m_owner);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled();
    // The handle (5) is the reader's business: it decides under which handle the object
    // joins the database.  Groups of 102 braces (reactors, extension dictionary) are
    // skipped; the owner (330) is taken.
    bool inBraces = false;
    Acad::ErrorStatus es = ReadSubclassItems(filer, [&](const resbuf& item) {
        if (item.restype == AcDb::kDxfControlString) {
            inBraces = TextOf(item).rfind("{", 0) == 0;
        } else if (item.restype == AcDb::kDxfSoftPointerId && !inBraces) {
            m_owner = IdOf(item);
        }
        return Acad::eOk;
    });
    if (es != Acad::eOk)
        return es;
    return filer->filerStatus();
}
