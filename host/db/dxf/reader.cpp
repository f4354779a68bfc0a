// Reading a DXF file into a new database.
//
// The reader works in three steps: tags, sections, then objects.  Every handle in the file
// is reserved first, so that references resolve whatever the order of the objects, and a
// handle used twice is given a new one.  Objects of the host's own classes (and of loaded
// custom classes) are read into instances through dxfInFields; the others are kept with
// their tags.  An object whose fields cannot be read is kept as well, never dropped.
#include "db/dxf/dxffile.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/dxf/codepage.h"
#include "db/dxf/filers.h"
#include "db/dxf/filestate.h"
#include "db/dxf/keptobject.h"
#include "db/dxf/objectio.h"
#include "db/dxf/runsort.h"
#include "db/dxf/structure.h"
#include "db/dxf/tagdelta.h"
#include "db/dxfclass.h"
#include "db/entityaccess.h"
#include "db/objectaccess.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"
#include "db/xdatastore.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

namespace cadhost::db::dxf {

namespace {

std::string At(int line) {
    return "line " + std::to_string(line) + ": ";
}

// What the messages about a drawing's version say the host reads.
const char* const kVersionsRead = "the host reads DXF versions AC1012 to AC1032";

bool SupportedVersion(const std::string& v) {
    static const char* const versions[] = {"AC1012", "AC1014", "AC1015", "AC1018",
                                           "AC1021", "AC1024", "AC1027", "AC1032"};
    for (const char* known : versions)
        if (v == known)
            return true;
    return false;
}

// Sub-entities follow their parent in the file; they are kept together with it.
bool IsSubEntity(const std::string& type) {
    return type == "VERTEX" || type == "ATTRIB" || type == "SEQEND";
}

// The value of a record's handle (HandleOf), without making its tags; 0 for none.
std::uint64_t HandleOfRecord(const FileRecord& record) {
    if (record.handleScan == FileRecord::HandleScan::Found)
        return record.scannedHandle;
    if (record.handleScan == FileRecord::HandleScan::Absent)
        return 0;
    if (!record.laidOut)
        return static_cast<std::uint64_t>(AcDbHandle(HandleOf(record.tags, record.type).c_str()));
    const int code = HandleCode(record.type);
    LaidOutTags tags(record.laidText(), record.literal());
    TagView tag;
    while (tags.next(tag)) {
        if (tag.code == code)
            return static_cast<std::uint64_t>(AcDbHandle(std::string(tag.value).c_str()));
        if (tag.code == 100 || tag.code == 0)
            break;
    }
    return 0;
}

// Makes an entity's owner tag (OwnerHandleOf) name the block it is read into: one between
// BLOCK and ENDBLK belongs to that block whatever its tag says, and written back with the
// tag naming another block it would be read into that one the next time.  A missing tag is
// put before the entity's first subclass.
// `views` are the record's tagViews().
void OwnRecord(FileRecord& record, std::span<const TagView> views, AcDbHandle block) {
    char hex[AcDbHandle::kStrSiz];
    block.getIntoAsciiBuffer(hex, sizeof hex);
    const auto named = [&](std::string_view text) {
        return AcDbHandle(std::string(text).c_str()) == block;
    };
    if (named(OwnerHandleOf(views)))
        return;
    Tags& tags = record.tagsNow();
    bool inGroup = false;
    for (auto tag = tags.begin(); tag != tags.end(); ++tag) {
        if (tag->code == 102) {
            inGroup = !tag->value.empty() && tag->value[0] == '{';
        } else if (tag->code == 330 && !inGroup) {
            if (!named(tag->value))
                tag->value = hex;
            return;
        } else if (tag->code == 100 || tag->code == 1001 || tag->code == 0) {
            tags.insert(tag, Tag{330, hex, record.line});
            return;
        }
    }
    tags.push_back(Tag{330, hex, record.line});
}

// A record's tags laid out as AppendTags lays them out, taken from it: a layout of its own,
// or else the stretch of the file's text that holds them.
std::pair<std::string, std::string_view> TakeLayout(FileRecord& record) {
    if (!record.laidOut) {
        std::string layout;
        AppendTags(layout, record.tags);
        return {std::move(layout), {}};
    }
    if (!record.literal())
        return {std::move(record.layout), {}};
    if (IsPlainLayout(record.slice))
        return {{}, record.slice};
    return {LayoutOfLiteral(record.slice), {}}; // a byte 01 in a value, which a layout escapes
}

KeptTags KeptTagsOf(FileRecord& record) {
    auto [owned, text] = TakeLayout(record);
    return KeptTags(record.type, std::move(owned), text);
}

// What an object the host keeps as read needs of its tags before it joins the drawing: its
// handle (HandleOf), its owner (OwnerHandleOf) and, for an entity, the layer and color of
// its entity part.  One look through the first tags, without making them.
struct KeptHead {
    std::string handle, owner, layer;
    long long color = 256;
};

KeptHead KeptHeadOf(FileRecord& record, bool entity) {
    KeptHead head;
    const int handleCode = HandleCode(record.type);
    bool handleDone = false, ownerDone = false, entityDone = !entity, inGroup = false;
    auto add = [&](const TagView& tag) {
        if (!handleDone) {
            if (tag.code == handleCode) {
                head.handle = tag.value;
                handleDone = true;
            } else if (tag.code == 100 || tag.code == 0) {
                handleDone = true;
            }
        }
        if (!ownerDone) {
            if (tag.code == 102)
                inGroup = !tag.value.empty() && tag.value[0] == '{';
            else if (tag.code == 330 && !inGroup)
                head.owner = tag.value, ownerDone = true;
            else if (tag.code == 100 || tag.code == 1001)
                ownerDone = true;
        }
        if (!entityDone) {
            if (tag.code == 0 || (tag.code == 100 && tag.value != "AcDbEntity"))
                entityDone = true; // past the entity part
            else if (tag.code == 8 && head.layer.empty())
                head.layer = tag.value;
            else if (tag.code == 62)
                ParseInteger(tag.value, head.color);
        }
        return !(handleDone && ownerDone && entityDone);
    };
    if (!record.laidOut) {
        for (const Tag& tag : record.tags)
            if (!add(TagView{tag.code, tag.value, tag.line}))
                break;
        return head;
    }
    LaidOutTags tags(record.laidText(), record.literal());
    TagView tag;
    while (tags.next(tag) && add(tag)) {
    }
    return head;
}

class Reader {
public:
    Reader(AcDbDatabase* db, FileState& state) : m_db(db), m_impl(*db->impl()), m_state(state) {}

