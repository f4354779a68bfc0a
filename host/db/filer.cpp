// The filer interfaces: class registration and the typed DXF writes built on writeItem.
#include "arx/dbfiler.h"
#include "arx/dbservices.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDwgFiler, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDxfFiler, AcRxObject)

AcDbDwgFiler::~AcDbDwgFiler() = default;
AcDbDxfFiler::~AcDbDxfFiler() = default;

namespace {

resbuf Item(AcDb::DxfCode code) {
    resbuf rb{};
    rb.restype = static_cast<short>(code);
    return rb;
}

} // namespace

Acad::ErrorStatus AcDbDxfFiler::writeString(AcDb::DxfCode code, const char* value) {
    resbuf rb = Item(code);
    // The item only lends the text to writeItem, which copies what it keeps.
    rb.resval.rstring = const_cast<char*>(value ? value : "");
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeBool(AcDb::DxfCode code, bool value) {
    return writeInt16(code, value ? 1 : 0);
}

Acad::ErrorStatus AcDbDxfFiler::writeInt8(AcDb::DxfCode code, Adesk::Int8 value) {
    return writeInt16(code, value);
}

Acad::ErrorStatus AcDbDxfFiler::writeInt16(AcDb::DxfCode code, Adesk::Int16 value) {
    resbuf rb = Item(code);
    rb.resval.rint = value;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt16(AcDb::DxfCode code, Adesk::UInt16 value) {
    return writeInt16(code, static_cast<Adesk::Int16>(value));
}

Acad::ErrorStatus AcDbDxfFiler::writeInt32(AcDb::DxfCode code, Adesk::Int32 value) {
    resbuf rb = Item(code);
    rb.resval.rlong = value;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt32(AcDb::DxfCode code, Adesk::UInt32 value) {
    return writeInt32(code, static_cast<Adesk::Int32>(value));
}

Acad::ErrorStatus AcDbDxfFiler::writeDouble(AcDb::DxfCode code, double value, int) {
    resbuf rb = Item(code);
    rb.resval.rreal = value;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writePoint3d(AcDb::DxfCode code, const AcGePoint3d& value, int) {
    resbuf rb = Item(code);
    rb.resval.rpoint[0] = value.x;
    rb.resval.rpoint[1] = value.y;
    rb.resval.rpoint[2] = value.z;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeVector3d(AcDb::DxfCode code, const AcGeVector3d& value, int) {
    return writePoint3d(code, AcGePoint3d(value.x, value.y, value.z));
}

Acad::ErrorStatus AcDbDxfFiler::writeAngle(AcDb::DxfCode code, double radians, int precision) {
    return writeDouble(code, radians, precision);
}

Acad::ErrorStatus AcDbDxfFiler::writeAcDbHandle(AcDb::DxfCode code, const AcDbHandle& value) {
    char text[AcDbHandle::kStrSiz];
    value.getIntoAsciiBuffer(text, sizeof text);
    return writeString(code, text);
}

Acad::ErrorStatus AcDbDxfFiler::writeObjectId(AcDb::DxfCode code, const AcDbObjectId& value) {
    resbuf rb = Item(code);
    acdbGetAdsName(rb.resval.rlname, value);
    return writeItem(rb);
}
