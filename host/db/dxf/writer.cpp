// Writing a database as a DXF file.
//
// Sections in their order: HEADER, CLASSES, TABLES, BLOCKS, ENTITIES, OBJECTS, then the
// sections of the file read that the host does not use.  Objects kept as read go out with
// their tags; objects of the host's classes are filed through dxfOutFields, and go out
// with the tags they were read from as long as they file out as they did then.
#include "db/dxf/dxffile.h"

#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "db/databaseimpl.h"
#include "db/dxf/codepage.h"
#include "db/dxf/filestate.h"
#include "db/dxf/keptobject.h"
#include "db/dxf/merge.h"
#include "db/dxf/objectio.h"
#include "db/dxf/structure.h"
#include "db/objectaccess.h"
#include "db/symbolname.h"
#include "db/symboltableimpl.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace cadhost::db::dxf {

namespace {

std::string Hex(AcDbHandle handle) {
    char text[AcDbHandle::kStrSiz];
    handle.getIntoAsciiBuffer(text, sizeof text);
    return text;
}

Tag T(int code, std::string value) {
    return Tag{code, std::move(value), 0};
}

// ---- The structure a new drawing gets on its first save ---------------------------------------

// A kept table or record: its handle and owner first, then the body.
AcDbObjectId AddKept(AcDbDatabase::Impl& impl, const char* type, AcDbObjectId owner, Tags body,
                     int handleCode = 5) {
    auto* object = new KeptObject(KeptTags(type, {}));
    AcDbObjectId id;
    impl.add(object, owner, id);
    Tags tags{T(handleCode, Hex(id.handle())), T(330, owner.isNull() ? "0" : Hex(owner.handle()))};
    tags.insert(tags.end(), body.begin(), body.end());
    object->kept() = KeptTags(type, std::move(tags));
    object->close();
    return id;
}

Tags TableBody(int count) {
    return {T(100, "AcDbSymbolTable"), T(70, std::to_string(count))};
}

TableState KeptTable(AcDbDatabase::Impl& impl, const char* name, int count, Tags extra = {}) {
    Tags body = TableBody(count);
    body.insert(body.end(), extra.begin(), extra.end());
    TableState table;
    table.name = name;
    table.head = AddKept(impl, "TABLE", AcDbObjectId(), body);
    return table;
}

TableState ModeledTable(const char* name, AcDbObjectId id) {
    TableState table;
    table.name = name;
    table.head = id;
    table.modeled = true;
    return table;
}

void BuildNewFileState(AcDbDatabase* db) {
    AcDbDatabase::Impl& impl = *db->impl();
    // The tables made here are the file's structure, not a change of the user's: taking
    // back the command that saved must not take them out again.
    struct NoUndo {
        AcDbDatabase::Impl& impl;
        cadhost::db::UndoLog* log = impl.undo;
        explicit NoUndo(AcDbDatabase::Impl& i) : impl(i) { impl.undo = nullptr; }
        ~NoUndo() { impl.undo = log; }
    } noUndo(impl);
    FileState& state = AttachFileState(db);
    TableState vport = KeptTable(impl, "VPORT", 1);
    vport.records.push_back(AddKept(impl, "VPORT", vport.head,
                                    {T(100, "AcDbSymbolTableRecord"),
                                     T(100, "AcDbViewportTableRecord"),
                                     T(2, "*Active"),
                                     T(70, "0"),
                                     T(10, "0.0"),
                                     T(20, "0.0"),
                                     T(11, "1.0"),
                                     T(21, "1.0"),
                                     T(12, "0.0"),
                                     T(22, "0.0"),
                                     T(13, "0.0"),
                                     T(23, "0.0"),
                                     T(14, "0.5"),
                                     T(24, "0.5"),
                                     T(15, "0.5"),
                                     T(25, "0.5"),
                                     T(16, "0.0"),
                                     T(26, "0.0"),
                                     T(36, "1.0"),
                                     T(17, "0.0"),
                                     T(27, "0.0"),
                                     T(37, "0.0"),
                                     T(40, "1000.0"),
                                     T(41, "1.34"),
                                     T(42, "50.0"),
                                     T(43, "0.0"),
                                     T(44, "0.0"),
                                     T(50, "0.0"),
                                     T(51, "0.0"),
                                     T(71, "0"),
                                     T(72, "1000"),
                                     T(73, "1"),
                                     T(74, "3"),
                                     T(75, "0"),
                                     T(76, "0"),
                                     T(77, "0"),
                                     T(78, "0")}));
    TableState ltype = KeptTable(impl, "LTYPE", 3);
    for (const char* name : {"ByBlock", "ByLayer", "Continuous"})
        ltype.records.push_back(
            AddKept(impl, "LTYPE", ltype.head,
                    {T(100, "AcDbSymbolTableRecord"), T(100, "AcDbLinetypeTableRecord"), T(2, name),
                     T(70, "0"), T(3, std::string(name) == "Continuous" ? "Solid line" : ""),
                     T(72, "65"), T(73, "0"), T(40, "0.0")}));
    TableState dimstyle = KeptTable(impl, "DIMSTYLE", 1, {T(100, "AcDbDimStyleTable")});
    dimstyle.records.push_back(
        AddKept(impl, "DIMSTYLE", dimstyle.head,
                {T(100, "AcDbSymbolTableRecord"), T(100, "AcDbDimStyleTableRecord"),
                 T(2, "Standard"), T(70, "0")},
                105));
    state.tables.push_back(std::move(vport));
    state.tables.push_back(std::move(ltype));
    state.tables.push_back(ModeledTable("LAYER", impl.layerTable));
    state.tables.push_back(ModeledTable("STYLE", impl.textStyleTable));
    state.tables.push_back(KeptTable(impl, "VIEW", 0));
    state.tables.push_back(KeptTable(impl, "UCS", 0));
    state.tables.push_back(ModeledTable("APPID", impl.regAppTable));
    state.tables.push_back(std::move(dimstyle));
    state.tables.push_back(ModeledTable("BLOCK_RECORD", impl.blockTable));
}

// ---- Writing ---------------------------------------------------------------------------------

// The host's own classes register no application; a module's classes name theirs, and
// those go into the CLASSES section.
bool IsCustomClass(const AcRxClass* cls) {
    return cls && cls->dxfName() && cls->appName() && *cls->appName();
}

class Writer {
public:
    explicit Writer(AcDbDatabase* db)
        : m_db(db), m_impl(*db->impl()), m_state(*FileStateOf(db)),
          m_unicode(IsUnicodeVersion(m_state.version)) {}