    bool build(FileStructure& file, std::string& error);

private:
    static std::string LaidOut(const Tags& tags) {
        std::string layout;
        AppendTags(layout, tags);
        return layout;
    }

    AcDbDatabase* m_db;
    AcDbDatabase::Impl& m_impl;
    FileState& m_state;
    std::map<std::string, std::string> m_classByDxfName;       // from CLASSES
    std::unordered_map<std::string, AcRxClass*> m_classOfType; // what classOf found
    EntityAccess::LayerBinding m_layer;                        // the layer bound last
    std::string m_error;
    std::vector<TagView> m_views; // room for the views of the next record

    // The record's views (FileRecord::tagViews), made in the room records pass on.
    std::span<const TagView> viewsOf(FileRecord& record) {
        if (!record.viewsMade && record.views.capacity() < m_views.capacity())
            record.views.swap(m_views);
        return record.tagViews();
    }
    bool assignHandles(FileStructure& file);
    // Gives the record the next fresh handle; answers its value.
    std::uint64_t renumber(FileRecord& record, std::uint64_t& next);
    AcRxClass* classOf(const std::string& type);
    // Makes the object of a record and adds it under its handle; kept when the host cannot
    // read it.  Null (with m_error) only when the database refuses it.
    AcDbObject* make(FileRecord& record, bool entity);
    AcDbObjectId idOfHandle(const std::string& text);
    void readTables(const FileSection& section);
    void readBlocks(FileSection& section);
    void readEntities(FileSection& section);
    void readObjects(FileSection& section);
    void appendToBlock(AcDbObjectId blockId, AcDbObject* object);
    void addRecord(AcDbSymbolTable* table, AcDbObjectId recordId);
    AcDbObjectId ensureTable(const char* name, AcDbSymbolTable* (*make)());
    void ensureRoots();
    // Keeps the tags an object was read from: raw, or their stretch of the file's text.
    void keep(AcDbObjectId id, const AcRxClass* cls, std::string raw, std::string_view read = {});
    void remember();
};

AcDbObjectId Reader::idOfHandle(const std::string& text) {
    AcDbHandle handle(text.c_str());
    AcDbObjectId id;
    if (!handle.isNull())
        m_db->getAcDbObjectId(id, true, handle);
    return id;
}

std::uint64_t Reader::renumber(FileRecord& record, std::uint64_t& next) {
    const int code = HandleCode(record.type);
    AcDbHandle fresh(next++);
    char hex[AcDbHandle::kStrSiz];
    fresh.getIntoAsciiBuffer(hex, sizeof hex);
    for (Tag& tag : record.tagsNow()) {
        if (tag.code == code) {
            tag.value = hex;
            return static_cast<std::uint64_t>(fresh);
        }
        if (tag.code == 100)
            break;
    }
    record.tagsNow().insert(record.tagsNow().begin() +
                                (record.type == "TABLE" && !record.tagsNow().empty()),
                            Tag{code, hex, record.line});
    return static_cast<std::uint64_t>(fresh);
}

// A handle that two records claim stays with the one other readers give it to: the last in
// the order TABLES, ENTITIES, BLOCKS, OBJECTS, where table heads count after everything
// else (readers keep no index of them).  The others, and records without a handle, get new
// handles past every handle of the file.
bool Reader::assignHandles(FileStructure& file) {
    std::vector<FileRecord*> order;
    for (const char* name : {"TABLES", "ENTITIES", "BLOCKS", "OBJECTS"})
        for (FileSection& section : file.sections)
            if (section.name == name)
                for (FileRecord& record : section.records)
                    if (record.type != "ENDTAB")
                        order.push_back(&record);
    // Each handle's value (0 for none or one out of range), and the records by handle in
    // their order (handles come mostly ascending: a sort of runs).
    std::vector<std::uint64_t> values(order.size());
    std::vector<std::pair<std::uint64_t, std::size_t>> byHandle;
    byHandle.reserve(order.size());
    std::uint64_t highest = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::uint64_t value = HandleOfRecord(*order[i]);
        if (value == 0 || value >= (std::uint64_t{1} << 62))
            continue;
        values[i] = value;
        highest = std::max(highest, value);
        byHandle.emplace_back(value, i);
    }
    SortRuns(byHandle.begin(), byHandle.end(), std::less<>());
    // Of the records that claim one handle, the last that is not a table head keeps it, or
    // else the last table head.
    std::vector<bool> keeps(order.size());
    for (std::size_t at = 0; at < byHandle.size();) {
        std::size_t end = at + 1;
        while (end < byHandle.size() && byHandle[end].first == byHandle[at].first)
            ++end;
        std::size_t keeper = byHandle[end - 1].second;
        for (std::size_t k = end; k-- > at;) {
            if (order[byHandle[k].second]->type != "TABLE") {
                keeper = byHandle[k].second;
                break;
            }
        }
        keeps[keeper] = true;
        at = end;
    }
    std::uint64_t next = highest + 1;
    std::vector<std::uint64_t> used;
    used.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (keeps[i])
            used.push_back(values[i]);
        else
            used.push_back(renumber(*order[i], next));
    }
    // Reserved in the order of their handles.
    SortRuns(used.begin(), used.end(), std::less<>());
    for (std::uint64_t value : used) {
        AcDbObjectId id;
        m_db->getAcDbObjectId(id, true, AcDbHandle(value));
    }
    // Each of these records is kept as one original at most.
    m_state.originals.reserve(used.size());
    return true;
}

