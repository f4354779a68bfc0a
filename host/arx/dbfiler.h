// The filers objects write their fields to and read them back from.
//
// An object files itself: dwgOutFields/dwgInFields write and read its fields in a fixed
// order through an AcDbDwgFiler (binary, positional: used for files, copies and undo), and
// dxfOutFields/dxfInFields through an AcDbDxfFiler as tagged items (a group code and a value,
// as in a DXF file).  The filers themselves are abstract here; each file format or copy
// mechanism supplies its own.
#pragma once

#include "arx/acdb.h"
#include "arx/adesk.h"
#include "arx/adsdefs.h"
#include "arx/dbid.h"
#include "arx/errorstatus.h"
#include "arx/ge.h"
#include "arx/rxobject.h"

#include <cstddef>

class AcDbDatabase;

class AcDbDwgFiler : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDwgFiler);
    ~AcDbDwgFiler() override;

    // The first error met (eOk while there is none).  Once in error, a filer keeps its status
    // until reset, so an object can check once after filing all of its fields.
    virtual Acad::ErrorStatus filerStatus() const = 0;
    virtual void setFilerStatus(Acad::ErrorStatus status) = 0;
    virtual void resetFilerStatus() = 0;
    virtual AcDb::FilerType filerType() const = 0;
    // The database being read or written, when there is one.
    virtual AcDbDatabase* database() const = 0;

    // A string read is a new string the caller frees with acutDelString; a null string
    // written reads back as an empty one.
    virtual Acad::ErrorStatus readString(char** value) = 0;
    virtual Acad::ErrorStatus writeString(const char* value) = 0;
    virtual Acad::ErrorStatus readBytes(void* buffer, std::size_t length) = 0;
    virtual Acad::ErrorStatus writeBytes(const void* buffer, std::size_t length) = 0;

    virtual Acad::ErrorStatus readBool(bool* value) = 0;
    virtual Acad::ErrorStatus writeBool(bool value) = 0;
    virtual Acad::ErrorStatus readInt8(Adesk::Int8* value) = 0;
    virtual Acad::ErrorStatus writeInt8(Adesk::Int8 value) = 0;
    virtual Acad::ErrorStatus readUInt8(Adesk::UInt8* value) = 0;
    virtual Acad::ErrorStatus writeUInt8(Adesk::UInt8 value) = 0;
    virtual Acad::ErrorStatus readInt16(Adesk::Int16* value) = 0;
    virtual Acad::ErrorStatus writeInt16(Adesk::Int16 value) = 0;
    virtual Acad::ErrorStatus readUInt16(Adesk::UInt16* value) = 0;
    virtual Acad::ErrorStatus writeUInt16(Adesk::UInt16 value) = 0;
    virtual Acad::ErrorStatus readInt32(Adesk::Int32* value) = 0;
    virtual Acad::ErrorStatus writeInt32(Adesk::Int32 value) = 0;
    virtual Acad::ErrorStatus readUInt32(Adesk::UInt32* value) = 0;
    virtual Acad::ErrorStatus writeUInt32(Adesk::UInt32 value) = 0;
    virtual Acad::ErrorStatus readInt64(Adesk::Int64* value) = 0;
    virtual Acad::ErrorStatus writeInt64(Adesk::Int64 value) = 0;
    virtual Acad::ErrorStatus readUInt64(Adesk::UInt64* value) = 0;
    virtual Acad::ErrorStatus writeUInt64(Adesk::UInt64 value) = 0;
    virtual Acad::ErrorStatus readDouble(double* value) = 0;
    virtual Acad::ErrorStatus writeDouble(double value) = 0;
    virtual Acad::ErrorStatus readPoint3d(AcGePoint3d* value) = 0;
    virtual Acad::ErrorStatus writePoint3d(const AcGePoint3d& value) = 0;
    virtual Acad::ErrorStatus readVector3d(AcGeVector3d* value) = 0;
    virtual Acad::ErrorStatus writeVector3d(const AcGeVector3d& value) = 0;

    virtual Acad::ErrorStatus readAcDbHandle(AcDbHandle* value) = 0;
    virtual Acad::ErrorStatus writeAcDbHandle(const AcDbHandle& value) = 0;
    // References to other objects, by the kind of reference (see dbid.h).
    virtual Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* value) = 0;
    virtual Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& value) = 0;
    virtual Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* value) = 0;
    virtual Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& value) = 0;
    virtual Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* value) = 0;
    virtual Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& value) = 0;
    virtual Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* value) = 0;
    virtual Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& value) = 0;
};