    // Writes the text in pieces through put; ready runs once everything the text says is
    // settled, before the first piece.  False when ready or put fails.
    bool write(const std::function<bool()>& ready,
               const std::function<bool(std::string_view)>& put);

private:
    AcDbDatabase* m_db;
    AcDbDatabase::Impl& m_impl;
    FileState& m_state;
    bool m_unicode;
    // The first pass only counts and hands out handles; it writes nothing.
    bool m_dry = false;
    std::function<bool(std::string_view)> m_put;
    bool m_failed = false;
    std::string m_out;              // the text not yet put
    std::string m_layout;           // an object's tags as it files them now
    std::string m_canonicalScratch; // an original's canonical tags, when they have to be made
    std::vector<bool> m_written;    // by the slot of the object's id: written so far
    std::map<std::string, const AcRxClass*> m_customClasses; // by DXF name
    std::map<std::string, int> m_instances;

    // Marks the object as written; false when it was already.  (Every object written is in
    // the drawing: one without an id has no slot to mark.)
    bool markWritten(AcDbObjectId id) {
        if (id.isNull())
            return true;
        std::uint32_t slot = IdAccess::slot(id);
        if (slot >= m_written.size())
            m_written.resize(std::max<std::size_t>(m_impl.stubs.size(), slot + std::size_t{1}));
        if (m_written[slot])
            return false;
        m_written[slot] = true;
        return true;
    }

