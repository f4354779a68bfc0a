// What kind of value a result buffer of a given type holds.  The type is an RT code or a
// DXF group code; group codes fall in ranges by value type.
#pragma once

#include "arx/adsdefs.h"

#include <array>
#include <cstddef>

namespace cadhost::db {

enum class ValueKind {
    None,    // no value (list brackets, RTNONE, RTVOID, the extended-data sentinel)
    String,  // rstring, malloc'd, owned by the buffer
    Binary,  // rbinary, malloc'd, owned by the buffer
    Point,   // rpoint
    Real,    // rreal
    Short,   // rint
    Long,    // rlong
    Int64,   // mnLongPtr
    Name,    // rlname (entity and selection-set names, object references)
    Unknown, // a type this host does not know
};

namespace detail {

constexpr ValueKind KindByRange(int type) {
    switch (type) {
    case RTNONE:
    case RTVOID:
    case RTLB:
    case RTLE:
    case -3: // the start of extended data in entity lists
        return ValueKind::None;
    case RTREAL:
    case RTANG:
    case RTORINT:
        return ValueKind::Real;
    case RTPOINT:
    case RT3DPOINT:
        return ValueKind::Point;
    case RTSHORT:
        return ValueKind::Short;
    case RTLONG:
        return ValueKind::Long;
    case RTSTR:
    case RTDXF0:
        return ValueKind::String;
    case RTENAME:
    case RTPICKS:
        return ValueKind::Name;
    default:
        break;
    }
    if (type >= -5 && type <= -1)
        return ValueKind::Name; // entity name, header references, reactors
    if (type < 0)
        return ValueKind::Unknown;
    // DXF group codes by range.
    if (type <= 9)
        return ValueKind::String;
    if (type <= 17)
        return ValueKind::Point;
    if (type <= 59)
        return ValueKind::Real;
    if (type <= 79)
        return ValueKind::Short;
    if (type <= 89)
        return ValueKind::Unknown;
    if (type <= 99)
        return ValueKind::Long;
    if (type == 100 || type == 101 || type == 102 || type == 105)
        return ValueKind::String;
    if (type >= 110 && type <= 112)
        return ValueKind::Point;
    if (type >= 113 && type <= 149)
        return ValueKind::Real;
    if (type >= 160 && type <= 169)
        return ValueKind::Int64;
    if (type >= 170 && type <= 179)
        return ValueKind::Short;
    if (type == 210)
        return ValueKind::Point;
    if (type >= 211 && type <= 239)
        return ValueKind::Real;
    if (type >= 270 && type <= 299)
        return ValueKind::Short;
    if (type >= 300 && type <= 309)
        return ValueKind::String;
    if (type >= 310 && type <= 319)
        return ValueKind::Binary;
    if (type >= 320 && type <= 329)
        return ValueKind::String; // handles as text
    if (type >= 330 && type <= 369)
        return ValueKind::Name;
    if (type >= 370 && type <= 389)
        return ValueKind::Short;
    if (type >= 390 && type <= 399)
        return ValueKind::Name;
    if (type >= 400 && type <= 409)
        return ValueKind::Short;
    if (type >= 410 && type <= 419)
        return ValueKind::String;
    if (type >= 420 && type <= 429)
        return ValueKind::Long;
    if (type >= 430 && type <= 439)
        return ValueKind::String;
    if (type >= 440 && type <= 459)
        return ValueKind::Long;
    if (type >= 460 && type <= 469)
        return ValueKind::Real;
    if (type >= 470 && type <= 479)
        return ValueKind::String;
    if (type >= 480 && type <= 481)
        return ValueKind::Name;
    if (type == 999)
        return ValueKind::String;
    if (type == 1004)
        return ValueKind::Binary;
    if (type >= 1000 && type <= 1009)
        return ValueKind::String;
    if (type >= 1010 && type <= 1013)
        return ValueKind::Point;
    if (type >= 1014 && type <= 1059)
        return ValueKind::Real;
    if (type >= 1060 && type <= 1070)
        return ValueKind::Short;
    if (type == 1071)
        return ValueKind::Long;
    return ValueKind::Unknown;
}

// Group codes are asked for by the million when a drawing is read: looked up, not ranged.
inline constexpr int kTabledKinds = 1072;
inline constexpr std::array<ValueKind, kTabledKinds> kKindTable = [] {
    std::array<ValueKind, kTabledKinds> table{};
    for (int code = 0; code < kTabledKinds; ++code)
        table[static_cast<std::size_t>(code)] = KindByRange(code);
    return table;
}();

} // namespace detail

constexpr ValueKind KindOf(int type) {
    return type >= 0 && type < detail::kTabledKinds
               ? detail::kKindTable[static_cast<std::size_t>(type)]
               : detail::KindByRange(type);
}

// A deep copy of one buffer (not its successors); nullptr when out of memory.
resbuf* CopyResbuf(const resbuf& source);
// A deep copy of a chain.
resbuf* CopyChain(const resbuf* chain);

} // namespace cadhost::db