AcRxClass* Reader::classOf(const std::string& type) {
    // Classes do not come or go while a file is read: each type is looked up once.
    auto [known, fresh] = m_classOfType.try_emplace(type, nullptr);
    if (!fresh)
        return known->second;
    AcRxClass* cls = HostClassOfDxfType(type);
    if (!cls) {
        if (auto it = m_classByDxfName.find(type); it != m_classByDxfName.end()) {
            AcRxObject* entry = acrxClassDictionary()->at(it->second.c_str());
            cls = entry && entry->isKindOf(AcRxClass::desc()) ? static_cast<AcRxClass*>(entry)
                                                              : nullptr;
            if (cls && !(cls->dxfName() && type == cls->dxfName()))
                cls = nullptr;
        }
    }
    known->second = cls;
    return cls;
}

AcDbObject* Reader::make(FileRecord& record, bool entity) {
    AcDbObject* object = nullptr;
    std::string handleText;
    if (AcRxClass* cls = classOf(record.type)) {
        std::span<const TagView> tags = viewsOf(record);
        handleText = HandleOf(tags, record.type);
        object = AcDbObject::cast(cls->create());
        if (object && entity != (AcDbEntity::cast(object) != nullptr)) {
            delete object;
            object = nullptr;
        }
        if (object) {
            DxfTagReader filer(tags, m_db);
            Acad::ErrorStatus es = object->dxfInFields(&filer);
            bool ok = es == Acad::eOk && filer.filerStatus() == Acad::eOk;
            std::size_t from = XDataStart(tags);
            if (ok && from < tags.size()) {
                resbuf* chain = nullptr;
                std::vector<XDataPart> parts;
                ok = XDataChainOf(tags, from, chain) && TakeXData(chain, parts) == Acad::eOk;
                acutRelRb(chain);
                for (const XDataPart& part : parts)
                    ok = ok && part.chain && part.chain->rbnext;
                if (ok)
                    ok = MergeXData(*object, parts) == Acad::eOk;
                else
                    for (XDataPart& part : parts)
                        acutRelRb(part.chain);
            }
            if (!ok) {
                delete object;
                object = nullptr;
            }
        }
    }
    const bool kept = object == nullptr;
    if (kept) {
        KeptHead head = KeptHeadOf(record, entity);
        handleText = std::move(head.handle);
        if (entity) {
            auto* keptEntity = new KeptEntity(KeptTagsOf(record));
            EntityAccess::setAsRead(*keptEntity, head.layer,
                                    static_cast<Adesk::UInt16>(head.color < 0
                                                                   ? -head.color
                                                                   : std::min(head.color, 256LL)));
            object = keptEntity;
        } else {
            object = new KeptObject(KeptTagsOf(record));
        }
        ObjectAccess::setOwner(*object, idOfHandle(head.owner));
    }
    AcDbObjectId id;
    if (Acad::ErrorStatus es =
            m_db->addAcDbObjectWithHandle(id, object, AcDbHandle(handleText.c_str()));
        es != Acad::eOk) {
        delete object;
        m_error = At(record.line) + "the drawing refuses " + record.type + " (" +
                  acadErrorStatusText(es) + ")";
        return nullptr;
    }
    if (auto* e = AcDbEntity::cast(object))
        EntityAccess::bindToDatabase(*e, m_layer);
    if (!kept) { // the layout read is the tags' own, unless they had to change
        auto [owned, text] = TakeLayout(record);
        keep(id, object->isA(), std::move(owned), text);
    }
    // The object has what it needs of them.
    Tags().swap(record.tags);
    std::string().swap(record.layout);
    record.slice = {};
    record.views.clear();
    m_views.swap(record.views); // the next record's views are made in the same room
    std::vector<TagView>().swap(record.views);
    record.viewsMade = false;
    object->close();
    return object;
}