    void tag(int code, std::string_view value);
    // Tags laid out by AppendTags.
    void laidOut(std::string_view layout);
    void tags(const Tags& list) {
        for (const Tag& t : list)
            tag(t.code, t.value);
    }
    void object(AcDbObject* object, const char* type = nullptr, bool withType = true);
    void objectId(AcDbObjectId id, const char* type = nullptr) {
        if (const Original* original = unchanged(id)) {
            fromOriginal(*original, id, type);
            return;
        }
        if (AcDbObject* o = ObjectOf(id); o && !o->isErased())
            object(o, type);
    }
    // The original of an object of this drawing that has not changed since it was read (so
    // it is not erased either: erasing files every object out), or null.  What saving needs
    // of such an object is in its original: in a big drawing the objects lie far apart in
    // memory, and a look at each cost more than the rest of its writing.
    const Original* unchanged(AcDbObjectId id) {
        if (m_state.unfiled == 0 || id.isNull() || IdAccess::serial(id) != m_impl.serial)
            return nullptr;
        const std::uint32_t slot = IdAccess::slot(id);
        if (slot >= m_impl.stubs.size() || !m_impl.stubs[slot].object)
            return nullptr;
        const Original* original =
            m_state.originals.find(static_cast<std::uint64_t>(m_impl.stubs[slot].handle));
        return original && original->id == id && original->form == Original::Filed::Not &&
                       original->cls
                   ? original
                   : nullptr;
    }
    // Writes such an object as object() would.
    void fromOriginal(const Original& original, AcDbObjectId id, const char* type) {
        if (!markWritten(id))
            return;
        const AcRxClass* cls = original.cls;
        if (m_dry) {
            noteClass(cls);
            return;
        }
        typeTag(cls, type);
        laidOut(original.rawText());
    }
    // The 0 tag of an object of the class: `type` when given.
    void typeTag(const AcRxClass* cls, const char* type) {
        tag(0, type ? type : (cls->dxfName() ? cls->dxfName() : "ACAD_PROXY_OBJECT"));
    }
    // Counts an instance of a custom class for the CLASSES section.
    void noteClass(const AcRxClass* cls) {
        if (IsCustomClass(cls)) {
            m_customClasses[cls->dxfName()] = cls;
            ++m_instances[cls->dxfName()];
        }
    }
    // Puts the text made so far when a piece's worth has piled up (all of it: at the end).
    void spill(bool all = false);
    void header();
    void classes();
    void tables();
    void blocks();
    void entities();
    void objects();
    void blockEnds(AcDbBlockTableRecord* block, bool begin);
    Tags& endsOf(AcDbBlockTableRecord* block, bool begin);
    AcDbExtents extents() const;
};

void Writer::spill(bool all) {
    constexpr std::size_t kPiece = 1 << 20;
    if (m_dry || (!all && m_out.size() < kPiece))
        return;
    if (!m_failed && !m_put(m_out))
        m_failed = true;
    m_out.clear();
}

void Writer::laidOut(std::string_view layout) {
    if (m_dry)
        return;
    // Text without bytes beyond ASCII is the same in every code page.
    if (IsPlainLayout(layout) && (m_unicode || IsAscii(layout))) {
        m_out.append(layout);
        spill();
        return;
    }
    LaidOutTags reader(layout);
    TagView t;
    while (reader.next(t))
        tag(t.code, t.value);
}

void Writer::tag(int code, std::string_view value) {
    if (m_dry)
        return;
    spill();
    if (m_unicode || IsNumericCode(code)) {
        AppendTag(m_out, code, value);
        return;
    }
    bool ascii = std::all_of(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\\';
    });
    if (ascii)
        AppendTag(m_out, code, value);
    else
        AppendTag(m_out, code, EncodeCodePage(value, m_state.codePage));
}

void Writer::object(AcDbObject* obj, const char* type, bool withType) {
    if (!markWritten(obj->objectId()))
        return;
    if (const KeptTags* kept = KeptTagsOf(obj)) {
        if (withType)
            tag(0, type ? type : kept->type);
        if (kept->laidOut())
            laidOut(kept->layout());
        else
            tags(kept->tags());
        return;
    }
    const AcRxClass* cls = obj->isA();
    if (m_dry) {
        noteClass(cls);
        return;
    }
    if (withType)
        typeTag(cls, type);
    Original* original =
        m_state.originals.find(static_cast<std::uint64_t>(obj->objectId().handle()));
    if (original && original->form == Original::Filed::Not) {
        laidOut(original->rawText()); // unchanged since it was read
        return;
    }
    AcDbObject* opened = nullptr;
    if (acdbOpenObject(opened, obj->objectId(), AcDb::kForRead, true) != Acad::eOk) {
        // Open for write by someone: what was read is the best there is.
        if (original)
            laidOut(original->rawText());
        return;
    }
    // An object read from the file is compared with what it filed out before it could
    // change, as text; one made since has nothing to compare with and files out its tags.
    Tags now;
    if (original) {
        FileOutLayout(*obj, m_db, m_layout);
        opened->close();
        if (m_layout == original->canonical(m_canonicalScratch)) {
            laidOut(original->rawText());
            return;
        }
        now = MergeChanged(TagsOfLayout(original->rawText()), TagsOfLayout(m_layout));
    } else {
        now = FileOutTags(*obj, m_db);
        opened->close();
    }
    // Objects owned by a dictionary name it as their reactor, as the format asks.
    AcDbObjectId owner = obj->ownerId();
    bool hasReactors = std::any_of(now.begin(), now.end(),
                                   [](const Tag& t) { return t.is(102, "{ACAD_REACTORS"); });
    if (!hasReactors && !AcDbEntity::cast(obj) && AcDbDictionary::cast(ObjectOf(owner)) &&
        !now.empty() && now.front().code == 5) {
        Tags reactors{T(102, "{ACAD_REACTORS"), T(330, Hex(owner.handle())), T(102, "}")};
        now.insert(now.begin() + 1, reactors.begin(), reactors.end());
    }
    // Entities of paper space say so.
    bool hasSpace = std::any_of(now.begin(), now.end(), [](const Tag& t) { return t.code == 67; });
    if (!hasSpace && AcDbEntity::cast(obj) && owner == m_impl.paperSpace) {
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i].is(100, "AcDbEntity")) {
                now.insert(now.begin() + static_cast<long>(i) + 1, T(67, "1"));
                break;
            }
        }
    }
    tags(now);
}