// Items travel as resbufs: restype is the group code, the value is typed by the code's range
// (text in rstring, points in rpoint, reals in rreal, 16-bit integers in rint, 32-bit ones in
// rlong, object references in rlname as made by acdbGetAdsName).
class AcDbDxfFiler : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDxfFiler);
    ~AcDbDxfFiler() override;

    virtual Acad::ErrorStatus filerStatus() const = 0;
    virtual void resetFilerStatus() = 0;
    virtual AcDb::FilerType filerType() const = 0;
    virtual AcDbDatabase* database() const = 0;
    // Goes back to the object's first item; answers RTNORM or RTERROR.
    virtual int rewindFiler() = 0;

    // Reads the next item.  The value (a string in particular) belongs to the filer and stays
    // valid until the next read; copy what is kept.  eEndOfObject past the object's last item.
    virtual Acad::ErrorStatus readItem(resbuf* item) = 0;
    virtual Acad::ErrorStatus writeItem(const resbuf& item) = 0;
    // The next readItem answers the item just read again.
    virtual Acad::ErrorStatus pushBackItem() = 0;
    virtual bool atEOF() = 0;
    // Whether the next item is the subclass marker (group 100) of that name; when it is, it
    // is consumed.
    virtual bool atSubclassData(const char* subclassName) = 0;
    // Whether the next item begins the object's extended data (group 1001).
    virtual bool atExtendedData() = 0;
    virtual bool atEndOfObject() = 0;

    // Records an error with a message (printf format) for the user; answers the filer status.
    virtual Acad::ErrorStatus setError(Acad::ErrorStatus status, const char* format, ...)
        __attribute__((format(printf, 3, 4))) = 0;
    virtual Acad::ErrorStatus setError(const char* format, ...)
        __attribute__((format(printf, 2, 3))) = 0;
    virtual const char* errorMessage() const = 0;

    // Decimal places of reals written (kDfltPrec: the filer's own choice).
    virtual int precision() const = 0;
    virtual void setPrecision(int decimalPlaces) = 0;
    // Whether fields that hold their default value are written all the same.
    virtual bool includesDefaultValues() const = 0;

    // Typed writes.  Each builds the item and hands it to writeItem; a filer that formats
    // reals with a precision overrides writeDouble, writePoint3d and writeVector3d.
    virtual Acad::ErrorStatus writeString(AcDb::DxfCode code, const char* value);
    virtual Acad::ErrorStatus writeBool(AcDb::DxfCode code, bool value);
    virtual Acad::ErrorStatus writeInt8(AcDb::DxfCode code, Adesk::Int8 value);
    virtual Acad::ErrorStatus writeInt16(AcDb::DxfCode code, Adesk::Int16 value);
    virtual Acad::ErrorStatus writeInt32(AcDb::DxfCode code, Adesk::Int32 value);
    virtual Acad::ErrorStatus writeUInt16(AcDb::DxfCode code, Adesk::UInt16 value);
    virtual Acad::ErrorStatus writeUInt32(AcDb::DxfCode code, Adesk::UInt32 value);
    virtual Acad::ErrorStatus writeDouble(AcDb::DxfCode code, double value,
                                          int precision = AcDb::kDfltPrec);
    virtual Acad::ErrorStatus writePoint3d(AcDb::DxfCode code, const AcGePoint3d& value,
                                           int precision = AcDb::kDfltPrec);
    virtual Acad::ErrorStatus writeVector3d(AcDb::DxfCode code, const AcGeVector3d& value,
                                            int precision = AcDb::kDfltPrec);
    virtual Acad::ErrorStatus writeAngle(AcDb::DxfCode code, double radians,
                                         int precision = AcDb::kDfltPrec);
    // A handle goes out as its hexadecimal text; an id as a reference item.
    virtual Acad::ErrorStatus writeAcDbHandle(AcDb::DxfCode code, const AcDbHandle& value);
    virtual Acad::ErrorStatus writeObjectId(AcDb::DxfCode code, const AcDbObjectId& value);
};
