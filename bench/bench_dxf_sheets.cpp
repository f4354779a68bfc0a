// Makes the big drawing of the DXF benchmarks that the host writes itself: COPIES sheets
// like the one bench_layout lays out, side by side in one drawing.  Every copy has the
// sheet's texts (with their "KSRRivlet" box moved along) and its items in the module's item
// dictionary, whose stored records name the handles of the copy's own texts.  A drawing that
// is already there is left as it is.
//
// usage: bench_dxf_sheets SHEET.dxf COPIES OUT.dxf
#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"
#include "db/dxf/dxffile.h"
#include "db/registerclasses.h"
#include "storage/dictdatawrapper.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kItemDictionary = "KSR_SPEC_DICTIONARY";

void Check(Acad::ErrorStatus es, const char* what, const std::string& error = {}) {
    if (es != Acad::eOk) {
        std::fprintf(stderr, "%s failed: %s %s\n", what, acadErrorStatusText(es), error.c_str());
        std::exit(1);
    }
}

std::string HandleText(AcDbObjectId id) {
    char text[AcDbHandle::kStrSiz];
    id.handle().getIntoAsciiBuffer(text, sizeof text);
    return text;
}

struct Text {
    std::string handle;
    AcGePoint3d location;
    AcGeVector3d direction;
    double width = 0, height = 0;
    AcDbMText::AttachmentPoint attachment = AcDbMText::kTopLeft;
    std::string contents;
    resbuf* xdata = nullptr;
};

struct Item {
    std::string key;
    std::string data;
};

// The texts of model space and the items of the module's item dictionary.
void ReadSheet(AcDbDatabase* sheet, std::vector<Text>& texts, std::vector<Item>& items) {
    AcDbBlockTableRecord* space = nullptr;
    Check(acdbOpenObject(space, sheet->currentSpaceId(), AcDb::kForRead), "open model space");
    AcDbBlockTableRecordIterator* it = nullptr;
    space->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        if (it->getEntity(entity, AcDb::kForRead) != Acad::eOk)
            continue;
        if (auto* mtext = AcDbMText::cast(entity)) {
            Text text;
            text.handle = HandleText(mtext->objectId());
            text.location = mtext->location();
            text.direction = mtext->direction();
            text.width = mtext->width();
            text.height = mtext->textHeight();
            text.attachment = mtext->attachment();
            char* contents = mtext->contents();
            text.contents = contents;
            acutDelString(contents);
            text.xdata = mtext->xData("KSRRivlet");
            texts.push_back(text);
        }
        entity->close();
    }
    delete it;
    space->close();

    AcDbDictionary* named = nullptr;
    Check(sheet->getNamedObjectsDictionary(named, AcDb::kForRead), "open the named objects");
    AcDbObject* object = nullptr;
    Check(named->getAt(kItemDictionary, object, AcDb::kForRead), "open the item dictionary");
    named->close();
    auto* itemDictionary = AcDbDictionary::cast(object);
    AcDbDictionaryIterator* entries = itemDictionary->newIterator();
    for (; !entries->done(); entries->next()) {
        AcDbObject* entry = nullptr;
        if (entries->getObject(entry, AcDb::kForRead) != Acad::eOk)
            continue;
        if (auto* wrapper = KSRxDictDataWrapper::cast(entry)) {
            Item item{entries->name(), {}};
            wrapper->data(item.data);
            items.push_back(item);
        }
        entry->close();
    }
    delete entries;
    object->close();
}

