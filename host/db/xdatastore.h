// Extended data kept on an object: one part per registered application, in the order the
// applications first set theirs.  Each part is a chain starting with its 1001 item.
#pragma once

#include "arx/adsdefs.h"
#include "arx/errorstatus.h"

#include <cstddef>
#include <string>
#include <vector>

class AcDbObject;
class AcDbDatabase;

namespace cadhost::db {

// The most extended data one object may carry, in bytes as XDataSize counts them.
inline constexpr std::size_t kMaxXDataSize = 16 * 1024;

struct XDataPart {
    std::string app; // the application's name as registered
    resbuf* chain = nullptr;
};

// Owns the chains of its parts.
struct XDataStore {
    XDataStore() = default;
    XDataStore(const XDataStore&) = delete;
    XDataStore& operator=(const XDataStore&) = delete;
    ~XDataStore();
    std::vector<XDataPart> parts;
};

void DeleteXData(XDataStore* store);

// The size of a chain of extended data: per item two bytes for its code and the value's own
// bytes (a string's length and two for its length, 8 for a real, 24 for a point, ...).
std::size_t XDataSize(const resbuf* chain);

// Checks a chain of extended data and splits it into the parts of its applications.  With a
// database the applications must be registered in it (eRegappIdNotFound) and take the
// registered spelling; without one (filing) they are taken as written.  The parts are
// copies that the caller owns.
Acad::ErrorStatus ParseXData(const resbuf* chain, AcDbDatabase* db, std::vector<XDataPart>& parts);
// The same without a database, taking the chain's items into the parts instead of copying
// them: the chain is null after, also when it is refused (then it is released).
Acad::ErrorStatus TakeXData(resbuf*& chain, std::vector<XDataPart>& parts);

// Merges parsed parts into the object's store: each replaces the part of its application, a
// part of only the 1001 item removes it.  eXdataSizeExceeded, with the store unchanged, when
// the result would be too large.  Takes the parts' chains in every case.
Acad::ErrorStatus MergeXData(AcDbObject& object, std::vector<XDataPart>& parts);

// A copy of all the object's extended data, without the open check (nullptr when none).
resbuf* CopyAllXData(const AcDbObject& object);

} // namespace cadhost::db
