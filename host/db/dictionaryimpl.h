// The inside of a dictionary: entries by folded key, and the reverse index by id.
#pragma once

#include "arx/dbdict.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

struct AcDbDictionary::Impl {
    struct Entry {
        std::string key; // as stored, with its letter case
        AcDbObjectId id;
        std::uint64_t order; // when it was stored, for collated iteration
    };
    // Folded keys sort bytewise, which is the sorted order of the iterator.
    std::map<std::string, Entry> entries;
    std::unordered_map<AcDbObjectId, std::string> foldedKeyOf;
    std::uint64_t nextOrder = 0;

    // The entry of the key whose object is not erased, or nullptr.
    const Entry* find(const std::string& folded) const;
    // Puts the id under the key, dropping what was there; a new entry comes last in
    // collated order unless it keeps an earlier entry's place.
    static constexpr std::uint64_t kNewOrder = ~std::uint64_t{0};
    void put(const std::string& key, AcDbObjectId id, std::uint64_t order = kNewOrder);
    // Drops the entry of the folded key.
    void drop(const std::string& folded);
};