AcDbExtents Writer::extents() const {
    // An empty drawing keeps the empty box, as other programs write it.
    AcDbExtents all;
    if (auto* space = ObjectOf<AcDbBlockTableRecord>(m_impl.modelSpace)) {
        for (AcDbObjectId id : space->impl()->entities) {
            AcDbEntity* entity = nullptr;
            if (id.isErased() || acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
                continue;
            AcDbExtents box;
            if (entity->getGeomExtents(box) == Acad::eOk)
                all.addExt(box);
            entity->close();
        }
    }
    return all;
}

void Writer::header() {
    std::string seed = Hex(m_db->handseed());
    AppendTag(m_out, 0, "SECTION");
    AppendTag(m_out, 2, "HEADER");
    if (m_state.header.empty()) {
        AcDbExtents box = extents();
        auto point = [&](const char* name, const AcGePoint3d& p, bool z = true) {
            tag(9, name);
            tag(10, FormatReal(p.x));
            tag(20, FormatReal(p.y));
            if (z)
                tag(30, FormatReal(p.z));
        };
        tag(9, "$ACADVER");
        tag(1, m_state.version);
        tag(9, "$ACADMAINTVER");
        tag(70, "0");
        tag(9, "$DWGCODEPAGE");
        tag(3, m_state.codePage);
        point("$INSBASE", AcGePoint3d());
        point("$EXTMIN", box.minPoint());
        point("$EXTMAX", box.maxPoint());
        point("$LIMMIN", AcGePoint3d(), false);
        point("$LIMMAX", AcGePoint3d(420.0, 297.0, 0.0), false);
        tag(9, "$CLAYER");
        tag(8, "0");
        tag(9, "$TEXTSTYLE");
        tag(7,
            SymbolNameOf(m_impl.textStyle).empty() ? "Standard" : SymbolNameOf(m_impl.textStyle));
        tag(9, "$MEASUREMENT");
        tag(70, "1");
        tag(9, "$INSUNITS");
        tag(70, "4");
        tag(9, "$HANDSEED");
        tag(5, seed);
    } else {
        bool haveSeed = false;
        const Tags& h = m_state.header;
        // The version and code page the drawing was read in may have come from before its
        // HEADER section; the file says them where readers look.
        auto has = [&](std::string_view name) {
            return std::any_of(h.begin(), h.end(),
                               [&](const Tag& t) { return t.code == 9 && t.value == name; });
        };
        if (!has("$ACADVER")) {
            tag(9, "$ACADVER");
            tag(1, m_state.version);
        }
        if (!has("$DWGCODEPAGE") && m_state.codePage != "ANSI_1252") {
            tag(9, "$DWGCODEPAGE");
            tag(3, m_state.codePage);
        }
        for (std::size_t i = 0; i < h.size(); ++i) {
            // A header that was not where the version and code page were read from may say
            // others: it says what the file is written in.  (Blanks after a version are
            // no part of it.)
            const bool version = h[i].code == 9 && h[i].value == "$ACADVER";
            if ((version || (h[i].code == 9 && h[i].value == "$DWGCODEPAGE")) && i + 1 < h.size() &&
                h[i + 1].code != 9 && h[i + 1].code != 0) {
                const std::string& now = version ? m_state.version : m_state.codePage;
                std::string_view said = h[i + 1].value;
                while (version && !said.empty() && (said.back() == ' ' || said.back() == '\t'))
                    said.remove_suffix(1);
                tag(9, h[i].value);
                tag(h[i + 1].code, said == now ? h[i + 1].value : now);
                ++i;
                continue;
            }
            if (h[i].code == 9 && h[i].value == "$HANDSEED") {
                tag(9, "$HANDSEED");
                tag(5, seed);
                // The seed read goes; a variable followed by the next one (or by nothing)
                // had none.
                if (i + 1 < h.size() && h[i + 1].code != 9 && h[i + 1].code != 0)
                    ++i;
                haveSeed = true;
                continue;
            }
            tag(h[i].code, h[i].value);
        }
        if (!haveSeed) {
            tag(9, "$HANDSEED");
            tag(5, seed);
        }
    }
    AppendTag(m_out, 0, "ENDSEC");
}

void Writer::classes() {
    tag(0, "SECTION");
    tag(2, "CLASSES");
    std::set<std::string> listed;
    for (const Record& record : m_state.classes) {
        tag(0, record.type);
        std::string dxfName;
        for (const Tag& t : record.tags) {
            if (t.code == 1)
                dxfName = t.value;
            // The count of instances is the drawing's own now.
            if (t.code == 91 && m_instances.count(dxfName)) {
                tag(91, std::to_string(m_instances[dxfName]));
                continue;
            }
            tag(t.code, t.value);
        }
        listed.insert(dxfName);
    }
    for (const auto& [dxfName, cls] : m_customClasses) {
        if (listed.count(dxfName))
            continue;
        bool entity = cls->isDerivedFrom(AcDbEntity::desc());
        tag(0, "CLASS");
        tag(1, dxfName);
        tag(2, cls->name());
        tag(3, cls->appName() ? cls->appName() : "");
        tag(90, std::to_string(cls->proxyFlags()));
        if (m_state.version >= "AC1018")
            tag(91, std::to_string(m_instances[dxfName]));
        tag(280, "0");
        tag(281, entity ? "1" : "0");
    }
    tag(0, "ENDSEC");
}

void Writer::tables() {
    tag(0, "SECTION");
    tag(2, "TABLES");
    for (const TableState& table : m_state.tables) {
        AcDbObject* head = ObjectOf(table.head);
        if (!head)
            continue;
        tag(0, "TABLE");
        tag(2, table.name);
        if (IdAccess::slot(table.head) < m_written.size())
            m_written[IdAccess::slot(table.head)] = false;
        object(head, "TABLE", false);
        if (auto* modeled = AcDbSymbolTable::cast(head)) {
            for (AcDbObjectId id : modeled->impl()->records)
                objectId(id);
        }
        for (AcDbObjectId id : table.records)
            objectId(id);
        tag(0, "ENDTAB");
    }
    tag(0, "ENDSEC");
}

Tags& Writer::endsOf(AcDbBlockTableRecord* block, bool begin) {
    BlockEnds& ends = m_state.blocks[static_cast<std::uint64_t>(block->objectId().handle())];
    Tags& tags = begin ? ends.begin : ends.end;
    if (tags.empty()) {
        // A block the file did not have: its BLOCK and ENDBLK get handles of their own.
        AcDbObjectId id;
        m_db->getAcDbObjectId(id, true, m_db->handseed());
        tags = {T(5, Hex(id.handle())), T(330, Hex(block->objectId().handle())),
                T(100, "AcDbEntity")};
        if (block->objectId() == m_impl.paperSpace)
            tags.push_back(T(67, "1"));
        tags.push_back(T(8, "0"));
        if (begin) {
            tags.push_back(T(100, "AcDbBlockBegin"));
            tags.push_back(T(2, block->nameText()));
            tags.push_back(T(70, "0"));
            tags.push_back(T(10, "0.0"));
            tags.push_back(T(20, "0.0"));
            tags.push_back(T(30, "0.0"));
            tags.push_back(T(3, block->nameText()));
            tags.push_back(T(1, ""));
        } else {
            tags.push_back(T(100, "AcDbBlockEnd"));
        }
    } else if (begin) {
        // A renamed block carries its new name.
        for (Tag& t : tags)
            if (t.code == 2 || t.code == 3)
                t.value = block->nameText();
    }
    return tags;
}

void Writer::blocks() {
    tag(0, "SECTION");
    tag(2, "BLOCKS");
    auto* table = ObjectOf<AcDbSymbolTable>(m_impl.blockTable);
    for (AcDbObjectId id : table ? table->impl()->records : std::vector<AcDbObjectId>{}) {
        auto* block = ObjectOf<AcDbBlockTableRecord>(id);
        if (!block || block->isErased())
            continue;
        tag(0, "BLOCK");
        tags(endsOf(block, true));
        if (id != m_impl.modelSpace && id != m_impl.paperSpace)
            for (AcDbObjectId entity : block->impl()->entities)
                objectId(entity);
        tag(0, "ENDBLK");
        tags(endsOf(block, false));
    }
    tag(0, "ENDSEC");
}

void Writer::entities() {
    tag(0, "SECTION");
    tag(2, "ENTITIES");
    for (AcDbObjectId spaceId : {m_impl.modelSpace, m_impl.paperSpace})
        if (auto* space = ObjectOf<AcDbBlockTableRecord>(spaceId))
            for (AcDbObjectId entity : space->impl()->entities)
                objectId(entity);
    tag(0, "ENDSEC");
}

void Writer::objects() {
    tag(0, "SECTION");
    tag(2, "OBJECTS");
    // The named objects dictionary comes first: readers take the first object as the root.
    objectId(m_impl.namedObjects);
    for (AcDbObjectId id : m_state.objectOrder)
        objectId(id);
    for (std::size_t slot = 0; slot < m_impl.stubs.size(); ++slot) {
        // What was written is passed over without a look at the object.
        if (slot < m_written.size() && m_written[slot])
            continue;
        AcDbObject* o = m_impl.stubs[slot].object;
        if (!o || o->isErased())
            continue;
        // Entities, tables and their records have their own sections; whatever else is
        // left over is an object.
        if (AcDbEntity::cast(o) || AcDbSymbolTable::cast(o) || AcDbSymbolTableRecord::cast(o))
            continue;
        object(o);
    }
    tag(0, "ENDSEC");
}

bool Writer::write(const std::function<bool()>& ready,
                   const std::function<bool(std::string_view)>& put) {
    // Writing hands out handles (BLOCK and ENDBLK records of new blocks) and meets the
    // instances of custom classes, and the header and CLASSES section, which come first,
    // must know them: a first pass goes through everything without writing.
    m_written.assign(m_impl.stubs.size(), false);
    m_dry = true;
    tables();
    blocks();
    entities();
    objects();
    m_dry = false;
    m_written.assign(m_impl.stubs.size(), false);
    if (!ready())
        return false;
    m_put = put;
    header();
    classes();
    tables();
    blocks();
    entities();
    objects();
    for (const Section& section : m_state.otherSections) {
        tag(0, "SECTION");
        tag(2, section.name);
        tags(section.preamble);
        for (const Record& record : section.records) {
            tag(0, record.type);
            tags(record.tags);
        }
        tag(0, "ENDSEC");
    }
    tag(0, "EOF");
    spill(true);
    return !m_failed;
}

} // namespace

