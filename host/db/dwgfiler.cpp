#include "db/dwgfiler.h"

#include "arx/dbdatabase.h"
#include "arx/dbservices.h"

#include <bit>
#include <cstring>
#include <string>

namespace cadhost::db {

static_assert(std::endian::native == std::endian::little,
              "the buffer layout is little-endian; a big-endian host needs byte swapping");

BinaryDwgFiler::BinaryDwgFiler(AcDb::FilerType type, AcDbDatabase* database)
    : m_type(type), m_database(database) {}

BinaryDwgFiler::BinaryDwgFiler(std::vector<std::uint8_t> bytes, AcDb::FilerType type,
                               AcDbDatabase* database)
    : m_bytes(std::move(bytes)), m_type(type), m_database(database) {}

void BinaryDwgFiler::setFilerStatus(Acad::ErrorStatus status) {
    // The first error is the one worth reporting; later ones are its consequences.
    if (m_status == Acad::eOk)
        m_status = status;
}

bool BinaryDwgFiler::take(void* out, std::size_t length) {
    if (m_status != Acad::eOk || m_bytes.size() - m_pos < length) {
        std::memset(out, 0, length);
        setFilerStatus(Acad::eEndOfFile);
        return false;
    }
    if (length)
        std::memcpy(out, m_bytes.data() + m_pos, length);
    m_pos += length;
    return true;
}

void BinaryDwgFiler::put(const void* in, std::size_t length) {
    const auto* first = static_cast<const std::uint8_t*>(in);
    m_bytes.insert(m_bytes.end(), first, first + length);
}

Acad::ErrorStatus BinaryDwgFiler::readString(char** value) {
    *value = nullptr;
    std::uint64_t length = 0;
    // The length is checked against what is left before allocating, so a corrupt prefix
    // cannot ask for gigabytes.
    if (!take(&length, sizeof length))
        return m_status;
    if (length > m_bytes.size() - m_pos) {
        setFilerStatus(Acad::eEndOfFile);
        return m_status;
    }
    std::string text(reinterpret_cast<const char*>(m_bytes.data() + m_pos), length);
    m_pos += length;
    *value = acutNewString(text.c_str());
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writeString(const char* value) {
    const std::uint64_t length = value ? std::strlen(value) : 0;
    put(&length, sizeof length);
    put(value ? value : "", length);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::readBytes(void* buffer, std::size_t length) {
    std::uint64_t stored = 0;
    if (!take(&stored, sizeof stored))
        return m_status;
    // A chunk of another size than the one asked for means the reader is out of step.
    if (stored != length) {
        setFilerStatus(Acad::eFilerError);
        return m_status;
    }
    take(buffer, length);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writeBytes(const void* buffer, std::size_t length) {
    const std::uint64_t stored = length;
    put(&stored, sizeof stored);
    put(buffer, length);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::readBool(bool* value) {
    std::uint8_t byte = 0;
    take(&byte, 1);
    *value = byte != 0;
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writeBool(bool value) {
    const std::uint8_t byte = value ? 1 : 0;
    put(&byte, 1);
    return m_status;
}

#define DWG_FILER_PLAIN(NAME, TYPE)                                                                \
    Acad::ErrorStatus BinaryDwgFiler::read##NAME(TYPE* value) {                                    \
        take(value, sizeof(TYPE));                                                                 \
        return m_status;                                                                           \
    }                                                                                              \
    Acad::ErrorStatus BinaryDwgFiler::write##NAME(TYPE value) {                                    \
        put(&value, sizeof(TYPE));                                                                 \
        return m_status;                                                                           \
    }
DWG_FILER_PLAIN(Int8, Adesk::Int8)
DWG_FILER_PLAIN(UInt8, Adesk::UInt8)
DWG_FILER_PLAIN(Int16, Adesk::Int16)
DWG_FILER_PLAIN(UInt16, Adesk::UInt16)
DWG_FILER_PLAIN(Int32, Adesk::Int32)
DWG_FILER_PLAIN(UInt32, Adesk::UInt32)
DWG_FILER_PLAIN(Int64, Adesk::Int64)
DWG_FILER_PLAIN(UInt64, Adesk::UInt64)
DWG_FILER_PLAIN(Double, double)
#undef DWG_FILER_PLAIN

Acad::ErrorStatus BinaryDwgFiler::readPoint3d(AcGePoint3d* value) {
    double xyz[3] = {};
    take(xyz, sizeof xyz);
    *value = AcGePoint3d(xyz[0], xyz[1], xyz[2]);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writePoint3d(const AcGePoint3d& value) {
    const double xyz[3] = {value.x, value.y, value.z};
    put(xyz, sizeof xyz);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::readVector3d(AcGeVector3d* value) {
    double xyz[3] = {};
    take(xyz, sizeof xyz);
    *value = AcGeVector3d(xyz[0], xyz[1], xyz[2]);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writeVector3d(const AcGeVector3d& value) {
    const double xyz[3] = {value.x, value.y, value.z};
    put(xyz, sizeof xyz);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::readAcDbHandle(AcDbHandle* value) {
    std::uint64_t raw = 0;
    take(&raw, sizeof raw);
    *value = AcDbHandle(raw);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writeAcDbHandle(const AcDbHandle& value) {
    const auto raw = static_cast<std::uint64_t>(value);
    put(&raw, sizeof raw);
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::readId(AcDbObjectId* value) {
    *value = AcDbObjectId();
    AcDbHandle handle;
    if (readAcDbHandle(&handle) != Acad::eOk || handle.isNull())
        return m_status;
    // Without a database there is nothing to resolve against; a handle the database has
    // never seen is reserved so that the object may still arrive later in the same read.
    if (!m_database) {
        setFilerStatus(Acad::eNoDatabase);
        return m_status;
    }
    AcDbObjectId id;
    if (m_database->getAcDbObjectId(id, true, handle) != Acad::eOk) {
        setFilerStatus(Acad::eFilerError);
        return m_status;
    }
    *value = id;
    return m_status;
}

Acad::ErrorStatus BinaryDwgFiler::writeId(const AcDbObjectId& value) {
    return writeAcDbHandle(value.handle());
}

#define DWG_FILER_ID(NAME)                                                                         \
    Acad::ErrorStatus BinaryDwgFiler::read##NAME(AcDb##NAME* value) {                              \
        AcDbObjectId id;                                                                           \
        readId(&id);                                                                               \
        *value = id;                                                                               \
        return m_status;                                                                           \
    }                                                                                              \
    Acad::ErrorStatus BinaryDwgFiler::write##NAME(const AcDb##NAME& value) {                       \
        return writeId(value);                                                                     \
    }
DWG_FILER_ID(HardOwnershipId)
DWG_FILER_ID(SoftOwnershipId)
DWG_FILER_ID(HardPointerId)
DWG_FILER_ID(SoftPointerId)
#undef DWG_FILER_ID

} // namespace cadhost::db