void Reader::addRecord(AcDbSymbolTable* table, AcDbObjectId recordId) {
    auto* record = ObjectOf<AcDbSymbolTableRecord>(recordId);
    if (!table || !record)
        return;
    table->impl()->records.push_back(recordId);
    auto& slot = table->impl()->byName[FoldCase(record->nameText())];
    if (slot.isNull())
        slot = recordId;
    ObjectAccess::setOwner(*record, table->objectId());
}

void Reader::readTables(const FileSection& section) {
    auto& records = const_cast<std::deque<FileRecord>&>(section.records);
    for (std::size_t i = 0; i < records.size(); ++i) {
        FileRecord& head = records[i];
        if (head.type != "TABLE") {
            if (m_error.empty() && head.type != "ENDTAB")
                m_error =
                    At(head.line) + "TABLE expected in the TABLES section, found " + head.type;
            return;
        }
        TableState table;
        if (!head.tagsNow().empty() && head.tagsNow().front().code == 2) {
            table.name = head.tagsNow().front().value;
            head.tagsNow().erase(head.tagsNow().begin());
        } else {
            m_error = At(head.line) + "table without a name";
            return;
        }
        AcDbSymbolTable* modeled = nullptr;
        AcDbObjectId* root = nullptr;
        if (table.name == "LAYER")
            modeled = new AcDbLayerTable, root = &m_impl.layerTable;
        else if (table.name == "STYLE")
            modeled = new AcDbTextStyleTable, root = &m_impl.textStyleTable;
        else if (table.name == "APPID")
            modeled = new AcDbRegAppTable, root = &m_impl.regAppTable;
        else if (table.name == "BLOCK_RECORD")
            modeled = new AcDbBlockTable, root = &m_impl.blockTable;
        if (modeled && !root->isNull()) {
            delete modeled; // a second table of a kind is carried, not used
            modeled = nullptr;
        }
        AcDbSymbolTable* tableObject = nullptr;
        if (modeled) {
            DxfTagReader filer(head.tagsNow(), m_db);
            modeled->dxfInFields(&filer);
            AcDbObjectId id;
            AcDbHandle handle(HandleOf(head.tagsNow(), "TABLE").c_str());
            if (m_db->addAcDbObjectWithHandle(id, modeled, handle) != Acad::eOk) {
                delete modeled;
                m_error = At(head.line) + "the drawing refuses the " + table.name + " table";
                return;
            }
            ObjectAccess::setOwner(*modeled, AcDbObjectId());
            modeled->close();
            keep(id, modeled->isA(), LaidOut(head.tagsNow()));
            *root = id;
            table.head = id;
            table.modeled = true;
            tableObject = modeled;
        } else {
            AcDbObject* object = make(head, false);
            if (!object)
                return;
            table.head = object->objectId();
        }
        for (++i; i < records.size() && records[i].type != "ENDTAB"; ++i) {
            FileRecord& record = records[i];
            if (record.type == "TABLE") {
                m_error =
                    At(record.line) + "TABLE inside the " + table.name + " table (ENDTAB missing)";
                return;
            }
            bool modeledRecord = tableObject && classOf(record.type) &&
                                 classOf(record.type)->isDerivedFrom(tableObject->recordClass());
            AcDbObject* object = make(record, false);
            if (!object)
                return;
            if (modeledRecord && AcDbSymbolTableRecord::cast(object))
                addRecord(tableObject, object->objectId());
            else
                table.records.push_back(object->objectId());
        }
        if (i >= records.size()) {
            m_error = At(head.line) + "the " + table.name + " table has no ENDTAB";
            return;
        }
        m_state.tables.push_back(std::move(table));
    }
}

void Reader::appendToBlock(AcDbObjectId blockId, AcDbObject* object) {
    if (auto* block = ObjectOf<AcDbBlockTableRecord>(blockId)) {
        block->impl()->entities.push_back(object->objectId());
        if (auto* entity = AcDbEntity::cast(object))
            ObjectAccess::setOwner(*entity, blockId);
    }
}

