// What a drawing keeps of the DXF file it came from, beside its objects: the version and
// code page it is saved in again, the header variables, the CLASSES entries, the order of
// the tables, the BLOCK and ENDBLK records of each block, sections the host does not use,
// and for each object it read into a class of its own the tags it was read from.  An
// object whose fields still file out as they did after reading is written back with its
// original tags, so that nothing the host does not model is lost; a changed one is
// written from its fields.
#pragma once

#include "arx/dbid.h"
#include "db/dxf/tags.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class AcDbDatabase;

namespace cadhost::db::dxf {

struct Record {
    std::string type; // value of the 0 tag
    Tags tags;        // the tags after it
};

struct TableState {
    std::string name;                  // VPORT, LTYPE, LAYER, ...
    AcDbObjectId head;                 // the table object
    std::vector<AcDbObjectId> records; // kept records (tables the host has no class for)
    bool modeled = false;              // records come from the database's own table
};

struct BlockEnds {
    Tags begin; // the tags of the BLOCK record, after its 0 tag
    Tags end;   // the tags of the ENDBLK record
};

// Both as AppendTags lays them out: a compact copy that writing can take over whole.
struct Original {
    enum class Raw : std::uint8_t {
        Canonical, // the tags read are the canonical ones (raw stays empty)
        Delta,     // raw holds the changes that make them out of the canonical ones (tagdelta.h)
        Whole,     // raw holds them
    };
    std::string canonical; // what the object filed out right after reading
    std::string raw;       // the tags read, after the 0 tag, in the form `form` says
    Raw form = Raw::Whole;

    // The tags read; scratch holds them when they have to be made.
    std::string_view rawLayout(std::string& scratch) const;
};

struct Section {
    std::string name;
    Tags preamble; // tags before the first entry
    std::vector<Record> records;
};

struct FileState {
    std::string version = "AC1018";
    std::string codePage = "ANSI_1252";
    // The header's tags (9 $NAME followed by its values); empty for a new drawing.
    Tags header;
    std::vector<Record> classes;
    std::vector<TableState> tables;
    std::map<std::uint64_t, BlockEnds> blocks;             // by block record handle
    std::unordered_map<std::uint64_t, Original> originals; // by handle
    std::vector<AcDbObjectId> objectOrder;                 // the OBJECTS section as read
    std::vector<Section> otherSections;                    // THUMBNAILIMAGE, ACDSDATA, ...
    // The size of the text read or written last.
    std::size_t fileSize = 0;
    // The unix path of the file the drawing was read from or last saved to ("" for none).
    std::string path;
};

// The drawing's file state, nullptr when it has none (a new drawing not yet saved).
FileState* FileStateOf(const AcDbDatabase* db);
FileState& AttachFileState(AcDbDatabase* db);

} // namespace cadhost::db::dxf