// A stored record names its texts by handle before the "|*" that starts its source.
std::string Renamed(const std::string& data, const std::map<std::string, std::string>& handles) {
    std::size_t end = data.find("|*");
    if (end == std::string::npos)
        return data;
    std::string out;
    std::size_t from = 0;
    bool first = true;
    while (from < end) {
        std::size_t bar = data.find('|', from);
        if (bar == std::string::npos || bar > end)
            bar = end;
        std::string part = data.substr(from, bar - from);
        auto it = handles.find(part);
        out += first || it == handles.end() ? part : it->second;
        out += '|';
        first = false;
        from = bar + 1;
    }
    return out + data.substr(end + 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_dxf_sheets SHEET.dxf COPIES OUT.dxf\n");
        return 2;
    }
    const std::string out = argv[3];
    if (std::filesystem::exists(out))
        return 0;
    const int copies = std::atoi(argv[2]);
    cadhost::db::RegisterDatabaseClasses();
    KSRxDictDataWrapper::rxInit();
    acrxBuildClassHierarchy();

    std::string error;
    AcDbDatabase* read = nullptr;
    Check(cadhost::db::dxf::ReadDxfFile(argv[1], read, error), "ReadDxfFile", error);
    std::unique_ptr<AcDbDatabase> sheet(read);
    std::vector<Text> texts;
    std::vector<Item> items;
    ReadSheet(sheet.get(), texts, items);
    double left = 1e300, right = -1e300;
    for (const Text& text : texts) {
        left = std::min(left, text.location.x);
        right = std::max(right, text.location.x + text.width);
    }
    const double step = right - left + 10.0;

    auto db = std::make_unique<AcDbDatabase>();
    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    acdbRegApp("KSRRivlet");
    AcDbDictionary* named = nullptr;
    Check(db->getNamedObjectsDictionary(named, AcDb::kForWrite), "open the named objects");
    auto* itemDictionary = new AcDbDictionary;
    AcDbObjectId itemsId;
    Check(named->setAt(kItemDictionary, itemDictionary, itemsId), "add the item dictionary");
    named->close();
    AcDbBlockTableRecord* space = nullptr;
    Check(acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite), "open model space");
    for (int copy = 0; copy < copies; ++copy) {
        const double dx = step * copy;
        std::map<std::string, std::string> handles;
        for (const Text& text : texts) {
            auto* mtext = new AcDbMText;
            mtext->setLocation(text.location + AcGeVector3d(dx, 0, 0));
            mtext->setDirection(text.direction);
            mtext->setWidth(text.width);
            mtext->setTextHeight(text.height);
            mtext->setAttachment(text.attachment);
            mtext->setContents(text.contents.c_str());
            if (text.xdata) {
                resbuf* moved = nullptr;
                resbuf** tail = &moved;
                for (const resbuf* rb = text.xdata; rb; rb = rb->rbnext) {
                    resbuf* copyRb = acutNewRb(rb->restype);
                    if (rb->restype == AcDb::kDxfRegAppName)
                        copyRb->resval.rstring = acutNewString(rb->resval.rstring);
                    else
                        copyRb->resval = rb->resval;
                    if (rb->restype == AcDb::kDxfXdXCoord)
                        copyRb->resval.rpoint[0] += dx;
                    *tail = copyRb;
                    tail = &copyRb->rbnext;
                }
                Check(mtext->setXData(moved), "set the box");
                acutRelRb(moved);
            }
            AcDbObjectId id;
            Check(space->appendAcDbEntity(id, mtext), "append a text");
            handles[text.handle] = HandleText(id);
            mtext->close();
        }
        for (const Item& item : items) {
            auto* wrapper = new KSRxDictDataWrapper(Renamed(item.data, handles).c_str());
            std::string key = std::to_string(copy) + "." + item.key;
            AcDbObjectId id;
            Check(itemDictionary->setAt(key.c_str(), wrapper, id), "add an item");
            wrapper->close();
        }
    }
    space->close();
    itemDictionary->close();
    for (Text& text : texts)
        acutRelRb(text.xdata);

    std::filesystem::create_directories(std::filesystem::absolute(out).parent_path());
    const std::string partial = out + ".part";
    Check(cadhost::db::dxf::WriteDxfFile(db.get(), partial, error), "WriteDxfFile", error);
    std::filesystem::rename(partial, out);
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    std::printf("%d sheets: %d texts, %d items, %.1f MB (%s)\n", copies,
                copies * static_cast<int>(texts.size()), copies * static_cast<int>(items.size()),
                static_cast<double>(std::filesystem::file_size(out)) / 1e6, out.c_str());
    return 0;
}