// Folds the VERTEX, ATTRIB and SEQEND records that follow the entity at `at` into it;
// answers the index past them.  One at the start of a stretch stands for itself.
std::size_t FoldSubEntities(std::deque<FileRecord>& records, std::size_t at, std::size_t to) {
    std::size_t next = at + 1;
    FileRecord& parent = records[at];
    for (; next < to && IsSubEntity(records[next].type); ++next) {
        FileRecord& record = records[next];
        if (!parent.laidOut || !record.laidOut) {
            Tags& tags = parent.tagsNow();
            tags.push_back(Tag{0, record.type, record.line});
            tags.insert(tags.end(), record.tagsNow().begin(), record.tagsNow().end());
            continue;
        }
        // Laid out, the tags follow one another: the parent's stretch of the text grows over
        // the 0 tag and the record when they lie next to it there in the writer's form.
        parent.viewsMade = false;
        std::string start;
        AppendTag(start, 0, record.type);
        if (parent.literal() && record.literal() &&
            parent.slice.data() + parent.slice.size() + start.size() == record.slice.data() &&
            std::string_view(parent.slice.data() + parent.slice.size(), start.size()) == start) {
            parent.slice = std::string_view(
                parent.slice.data(), parent.slice.size() + start.size() + record.slice.size());
            continue;
        }
        if (parent.literal()) {
            parent.layout = LayoutOfLiteral(parent.slice);
            parent.slice = {};
        }
        AppendLaidOutTag(parent.layout, 0, record.type);
        parent.layout += record.literal() ? LayoutOfLiteral(record.slice) : record.layout;
    }
    return next;
}

void Reader::readBlocks(FileSection& section) {
    auto& records = section.records;
    for (std::size_t i = 0; i < records.size() && m_error.empty(); ++i) {
        FileRecord& begin = records[i];
        if (begin.type != "BLOCK") {
            m_error = At(begin.line) + "BLOCK expected in the BLOCKS section, found " + begin.type;
            return;
        }
        std::size_t end = i + 1;
        while (end < records.size() && records[end].type != "ENDBLK") {
            if (records[end].type == "BLOCK") {
                m_error = At(records[end].line) + "BLOCK inside a block (ENDBLK missing)";
                return;
            }
            ++end;
        }
        if (end >= records.size()) {
            m_error = At(begin.line) + "block without ENDBLK";
            return;
        }
        // The block's record: by owner, else by name.
        AcDbObjectId blockId = idOfHandle(OwnerHandleOf(begin.tagsNow()));
        if (!ObjectOf<AcDbBlockTableRecord>(blockId)) {
            std::string name;
            for (const Tag& tag : begin.tagsNow())
                if (tag.code == 2)
                    name = tag.value;
            blockId = FindSymbol(m_impl.blockTable, name);
            if (blockId.isNull()) {
                auto* record = new AcDbBlockTableRecord;
                if (record->setName(name.c_str()) != Acad::eOk || m_impl.blockTable.isNull() ||
                    AddSymbol(*ObjectOf<AcDbSymbolTable>(m_impl.blockTable), record, blockId) !=
                        Acad::eOk) {
                    delete record;
                    m_error = At(begin.line) + "block \"" + name + "\" has no block record";
                    return;
                }
                record->close();
            }
        }
        m_state.blocks[static_cast<std::uint64_t>(blockId.handle())] =
            BlockEnds{begin.tagsNow(), records[end].tagsNow()};
        for (std::size_t at = i + 1; at < end;) {
            const std::size_t next = FoldSubEntities(records, at, end);
            OwnRecord(records[at], viewsOf(records[at]), blockId.handle());
            AcDbObject* object = make(records[at], true);
            if (!object)
                return;
            appendToBlock(blockId, object);
            at = next;
        }
        i = end;
    }
}

// The entries of the two long sections are let go as soon as their objects are made.
void Reader::readEntities(FileSection& section) {
    auto& records = section.records;
    while (!records.empty()) {
        std::size_t next = FoldSubEntities(records, 0, records.size());
        FileRecord& record = records.front();
        // Such an entry would be written back into its block's BLOCK and ENDBLK pair, which
        // it would break.
        if (record.type == "BLOCK" || record.type == "ENDBLK") {
            m_error = At(record.line) + record.type + " outside the BLOCKS section";
            return;
        }
        bool paper = false;
        for (const TagView& tag : viewsOf(record))
            if (tag.code == 67 && tag.value.find('1') != std::string::npos)
                paper = true;
        AcDbObject* object = make(record, true);
        if (!object)
            return;
        AcDbObjectId owner = object->ownerId();
        if (!ObjectOf<AcDbBlockTableRecord>(owner))
            owner = paper ? m_impl.paperSpace : m_impl.modelSpace;
        appendToBlock(owner, object);
        for (; next > 0; --next)
            records.pop_front();
    }
}

