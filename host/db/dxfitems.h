// Helpers of the classes' DXF filing: reading the items of one subclass, and the values of
// items.
#pragma once

#include "arx/dbfiler.h"
#include "arx/dbservices.h"

#include <string>

namespace cadhost::db {

// Reads the items of one subclass and hands each to take(item) until the next subclass
// marker (100), the extended data (1001) or the end of the object, which stay for the next
// reader.  take answers eOk to go on; items it does not know it simply ignores.  The answer
// is the first failure, or eOk.
template <class Take> Acad::ErrorStatus ReadSubclassItems(AcDbDxfFiler* filer, Take take) {
    for (;;) {
        if (filer->atEOF() || filer->atEndOfObject())
            return Acad::eOk;
        resbuf item{};
        Acad::ErrorStatus es = filer->readItem(&item);
        if (es == Acad::eEndOfObject || es == Acad::eEndOfFile)
            return Acad::eOk;
        if (es != Acad::eOk)
            return es;
        if (item.restype == 100 || item.restype == 1001 || item.restype == 0) {
            filer->pushBackItem();
            return Acad::eOk;
        }
        if ((es = take(item)) != Acad::eOk)
            return es;
    }
}

inline AcGePoint3d PointOf(const resbuf& item) {
    return {item.resval.rpoint[0], item.resval.rpoint[1], item.resval.rpoint[2]};
}
inline AcGeVector3d VectorOf(const resbuf& item) {
    return {item.resval.rpoint[0], item.resval.rpoint[1], item.resval.rpoint[2]};
}
inline std::string TextOf(const resbuf& item) {
    return item.resval.rstring ? item.resval.rstring : "";
}
inline AcDbObjectId IdOf(const resbuf& item) {
    AcDbObjectId id;
    acdbGetObjectId(id, item.resval.rlname);
    return id;
}

// Reads a string from a DWG filer into text; a null string reads as empty.
inline Acad::ErrorStatus ReadDwgString(AcDbDwgFiler* filer, std::string& text) {
    char* value = nullptr;
    Acad::ErrorStatus es = filer->readString(&value);
    text = value ? value : "";
    acutDelString(value);
    return es;
}

} // namespace cadhost::db