std::string DrawingVersion(const AcDbDatabase* db) {
    const FileState* state = FileStateOf(db);
    return state ? state->version : "AC1018";
}

Acad::ErrorStatus WriteDxf(AcDbDatabase* db, const std::function<Acad::ErrorStatus()>& ready,
                           const std::function<bool(std::string_view)>& put, std::string& error) {
    if (!db) {
        error = "no drawing";
        return Acad::eNoDatabase;
    }
    if (!FileStateOf(db))
        BuildNewFileState(db);
    Writer writer(db);
    Acad::ErrorStatus status = Acad::eOk;
    std::size_t size = 0;
    bool ok = writer.write([&] { return (status = ready()) == Acad::eOk; },
                           [&](std::string_view piece) {
                               size += piece.size();
                               return put(piece);
                           });
    if (status != Acad::eOk)
        return status;
    if (!ok) {
        error = "write error";
        return Acad::eFileAccessErr;
    }
    FileStateOf(db)->fileSize = size;
    return Acad::eOk;
}

Acad::ErrorStatus WriteDxfText(AcDbDatabase* db, std::string& text, std::string& error) {
    text.clear();
    // Room for about the size the drawing had in its file spares copies of the text as it
    // grows; room not written to costs no memory.
    if (const FileState* state = FileStateOf(db))
        text.reserve(state->fileSize + state->fileSize / 4 + 65536);
    return WriteDxf(
        db, [] { return Acad::eOk; },
        [&](std::string_view piece) {
            text.append(piece);
            return true;
        },
        error);
}

} // namespace cadhost::db::dxf
