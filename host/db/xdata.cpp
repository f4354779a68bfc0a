// Extended data of objects: checks, storage, copies and transformation.
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbobject.h"
#include "db/objectaccess.h"
#include "db/objectstate.h"
#include "db/resbufkind.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"
#include "db/xdatastore.h"

#include <cstring>

namespace cadhost::db {

XDataStore::~XDataStore() {
    for (XDataPart& part : parts)
        acutRelRb(part.chain);
}

void DeleteXData(XDataStore* store) {
    delete store;
}

namespace {

bool IsXDataCode(int code) {
    switch (code) {
    case 1000:
    case 1001:
    case 1002:
    case 1003:
    case 1004:
    case 1005:
    case 1010:
    case 1011:
    case 1012:
    case 1013:
    case 1040:
    case 1041:
    case 1042:
    case 1070:
    case 1071:
        return true;
    default:
        return false;
    }
}

std::size_t ItemSize(const resbuf& rb) {
    const std::size_t code = 2;
    switch (KindOf(rb.restype)) {
    case ValueKind::String:
        if (rb.restype == 1002)
            return code + 1;
        return code + 2 + (rb.resval.rstring ? std::strlen(rb.resval.rstring) : 0);
    case ValueKind::Binary:
        return code + 1 +
               static_cast<std::size_t>(rb.resval.rbinary.clen > 0 ? rb.resval.rbinary.clen : 0);
    case ValueKind::Point:
        return code + 24;
    case ValueKind::Real:
        return code + 8;
    case ValueKind::Short:
        return code + 2;
    case ValueKind::Long:
        return code + 4;
    default:
        return code;
    }
}

// 1 to 16 hexadecimal digits.
bool IsHandleText(const char* text) {
    std::size_t len = std::strlen(text);
    return len >= 1 && len <= 16 && std::strspn(text, "0123456789abcdefABCDEF") == len;
}

// One item's own check (the value is usable for its code).
bool IsValidItem(const resbuf& rb) {
    if (!IsXDataCode(rb.restype))
        return false;
    switch (KindOf(rb.restype)) {
    case ValueKind::String:
        if (!rb.resval.rstring)
            return false;
        if (rb.restype == 1002)
            return std::strcmp(rb.resval.rstring, "{") == 0 ||
                   std::strcmp(rb.resval.rstring, "}") == 0;
        if (rb.restype == 1005)
            return IsHandleText(rb.resval.rstring);
        return true;
    case ValueKind::Binary:
        return rb.resval.rbinary.clen >= 0 &&
               (rb.resval.rbinary.clen == 0 || rb.resval.rbinary.buf != nullptr);
    default:
        return true;
    }
}

void ReleaseParts(std::vector<XDataPart>& parts) {
    for (XDataPart& part : parts)
        acutRelRb(part.chain);
    parts.clear();
}

} // namespace

std::size_t XDataSize(const resbuf* chain) {
    std::size_t size = 0;
    for (const resbuf* rb = chain; rb; rb = rb->rbnext)
        size += ItemSize(*rb);
    return size;
}

namespace {

// Checks the part of a chain that starts at `start` (a 1001 item, naming an application
// that must be registered in db when there is one) and runs to the next 1001 item; answers
// the application's name as ParseXData takes it and the part's last item.
Acad::ErrorStatus CheckXDataPart(const resbuf* start, AcDbDatabase* db, std::string& app,
                                 const resbuf*& last) {
    if (start->restype != 1001 || !start->resval.rstring)
        return Acad::eInvalidResBuf;
    if (db) {
        AcDbObjectId appId = FindSymbol(db->regAppTableId(), start->resval.rstring);
        if (appId.isNull())
            return Acad::eRegappIdNotFound;
        app = SymbolNameOf(appId);
    } else {
        if (!IsValidSymbolName(start->resval.rstring))
            return Acad::eInvalidResBuf;
        app = start->resval.rstring;
    }
    // Braces of 1002 must pair inside the part.
    int depth = 0;
    last = start;
    for (const resbuf* rb = start->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (!IsValidItem(*rb))
            return Acad::eInvalidResBuf;
        if (rb->restype == 1002) {
            depth += rb->resval.rstring[0] == '{' ? 1 : -1;
            if (depth < 0)
                return Acad::eInvalidResBuf;
        }
        last = rb;
    }
    return depth == 0 ? Acad::eOk : Acad::eInvalidResBuf;
}

// Checks a chain and names its parts: where each starts, with its application.
Acad::ErrorStatus CheckXData(const resbuf* chain, AcDbDatabase* db,
                             std::vector<std::pair<std::string, const resbuf*>>& starts) {
    for (const resbuf* rb = chain; rb;) {
        std::string app;
        const resbuf* last = nullptr;
        if (Acad::ErrorStatus es = CheckXDataPart(rb, db, app, last); es != Acad::eOk)
            return es;
        starts.emplace_back(std::move(app), rb);
        rb = last->rbnext;
    }
    return Acad::eOk;
}

} // namespace

Acad::ErrorStatus ParseXData(const resbuf* chain, AcDbDatabase* db, std::vector<XDataPart>& parts) {
    parts.clear();
    std::vector<std::pair<std::string, const resbuf*>> starts;
    if (Acad::ErrorStatus es = CheckXData(chain, db, starts); es != Acad::eOk)
        return es;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const resbuf* first = starts[i].second;
        const resbuf* end = i + 1 < starts.size() ? starts[i + 1].second : nullptr;
        XDataPart part;
        part.app = std::move(starts[i].first);
        // Copy [first, end) with the registered spelling in the 1001 item.
        resbuf* head = nullptr;
        resbuf** tail = &head;
        for (const resbuf* item = first; item != end; item = item->rbnext) {
            resbuf* copy = item == first ? acutNewRb(1001) : CopyResbuf(*item);
            if (copy && item == first)
                copy->resval.rstring = acutNewString(part.app.c_str());
            if (!copy || (item == first && !copy->resval.rstring)) {
                acutRelRb(copy);
                acutRelRb(head);
                ReleaseParts(parts);
                return Acad::eOutOfMemory;
            }
            *tail = copy;
            tail = &copy->rbnext;
        }
        part.chain = head;
        parts.push_back(std::move(part));
    }
    return Acad::eOk;
}

