// The drawing database: every object of one drawing, its handles and its root objects.
//
// The database owns its objects from the time they are added until it is destroyed.  Handles
// are given out from the handle seed upwards, one per object, and never given out again (not
// after an erase); the seed is one more than the highest handle in use.
#pragma once

#include "arx/dbdict.h"
#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "arx/dbsymtb.h"
#include "arx/errorstatus.h"
#include "arx/ge.h"
#include "arx/rxobject.h"

#include <cstdint>

class AcDbDatabase : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDatabase);

    // A new drawing has the named objects dictionary, the block table with *Model_Space and
    // *Paper_Space, the layer table with "0", the text style table with "Standard" and the
    // registered application table with "ACAD".  Without buildDefaultDrawing the database is
    // empty, to be filled by a file reader.  noDocument marks a database no document shows.
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    // Deletes every object of the drawing.  Ids of them stay safe to hold: they answer
    // isValid() false and open with ePermanentlyErased.
    ~AcDbDatabase() override;
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    // ---- Objects and handles ----
    // Adds an object that is in no database yet, with the next handle; it is left open for
    // write for the caller to close.  It gets no owner: the caller sets one.  Errors:
    // eNullObjectPointer, eAlreadyInDb.
    Acad::ErrorStatus addAcDbObject(AcDbObject* object);
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* object);
    // The id of the object with the handle.  With createIfNotFound an unknown handle is
    // reserved: its id is made now, the object comes later (addAcDbObjectWithHandle), and the
    // seed moves past it.  eNullHandle, eUnknownHandle, eInvalidInput (the highest handle
    // value, which would leave no seed).  xRefId is accepted for compatibility: this host
    // has no external references.
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                      const AcDbHandle& handle, std::uint32_t xRefId = 0);
    AcDbHandle handseed() const;
    // Raises the seed (a file's stored seed); eInvalidInput for a seed not above every
    // handle in use.
    Acad::ErrorStatus setHandseed(const AcDbHandle& seed);
    // The number of objects in the database, erased ones included.
    Adesk::Int32 approxNumObjects() const;

    // ---- Root objects ----
    AcDbObjectId namedObjectsDictionaryId() const;
    Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dictionary,
                                                AcDb::OpenMode mode = AcDb::kForRead);
    AcDbObjectId blockTableId() const;
    AcDbObjectId layerTableId() const;
    AcDbObjectId textStyleTableId() const;
    AcDbObjectId regAppTableId() const;
    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& table,
                                        AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getSymbolTable(AcDbTextStyleTable*& table,
                                     AcDb::OpenMode mode = AcDb::kForRead);
    Acad::ErrorStatus getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode = AcDb::kForRead);

    // The block new entities go to: model space, or paper space while a layout is current.
    AcDbObjectId currentSpaceId() const;
    // Host use (the editor switching spaces): a *Model_Space or *Paper_Space... block of this
    // database; eWrongDatabase, eInvalidInput otherwise.
    Acad::ErrorStatus setCurrentSpaceId(AcDbObjectId blockId);
    // Layer "0" and the current text style ("Standard" in a new drawing).
    AcDbObjectId layerZero() const;
    AcDbObjectId textstyle() const;
    Acad::ErrorStatus setTextstyle(AcDbObjectId styleId);

    // ---- The user coordinate system ----
    AcGePoint3d ucsorg() const;
    AcGeVector3d ucsxdir() const;
    AcGeVector3d ucsydir() const;
    // The axes are made unit length and the y axis perpendicular to the x axis (keeping its
    // side); eInvalidInput when either is zero or they are parallel.
    Acad::ErrorStatus setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                             const AcGeVector3d& yAxis);

    bool noDocument() const;

    // Host use (file readers): adds an object under the handle it had in its file.  The
    // handle may have been reserved by getAcDbObjectId; the seed moves past it.  Errors:
    // eNullObjectPointer, eAlreadyInDb, eNullHandle, eHandleInUse, eInvalidInput (the
    // highest handle value).
    Acad::ErrorStatus addAcDbObjectWithHandle(AcDbObjectId& id, AcDbObject* object,
                                              const AcDbHandle& handle);

    // Host use.
    struct Impl;
    Impl* impl() const { return m_impl; }

private:
    Impl* m_impl;
};
