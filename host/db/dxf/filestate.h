// What a drawing keeps of the DXF file it came from, beside its objects: the version and
// code page it is saved in again, the header variables, the CLASSES entries, the order of
// the tables, the BLOCK and ENDBLK records of each block, sections the host does not use,
// and for each object it read into a class of its own the tags it was read from (most as
// stretches of the file's text, which the drawing keeps).  An object that has not been
// opened for write since, or whose fields still file out as they did before it could first
// change, is written back with its original tags, so that nothing the host does not model is
// lost; a changed one is written from its fields.
#pragma once

#include "arx/dbid.h"
#include "db/dxf/tags.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class AcDbDatabase;
class AcDbObject;

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

// Both as AppendTags lays them out: a compact copy that writing can take over whole.  An
// object that has not changed since it was read has not been filed out yet: until it may
// change, the tags read are all there is of it, and they are what saving writes.
struct Original {
    enum class Raw : std::uint8_t {
        Unfiled,   // the tags read; the object has not been filed out (no canonical tags)
        Canonical, // the tags read are the canonical ones (nothing else is kept)
        Delta,     // the changes that make them out of the canonical ones (tagdelta.h)
        Whole,     // the tags read
    };
    // What is kept beside the stretch of the file's text: the object's canonical tags and
    // the tags read in the form `form` says, unless they are that stretch.
    struct Texts {
        std::string canonical; // what the object filed out before it could first change
        std::string raw;
    };
    std::uint64_t handle = 0;
    AcDbObjectId id;
    std::string_view read; // the tags read as a stretch of the file's text (Unfiled, Whole)
    std::unique_ptr<Texts> texts;
    Raw form = Raw::Unfiled;

    // The tags read; scratch holds them when they have to be made.
    std::string_view rawLayout(std::string& scratch) const;
    // The tags read as kept: the stretch of the file's text, or else the raw text.
    std::string_view rawText() const;
    // What the object filed out before it could first change ("" while Unfiled).
    std::string_view canonical() const;
    // Takes what the unchanged object files out now as its canonical tags.
    void fileFrom(AcDbObject& object, AcDbDatabase* db);
};

// The originals of a drawing, in the order of their handles once the drawing is read.
class Originals {
public:
    // A new original at the end; sort() puts it in its place.
    Original& add(std::uint64_t handle, AcDbObjectId id);
    void sort();
    // Null when the object has none.
    Original* find(std::uint64_t handle);
    std::size_t size() const { return m_items.size(); }
    std::vector<Original>::iterator begin() { return m_items.begin(); }
    std::vector<Original>::iterator end() { return m_items.end(); }

private:
    std::vector<Original> m_items;
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
    std::map<std::uint64_t, BlockEnds> blocks; // by block record handle
    // The text of the file read, where the originals' tags lie unless they are copied out.
    std::string text;
    Originals originals;
    std::size_t unfiled = 0;               // originals not filed out yet
    std::vector<AcDbObjectId> objectOrder; // the OBJECTS section as read
    std::vector<Section> otherSections;    // THUMBNAILIMAGE, ACDSDATA, ...
    // The size of the text read or written last.
    std::size_t fileSize = 0;
    // The unix path of the file the drawing was read from or last saved to ("" for none).
    std::string path;
};

// The drawing's file state, nullptr when it has none (a new drawing not yet saved).
FileState* FileStateOf(const AcDbDatabase* db);
FileState& AttachFileState(AcDbDatabase* db);

// The database's beforeChange hook while objects read from the file have not been filed
// out: the object's canonical tags are taken before it changes, and every object's when
// the change may show in what others file out.
void FileOriginalsBeforeChange(AcDbDatabase& db, AcDbObject& object, bool showsElsewhere);

} // namespace cadhost::db::dxf
