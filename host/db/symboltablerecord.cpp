// Symbol table records: names and the records of layers, text styles and applications.
#include "arx/adsdefs.h"
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/objectaccess.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"

#include <cmath>

using namespace cadhost::db;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)

AcDbSymbolTableRecord::AcDbSymbolTableRecord() = default;
AcDbSymbolTableRecord::~AcDbSymbolTableRecord() = default;

Acad::ErrorStatus AcDbSymbolTableRecord::getName(char*& name) const {
    assertReadEnabled();
    name = acutNewString(m_name.c_str());
    return name ? Acad::eOk : Acad::eOutOfMemory;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const char*& name) const {
    assertReadEnabled();
    name = m_name.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const char* name) {
    assertWriteEnabled();
    if (!IsValidSymbolName(name, AcDbBlockTableRecord::cast(this) != nullptr))
        return Acad::eInvalidSymbolTableName;
    // In a table, the table's index follows the name.
    auto* table = isDatabaseResident() ? ObjectOf<AcDbSymbolTable>(ownerId()) : nullptr;
    if (table) {
        const AcDbDatabase::Impl& db = *database()->impl();
        if (!EqualNoCase(name, m_name) &&
            (objectId() == db.modelSpace || objectId() == db.paperSpace ||
             objectId() == db.layerZero))
            return Acad::eIllegalReplacement;
        auto& byName = table->impl()->byName;
        std::string folded = FoldCase(name);
        if (auto it = byName.find(folded);
            it != byName.end() && it->second != objectId() && !it->second.isErased())
            return Acad::eDuplicateRecordName;
        if (auto old = byName.find(FoldCase(m_name));
            old != byName.end() && old->second == objectId())
            byName.erase(old);
        byName[folded] = objectId();
    }
    m_name = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::subErase(bool erasing) {
    if (erasing)
        return database()->impl()->isProtected(objectId()) ? Acad::eCannotBeErasedByCaller
                                                           : Acad::eOk;
    // Coming back needs its name to be free: a record may have taken it meanwhile.
    if (auto* table = ObjectOf<AcDbSymbolTable>(ownerId())) {
        auto& byName = table->impl()->byName;
        std::string folded = FoldCase(m_name);
        auto it = byName.find(folded);
        if (it != byName.end() && it->second != objectId() && !it->second.isErased())
            return Acad::eDuplicateRecordName;
        byName[folded] = objectId();
    }
    return Acad::eOk;
}

// ---- Layers ----------------------------------------------------------------------------------

ACRX_DXF_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, "LAYER", nullptr)

AcDbLayerTableRecord::AcDbLayerTableRecord() = default;
AcDbLayerTableRecord::~AcDbLayerTableRecord() = default;

Adesk::Int16 AcDbLayerTableRecord::colorIndex() const {
    assertReadEnabled();
    return m_color;
}

Acad::ErrorStatus AcDbLayerTableRecord::setColorIndex(Adesk::Int16 color) {
    assertWriteEnabled();
    if (color < 1 || color > 255)
        return Acad::eInvalidInput;
    m_color = color;
    return Acad::eOk;
}

bool AcDbLayerTableRecord::isOff() const {
    assertReadEnabled();
    return m_off;
}
void AcDbLayerTableRecord::setIsOff(bool off) {
    assertWriteEnabled();
    m_off = off;
}
bool AcDbLayerTableRecord::isFrozen() const {
    assertReadEnabled();
    return m_frozen;
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen) {
    assertWriteEnabled();
    m_frozen = frozen;
    return Acad::eOk;
}
bool AcDbLayerTableRecord::isLocked() const {
    assertReadEnabled();
    return m_locked;
}
void AcDbLayerTableRecord::setIsLocked(bool locked) {
    assertWriteEnabled();
    m_locked = locked;
}

// ---- Text styles -----------------------------------------------------------------------------

ACRX_DXF_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, "STYLE", nullptr)

AcDbTextStyleTableRecord::AcDbTextStyleTableRecord() = default;
AcDbTextStyleTableRecord::~AcDbTextStyleTableRecord() = default;

double AcDbTextStyleTableRecord::textSize() const {
    assertReadEnabled();
    return m_textSize;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size) {
    assertWriteEnabled();
    if (!std::isfinite(size))
        return Acad::eInvalidInput;
    if (size < 0.0)
        return Acad::eNegativeValueNotAllowed;
    m_textSize = size;
    return Acad::eOk;
}

double AcDbTextStyleTableRecord::xScale() const {
    assertReadEnabled();
    return m_xScale;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double factor) {
    assertWriteEnabled();
    if (!std::isfinite(factor) || factor <= 0.0)
        return Acad::eInvalidInput;
    m_xScale = factor;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(const char*& name) const {
    assertReadEnabled();
    name = m_fileName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const char* name) {
    assertWriteEnabled();
    if (!name)
        return Acad::eInvalidInput;
    m_fileName = name;
    return Acad::eOk;
}

// ---- Registered applications -----------------------------------------------------------------

ACRX_DXF_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord, "APPID", nullptr)

AcDbRegAppTableRecord::AcDbRegAppTableRecord() = default;
AcDbRegAppTableRecord::~AcDbRegAppTableRecord() = default;