void Reader::readObjects(FileSection& section) {
    auto& records = section.records;
    for (; !records.empty(); records.pop_front()) {
        AcDbObject* object = make(records.front(), false);
        if (!object)
            return;
        if (m_impl.namedObjects.isNull() && AcDbDictionary::cast(object))
            m_impl.namedObjects = object->objectId();
        m_state.objectOrder.push_back(object->objectId());
    }
}

AcDbObjectId Reader::ensureTable(const char* name, AcDbSymbolTable* (*make)()) {
    AcDbSymbolTable* table = make();
    AcDbObjectId id;
    m_impl.add(table, AcDbObjectId(), id);
    table->close();
    TableState state;
    state.name = name;
    state.head = id;
    state.modeled = true;
    m_state.tables.push_back(state);
    return id;
}

template <class Record> AcDbObjectId EnsureRecord(AcDbObjectId tableId, const char* name) {
    AcDbObjectId id = FindSymbol(tableId, name);
    if (!id.isNull())
        return id;
    auto* record = new Record;
    record->setName(name);
    if (AddSymbol(*ObjectOf<AcDbSymbolTable>(tableId), record, id) != Acad::eOk) {
        delete record;
        return AcDbObjectId();
    }
    record->close();
    return id;
}

void Reader::ensureRoots() {
    if (m_impl.blockTable.isNull())
        m_impl.blockTable =
            ensureTable("BLOCK_RECORD", []() -> AcDbSymbolTable* { return new AcDbBlockTable; });
    if (m_impl.layerTable.isNull())
        m_impl.layerTable =
            ensureTable("LAYER", []() -> AcDbSymbolTable* { return new AcDbLayerTable; });
    if (m_impl.textStyleTable.isNull())
        m_impl.textStyleTable =
            ensureTable("STYLE", []() -> AcDbSymbolTable* { return new AcDbTextStyleTable; });
    if (m_impl.regAppTable.isNull())
        m_impl.regAppTable =
            ensureTable("APPID", []() -> AcDbSymbolTable* { return new AcDbRegAppTable; });
    m_impl.modelSpace = EnsureRecord<AcDbBlockTableRecord>(m_impl.blockTable, ACDB_MODEL_SPACE);
    m_impl.paperSpace = EnsureRecord<AcDbBlockTableRecord>(m_impl.blockTable, ACDB_PAPER_SPACE);
    m_impl.currentSpace = m_impl.modelSpace;
    m_impl.layerZero = EnsureRecord<AcDbLayerTableRecord>(m_impl.layerTable, "0");
    EnsureRecord<AcDbRegAppTableRecord>(m_impl.regAppTable, "ACAD");
    std::string style = HeaderValue(m_state.header, "$TEXTSTYLE");
    m_impl.textStyle = style.empty() ? AcDbObjectId() : FindSymbol(m_impl.textStyleTable, style);
    if (m_impl.textStyle.isNull())
        m_impl.textStyle =
            EnsureRecord<AcDbTextStyleTableRecord>(m_impl.textStyleTable, "Standard");
}

// The tags each object was read from are what saving writes for it while it is unchanged;
// what it files out is taken only when it may first change.
void Reader::keep(AcDbObjectId id, const AcRxClass* cls, std::string raw, std::string_view read) {
    Original& original = m_state.originals.add(static_cast<std::uint64_t>(id.handle()), id);
    original.cls = cls;
    original.read = read;
    if (!raw.empty())
        original.texts = std::make_unique<Original::Texts>(Original::Texts{std::move(raw), {}});
}

void Reader::remember() {
    m_state.originals.sort();
    m_state.unfiled = m_state.originals.size();
    if (m_state.unfiled)
        m_impl.beforeChange = &FileOriginalsBeforeChange;
}

bool Reader::build(FileStructure& file, std::string& error) {
    if (const FileSection* classes = file.find("CLASSES")) {
        for (FileRecord& record : const_cast<FileSection*>(classes)->records) {
            m_state.classes.push_back(Record{record.type, record.tagsNow()});
            std::string dxfName, className;
            for (const Tag& tag : record.tagsNow()) {
                if (tag.code == 1)
                    dxfName = tag.value;
                else if (tag.code == 2)
                    className = tag.value;
            }
            if (!dxfName.empty())
                m_classByDxfName[dxfName] = className;
        }
    }
    assignHandles(file);
    for (FileSection& section : file.sections) {
        if (section.name == "TABLES")
            readTables(section);
        if (!m_error.empty())
            break;
    }
    // Blocks and entities need the spaces; objects may refer to anything.
    if (m_error.empty())
        ensureRoots();
    for (FileSection& section : file.sections) {
        if (!m_error.empty())
            break;
        if (section.name == "BLOCKS")
            readBlocks(section);
        else if (section.name == "ENTITIES")
            readEntities(section);
        else if (section.name == "OBJECTS")
            readObjects(section);
        else if (section.name != "HEADER" && section.name != "CLASSES" && section.name != "TABLES")
            m_state.otherSections.push_back(Section{section.name, section.header, {}});
        if (!m_state.otherSections.empty() && m_state.otherSections.back().name == section.name)
            for (FileRecord& record : section.records)
                m_state.otherSections.back().records.push_back(
                    Record{record.type, record.tagsNow()});
    }
    if (!m_error.empty()) {
        error = m_error;
        return false;
    }
    if (m_impl.namedObjects.isNull()) {
        auto* nod = new AcDbDictionary;
        m_impl.add(nod, AcDbObjectId(), m_impl.namedObjects);
        nod->close();
    }
    // Objects may have been made after the file's seed (renumbered duplicates).
    AcDbHandle seed(HeaderValue(m_state.header, "$HANDSEED").c_str());
    if (static_cast<std::uint64_t>(seed) > static_cast<std::uint64_t>(m_db->handseed()))
        m_db->setHandseed(seed);
    remember();
    return true;
}

} // namespace

