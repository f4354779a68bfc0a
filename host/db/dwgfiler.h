// A binary DWG filer over a memory buffer: what copies, undo records and tests file objects
// through.  Values are stored little-endian at fixed widths; strings and byte chunks carry a
// 64-bit length first so any length survives.  Object ids go out as their handles and are
// looked up again in the filer's database on read.
#pragma once

#include "arx/dbfiler.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace cadhost::db {

class BinaryDwgFiler final : public AcDbDwgFiler {
public:
    explicit BinaryDwgFiler(AcDb::FilerType type = AcDb::kCopyFiler,
                            AcDbDatabase* database = nullptr);
    // Reads from an existing buffer (for instance a truncated one in a test).
    BinaryDwgFiler(std::vector<std::uint8_t> bytes, AcDb::FilerType type, AcDbDatabase* database);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    // Hands the buffer over (undo records keep it); the filer is empty afterwards.
    std::vector<std::uint8_t> takeBytes() {
        m_pos = 0;
        return std::move(m_bytes);
    }
    // Moves the read position back to the start; writes always append.
    void rewind() { m_pos = 0; }

    Acad::ErrorStatus filerStatus() const override { return m_status; }
    void setFilerStatus(Acad::ErrorStatus status) override;
    void resetFilerStatus() override { m_status = Acad::eOk; }
    AcDb::FilerType filerType() const override { return m_type; }
    AcDbDatabase* database() const override { return m_database; }

    Acad::ErrorStatus readString(char** value) override;
    Acad::ErrorStatus writeString(const char* value) override;
    Acad::ErrorStatus readBytes(void* buffer, std::size_t length) override;
    Acad::ErrorStatus writeBytes(const void* buffer, std::size_t length) override;

    Acad::ErrorStatus readBool(bool* value) override;
    Acad::ErrorStatus writeBool(bool value) override;
    Acad::ErrorStatus readInt8(Adesk::Int8* value) override;
    Acad::ErrorStatus writeInt8(Adesk::Int8 value) override;
    Acad::ErrorStatus readUInt8(Adesk::UInt8* value) override;
    Acad::ErrorStatus writeUInt8(Adesk::UInt8 value) override;
    Acad::ErrorStatus readInt16(Adesk::Int16* value) override;
    Acad::ErrorStatus writeInt16(Adesk::Int16 value) override;
    Acad::ErrorStatus readUInt16(Adesk::UInt16* value) override;
    Acad::ErrorStatus writeUInt16(Adesk::UInt16 value) override;
    Acad::ErrorStatus readInt32(Adesk::Int32* value) override;
    Acad::ErrorStatus writeInt32(Adesk::Int32 value) override;
    Acad::ErrorStatus readUInt32(Adesk::UInt32* value) override;
    Acad::ErrorStatus writeUInt32(Adesk::UInt32 value) override;
    Acad::ErrorStatus readInt64(Adesk::Int64* value) override;
    Acad::ErrorStatus writeInt64(Adesk::Int64 value) override;
    Acad::ErrorStatus readUInt64(Adesk::UInt64* value) override;
    Acad::ErrorStatus writeUInt64(Adesk::UInt64 value) override;
    Acad::ErrorStatus readDouble(double* value) override;
    Acad::ErrorStatus writeDouble(double value) override;
    Acad::ErrorStatus readPoint3d(AcGePoint3d* value) override;
    Acad::ErrorStatus writePoint3d(const AcGePoint3d& value) override;
    Acad::ErrorStatus readVector3d(AcGeVector3d* value) override;
    Acad::ErrorStatus writeVector3d(const AcGeVector3d& value) override;

    Acad::ErrorStatus readAcDbHandle(AcDbHandle* value) override;
    Acad::ErrorStatus writeAcDbHandle(const AcDbHandle& value) override;
    Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* value) override;
    Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& value) override;
    Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* value) override;
    Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& value) override;
    Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* value) override;
    Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& value) override;
    Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* value) override;
    Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& value) override;

private:
    // Copies the next length bytes out, or sets eEndOfFile (leaving out zeroed) when fewer
    // remain; nothing is read once the filer is in error.
    bool take(void* out, std::size_t length);
    void put(const void* in, std::size_t length);
    Acad::ErrorStatus readId(AcDbObjectId* value);
    Acad::ErrorStatus writeId(const AcDbObjectId& value);

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    Acad::ErrorStatus m_status = Acad::eOk;
    AcDb::FilerType m_type;
    AcDbDatabase* m_database;
};

} // namespace cadhost::db