Acad::ErrorStatus TakeXData(resbuf*& chain, std::vector<XDataPart>& parts) {
    parts.clear();
    // Each part is cut off the chain before the next 1001 item once it is found sound.
    resbuf* rest = chain;
    chain = nullptr;
    while (rest) {
        std::string app;
        const resbuf* last = nullptr;
        if (Acad::ErrorStatus es = CheckXDataPart(rest, nullptr, app, last); es != Acad::eOk) {
            acutRelRb(rest);
            ReleaseParts(parts);
            return es;
        }
        resbuf* end = const_cast<resbuf*>(last);
        parts.push_back(XDataPart{std::move(app), rest});
        rest = end->rbnext;
        end->rbnext = nullptr;
    }
    return Acad::eOk;
}

Acad::ErrorStatus MergeXData(AcDbObject& object, std::vector<XDataPart>& parts) {
    XDataStore*& store = ObjectAccess::xdata(object);
    // An object without extended data given parts of as many applications, none a removal
    // (one read from a file): the parts become its store as they are.
    bool asTheyAre = !store;
    std::size_t size = 0;
    for (std::size_t i = 0; i < parts.size() && asTheyAre; ++i) {
        asTheyAre = parts[i].chain->rbnext != nullptr;
        for (std::size_t j = 0; j < i && asTheyAre; ++j)
            asTheyAre = !EqualNoCase(parts[i].app, parts[j].app);
        size += XDataSize(parts[i].chain);
    }
    if (asTheyAre && !parts.empty()) {
        if (size > kMaxXDataSize) {
            ReleaseParts(parts);
            return Acad::eXdataSizeExceeded;
        }
        store = new XDataStore;
        store->parts = std::move(parts);
        parts.clear();
        return Acad::eOk;
    }
    // Build the new list of parts from pointers; chains are freed only once the result is
    // known to fit, so that a refused change leaves the object as it was.
    std::vector<XDataPart> result;
    if (store)
        result = store->parts;
    std::vector<resbuf*> leaving; // chains no longer used once the result is taken
    for (XDataPart& part : parts) {
        bool removal = !part.chain->rbnext;
        auto it = result.begin();
        while (it != result.end() && !EqualNoCase(it->app, part.app))
            ++it;
        if (it != result.end()) {
            leaving.push_back(it->chain);
            if (removal)
                result.erase(it);
            else
                *it = part;
        } else if (!removal) {
            result.push_back(part);
        }
        if (removal)
            leaving.push_back(part.chain);
    }
    std::size_t total = 0;
    for (const XDataPart& part : result)
        total += XDataSize(part.chain);
    if (total > kMaxXDataSize) {
        ReleaseParts(parts);
        return Acad::eXdataSizeExceeded;
    }
    for (resbuf* chain : leaving)
        acutRelRb(chain);
    parts.clear();
    if (result.empty()) {
        if (store)
            store->parts.clear();
        delete store;
        store = nullptr;
    } else {
        if (!store)
            store = new XDataStore;
        store->parts = std::move(result);
    }
    return Acad::eOk;
}