namespace {

// A code page is named in letters, digits and "_"; anything else names none, and the file's
// text is read (and the drawing saved) in the default code page.
std::string CodePageName(std::string_view name) {
    if (name.empty() || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                               "abcdefghijklmnopqrstuvwxyz"
                                               "0123456789_") != std::string_view::npos)
        return "ANSI_1252";
    return std::string(name);
}

// The version and code page come first, in the header, and decide how to read the rest:
// the values after $ACADVER and $DWGCODEPAGE before the first ENDSEC.  A value naming no
// code page is read as the default's name: `renamed` holds the tag's number and that name.
void FindVersion(std::string_view text, std::string& version, int& versionLine,
                 std::string& codePage, std::vector<std::pair<std::size_t, std::string>>& renamed) {
    TagScanner scanner(text);
    TagView tag;
    enum { None, Version, CodePage } next = None;
    for (std::size_t n = 0; scanner.next(tag); ++n) {
        // A variable's value is the group that follows it, unless that starts the next
        // variable or ends the section: then the variable has none.
        if (tag.code == 0 || tag.code == 9)
            next = None;
        if (next == Version) {
            version = tag.value;
            versionLine = tag.line + 1;
        } else if (next == CodePage) {
            codePage = CodePageName(tag.value);
            if (codePage != tag.value)
                renamed.emplace_back(n, codePage);
        }
        if (tag.is(0, "ENDSEC"))
            break;
        next = tag.is(9, "$ACADVER") ? Version : tag.is(9, "$DWGCODEPAGE") ? CodePage : None;
    }
}

// A tag of an entry goes on its stretch of the text while the entry's tags follow one another
// there in the writer's form with the values as read; else the entry is laid out on its own.
void AddToRecord(FileRecord& record, std::string_view text, const TagScanner& scanner,
                 const TagView& tag, bool fromLine) {
    if (record.literal()) {
        const auto end =
            static_cast<std::size_t>(record.slice.data() + record.slice.size() - text.data());
        const bool asRead =
            tag.value.data() >= text.data() && tag.value.data() <= text.data() + text.size();
        if (asRead && scanner.inWriterForm() && scanner.tagStart() == end) {
            record.slice = text.substr(end - record.slice.size(),
                                       record.slice.size() + scanner.position() - end);
            return;
        }
        record.layout = LayoutOfLiteral(record.slice);
        record.slice = {};
    }
    AppendLaidOutTag(record.layout, tag.code, tag.value, fromLine);
}

// Values of a code page file as the host holds them.  Most text is the same either way.
std::string_view Decoded(std::string_view value, const std::string& codePage,
                         std::string& scratch) {
    if (!DecodingChanges(value))
        return value;
    scratch = DecodeCodePage(value, codePage);
    return scratch;
}

} // namespace

Acad::ErrorStatus ReadDxfText(std::string_view text, AcDbDatabase*& db, std::string& error) {
    std::unique_ptr<char[]> copy(new char[text.size()]);
    std::memcpy(copy.get(), text.data(), text.size());
    const std::string_view copied(copy.get(), text.size());
    return ReadDxfFileText(std::move(copy), copied, db, error);
}

