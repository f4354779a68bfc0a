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
class AcRxClass;

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

// Both as AppendTags lays them out.  The tags read are kept whole, mostly as a stretch of
// the file's text; the object's canonical tags are taken only when it may first change (an
// object that has not changed since it was read needs none: the tags read are what saving
// writes) and kept as the changes that make them out of the tags read.
struct Original {
    enum class Filed : std::uint8_t {
        Not,   // the object has not been filed out (no canonical tags)
        Same,  // its canonical tags are the tags read
        Delta, // `filed` holds the changes that make them out of the tags read (tagdelta.h)
        Whole, // `filed` holds them
    };
    struct Texts {
        std::string raw;   // the tags read when they are no stretch of the file's text
        std::string filed; // as `form` says
    };
    std::uint64_t handle = 0;
    AcDbObjectId id;
    // The object's class: what saving needs of an unchanged object, which it then writes
    // without a look at the object itself.
    const AcRxClass* cls = nullptr;
    std::string_view read; // the tags read as a stretch of the file's text
    std::unique_ptr<Texts> texts;
    Filed form = Filed::Not;

    // The tags read, after the 0 tag.
    std::string_view rawText() const;
    // What the object filed out before it could first change ("" while Not); scratch
    // holds it when it has to be made.
    std::string_view canonical(std::string& scratch) const;
    // Takes what the unchanged object files out now as its canonical tags.
    void fileFrom(AcDbObject& object, AcDbDatabase* db);
};

// The originals of a drawing, in the order of their handles once the drawing is read.
class Originals {
public:
    // A new original at the end; sort() puts it in its place.
    Original& add(std::uint64_t handle, AcDbObjectId id);
    // Room for n originals in all, so that reading a drawing does not grow them by copying.
    void reserve(std::size_t n) { m_items.reserve(n); }
    void sort();
    // Null when the object has none.
    Original* find(std::uint64_t handle);
    std::size_t size() const { return m_items.size(); }
    std::vector<Original>::iterator begin() { return m_items.begin(); }
    std::vector<Original>::iterator end() { return m_items.end(); }

private:
    std::vector<Original> m_items;
    std::size_t m_next = 0; // the item after the one found last
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
    // The text of the file read, where most originals' tags lie (the buffer a file was
    // read into, or a copy of a text given).
    std::unique_ptr<char[]> text;
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