resbuf* CopyAllXData(const AcDbObject& object) {
    const XDataStore* store = ObjectAccess::xdata(object);
    if (!store)
        return nullptr;
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const XDataPart& part : store->parts) {
        resbuf* copy = CopyChain(part.chain);
        if (!copy) {
            acutRelRb(head);
            return nullptr;
        }
        *tail = copy;
        while (*tail)
            tail = &(*tail)->rbnext;
    }
    return head;
}

} // namespace cadhost::db

using namespace cadhost::db;

resbuf* AcDbObject::xData(const char* appName) const {
    assertReadEnabled();
    if (!appName)
        return CopyAllXData(*this);
    if (!m_xdata)
        return nullptr;
    for (const XDataPart& part : m_xdata->parts)
        if (EqualNoCase(part.app, appName))
            return CopyChain(part.chain);
    return nullptr;
}

Acad::ErrorStatus AcDbObject::setXData(const resbuf* xdata) {
    if (!isWriteEnabled()) {
        if (!isReadEnabled())
            AbortNotOpen(*this, "write");
        return Acad::eNotOpenForWrite;
    }
    if (!xdata)
        return Acad::eOk;
    AcDbDatabase* db = m_database ? m_database : acdbHostApplicationServices()->workingDatabase();
    if (!db)
        return Acad::eNoDatabase;
    std::vector<XDataPart> parts;
    if (Acad::ErrorStatus es = ParseXData(xdata, db, parts); es != Acad::eOk)
        return es;
    // Recorded before the data changes, so that undo brings back the data there was.
    assertWriteEnabled();
    if (Acad::ErrorStatus es = MergeXData(*this, parts); es != Acad::eOk)
        return es;
    assertWriteEnabled();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::xDataTransformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) {
        if (!isReadEnabled())
            AbortNotOpen(*this, "write");
        return Acad::eNotOpenForWrite;
    }
    if (!m_xdata)
        return Acad::eOk;
    assertWriteEnabled();
    double scale = xform.scale();
    for (XDataPart& part : m_xdata->parts) {
        for (resbuf* rb = part.chain; rb; rb = rb->rbnext) {
            double* p = rb->resval.rpoint;
            switch (rb->restype) {
            case 1011: {
                AcGePoint3d point(p[0], p[1], p[2]);
                point.transformBy(xform);
                p[0] = point.x, p[1] = point.y, p[2] = point.z;
                break;
            }
            case 1012:
            case 1013: {
                AcGeVector3d v(p[0], p[1], p[2]);
                v.transformBy(xform);
                if (rb->restype == 1013)
                    v.normalize();
                p[0] = v.x, p[1] = v.y, p[2] = v.z;
                break;
            }
            case 1041:
            case 1042:
                rb->resval.rreal *= scale;
                break;
            default:
                break;
            }
        }
    }
    assertWriteEnabled();
    return Acad::eOk;
}