Acad::ErrorStatus ReadDxfFileText(std::unique_ptr<char[]>&& buffer, std::string_view text,
                                  AcDbDatabase*& db, std::string& error) {
    db = nullptr;
    error.clear();
    // The text stays with the drawing: entries read as the writer writes them are kept as
    // their stretches of it.
    auto fresh = std::make_unique<AcDbDatabase>(false, false);
    FileState& state = AttachFileState(fresh.get());
    state.text = std::move(buffer);
    text = WithoutByteOrderMark(text);
    std::string version, codePage;
    std::vector<std::pair<std::size_t, std::string>> renamed;
    int versionLine = 0; // the line that holds the version's value
    FindVersion(text, version, versionLine, codePage, renamed);
    while (!version.empty() && (version.back() == ' ' || version.back() == '\t'))
        version.pop_back();
    const bool unicode = IsUnicodeVersion(version);
    const bool supported = SupportedVersion(version);

    // One pass over the tags: each is checked and goes straight into its section or entry.
    // A broken tag stops the reading at once; of the other faults, a value that is no
    // number counts before a broken structure, whatever their order in the file.
    TagScanner scanner(text);
    TagView tag;
    SectionSplitter splitter;
    FileStructure file;
    std::string numberError, scratch;
    std::size_t count = 0;
    // The views of the entry being read, while it stays a stretch of the text: it gets them
    // when it ends, so that they need not be found again when the entry is built.
    std::vector<TagView> pending;
    bool pendingOpen = false;
    int handleCode = 5; // the group of the entry's handle
    auto closeRecord = [&] {
        if (!pendingOpen)
            return;
        pendingOpen = false;
        FileRecord& record = file.sections.back().records.back();
        if (record.handleScan == FileRecord::HandleScan::Looking)
            record.handleScan = FileRecord::HandleScan::Absent;
        if (record.literal()) {
            record.views.assign(pending.begin(), pending.end());
            record.viewsMade = true;
        }
    };
    int lastLine = 0;
    int firstLine = 0;
    for (auto rename = renamed.begin(); scanner.next(tag); ++count) {
        lastLine = tag.line;
        if (count == 0)
            firstLine = tag.line;
        if (rename != renamed.end() && rename->first == count)
            tag.value = (rename++)->second;
        if (!supported)
            continue; // refused below, once every tag has been seen
        if (IsNumericCode(tag.code)) {
            if (!IsNumberText(tag.value) && numberError.empty())
                numberError = At(tag.line) + "group " + std::to_string(tag.code) +
                              " needs a number, found \"" + std::string(tag.value.substr(0, 40)) +
                              "\"";
        } else if (!unicode) {
            tag.value = Decoded(tag.value, codePage, scratch);
        }
        if (!numberError.empty())
            continue;
        switch (splitter.add(tag)) {
        case SectionSplitter::Part::SectionStart:
            file.sections.push_back(
                FileSection{splitter.sectionName(), splitter.sectionLine(), {}, {}});
            break;
        case SectionSplitter::Part::SectionHeader:
            file.sections.back().header.push_back(Tag{tag.code, std::string(tag.value), tag.line});
            break;
        case SectionSplitter::Part::RecordStart:
            closeRecord();
            file.sections.back().records.push_back(
                FileRecord(std::string(tag.value), tag.line,
                           text.substr(std::min(scanner.position(), text.size()), 0)));
            file.sections.back().records.back().handleScan = FileRecord::HandleScan::Looking;
            handleCode = HandleCode(tag.value);
            pending.clear();
            pendingOpen = true;
            break;
        case SectionSplitter::Part::RecordTag: {
            FileRecord& record = file.sections.back().records.back();
            if (record.handleScan == FileRecord::HandleScan::Looking) {
                // As HandleOf finds it: its group before the first subclass marker.
                if (tag.code == handleCode) {
                    record.handleScan = FileRecord::HandleScan::Found;
                    record.scannedHandle =
                        static_cast<std::uint64_t>(AcDbHandle(std::string(tag.value).c_str()));
                } else if (tag.code == 100) {
                    record.handleScan = FileRecord::HandleScan::Absent;
                }
            }
            AddToRecord(record, text, scanner, tag, tag.value.data() != scratch.data());
            if (record.literal())
                pending.push_back(TagView{tag.code, tag.value, 0});
            break;
        }
        case SectionSplitter::Part::SectionEnd:
            closeRecord();
            break;
        default:
            break;
        }
    }
    if (scanner.failed()) {
        error = scanner.error();
        return Acad::eInvalidDxfCode;
    }
    if (count == 0) {
        error = "line 1: the file is empty";
        return Acad::eInvalidDxfCode;
    }
    if (version.empty()) {
        error = At(versionLine ? versionLine : firstLine) +
                "the header names no DXF version ($ACADVER); " + kVersionsRead;
        return Acad::eInvalidDxfCode;
    }
    if (!supported) {
        error = At(versionLine) + "the drawing is of DXF version " + version.substr(0, 16) +
                " ($ACADVER); " + kVersionsRead;
        return Acad::eInvalidDxfCode;
    }
    if (!numberError.empty()) {
        error = numberError;
        return Acad::eInvalidDxfCode;
    }
    if (!splitter.finish(lastLine + 2)) {
        error = splitter.error();
        return Acad::eInvalidDxfCode;
    }
    const std::size_t textSize = text.size();
    state.version = version;
    state.fileSize = textSize;
    state.codePage = codePage.empty() ? "ANSI_1252" : codePage;
    if (const FileSection* header = file.find("HEADER"))
        state.header = header->header;
    Reader reader(fresh.get(), state);
    if (!reader.build(file, error))
        return Acad::eInvalidDxfCode;
    db = fresh.release();
    return Acad::eOk;
}

} // namespace cadhost::db::dxf
