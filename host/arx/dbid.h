// Handles and object ids.
//
// A handle is the permanent 64-bit name of an object inside its drawing: unique in that
// drawing, never reused, saved with it, written as hexadecimal text ("2F").  An object id
// is the in-memory reference to an object of a loaded drawing: a small value that stays
// safe to use after the object was erased or its database destroyed (it then answers
// isValid() false and opens with an error instead of reaching freed memory).
#pragma once

#include "arx/acarray.h"
#include "arx/adesk.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

class AcDbDatabase;
class AcRxClass;

namespace cadhost::db {
struct IdAccess;
} // namespace cadhost::db

class AcDbHandle {
public:
    AcDbHandle() = default;
    AcDbHandle(std::uint32_t low, std::uint32_t high)
        : m_value((std::uint64_t{high} << 32) | low) {}
    AcDbHandle(std::uint64_t value) : m_value(value) {}
    // From hexadecimal text of 1 to 16 digits, either letter case; any other text gives the
    // null handle.
    explicit AcDbHandle(const char* hexText);
    AcDbHandle& operator=(const char* hexText);

    bool isNull() const { return m_value == 0; }
    void setNull() { m_value = 0; }
    bool isOne() const { return m_value == 1; }
    std::uint32_t low() const { return static_cast<std::uint32_t>(m_value); }
    std::uint32_t high() const { return static_cast<std::uint32_t>(m_value >> 32); }
    explicit operator std::uint64_t() const { return m_value; }

    // The longest text: 16 digits and the terminating zero.
    static constexpr std::size_t kStrSiz = 17;
    // Writes the handle as upper-case hexadecimal without leading zeros ("0" for the null
    // handle).  False, with an empty text when there is room for one, if the buffer is too
    // small.
    bool getIntoAsciiBuffer(char* buffer, std::size_t bufferSize) const;

    void increment() { ++m_value; }
    void decrement() { --m_value; }
    AcDbHandle& operator++() {
        ++m_value;
        return *this;
    }
    AcDbHandle operator++(int) {
        AcDbHandle before = *this;
        ++m_value;
        return before;
    }
    AcDbHandle operator+(const AcDbHandle& other) const { return m_value + other.m_value; }
    AcDbHandle& operator+=(const AcDbHandle& other) {
        m_value += other.m_value;
        return *this;
    }

    friend bool operator==(const AcDbHandle&, const AcDbHandle&) = default;
    friend auto operator<=>(const AcDbHandle&, const AcDbHandle&) = default;

private:
    std::uint64_t m_value = 0;
};

class AcDbObjectId {
public:
    constexpr AcDbObjectId() = default;

    static const AcDbObjectId kNull;

    bool isNull() const { return m_key == 0; }
    void setNull() { m_key = 0; }
    // Not null, and its database still exists.
    bool isValid() const;
    // The object is erased (or gone with its database).
    bool isErased() const;
    // The object's handle; the null handle for a null or dead id.
    AcDbHandle handle() const;
    AcDbDatabase* database() const;
    // The class of the object, or nullptr when there is no object behind the id.
    AcRxClass* objectClass() const;

    // The id as one integer (for ads names and hashing) and back; 0 is the null id.
    Adesk::IntDbId asOldId() const { return static_cast<Adesk::IntDbId>(m_key); }
    AcDbObjectId& setFromOldId(Adesk::IntDbId oldId) {
        m_key = static_cast<std::uint64_t>(oldId);
        return *this;
    }

    friend bool operator==(const AcDbObjectId&, const AcDbObjectId&) = default;
    friend auto operator<=>(const AcDbObjectId&, const AcDbObjectId&) = default;

private:
    friend struct cadhost::db::IdAccess;
    // The database's serial number in the high half, the object's slot + 1 in the low half.
    std::uint64_t m_key = 0;
};

// Ids tagged with the kind of reference they file as: an owner's reference to what it owns
// (hard ownership keeps it alive), or a plain pointer.
class AcDbHardOwnershipId : public AcDbObjectId {
public:
    AcDbHardOwnershipId() = default;
    AcDbHardOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class AcDbSoftOwnershipId : public AcDbObjectId {
public:
    AcDbSoftOwnershipId() = default;
    AcDbSoftOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class AcDbHardPointerId : public AcDbObjectId {
public:
    AcDbHardPointerId() = default;
    AcDbHardPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class AcDbSoftPointerId : public AcDbObjectId {
public:
    AcDbSoftPointerId() = default;
    AcDbSoftPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};

class AcDbObjectIdArray : public AcArray<AcDbObjectId> {
public:
    using AcArray<AcDbObjectId>::AcArray;
};

template <> struct std::hash<AcDbObjectId> {
    std::size_t operator()(const AcDbObjectId& id) const noexcept {
        return std::hash<Adesk::IntDbId>()(id.asOldId());
    }
};

template <> struct std::hash<AcDbHandle> {
    std::size_t operator()(const AcDbHandle& handle) const noexcept {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(handle));
    }
};
