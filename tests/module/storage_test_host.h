// A host session whose drawing can hold spec data: the wrapper class is registered for the
// test's life, as the module's start-up does.
#pragma once

#include "frame_test_host.h"

#include "storage/dictdata.h"
#include "storage/dictdatawrapper.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "arx/dbsymtb.h"

#include <map>
#include <string>
#include <vector>

// An MText of the current space as a test looks at it.
struct PlacedText {
    std::string handle;
    AcGePoint3d location;
    double width = 0.0;
    std::string contents;
    double height = 0.0;
    double actualHeight = 0.0;
};

class StorageTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        KSRxDictDataWrapper::rxInit();
        acrxBuildClassHierarchy();
    }
    void TearDown() override {
        KSRxDictDataWrapper::rxUninit();
        HostTest::TearDown();
    }

    static AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

    // The object id of a spec dictionary entry (null when absent), read past the store.
    static AcDbObjectId EntryId(const char* key) {
        AcDbObjectId id;
        AcDbDictionary* named = nullptr;
        if (db()->getNamedObjectsDictionary(named, AcDb::kForRead) != Acad::eOk)
            return id;
        AcDbObjectId specId;
        named->getAt("KSR_SPEC_DICTIONARY", specId);
        named->close();
        AcDbDictionary* spec = nullptr;
        if (!specId.isNull() && acdbOpenObject(spec, specId, AcDb::kForRead) == Acad::eOk) {
            spec->getAt(key, id);
            spec->close();
        }
        return id;
    }

    // Every entry of KSR_SPEC_DICTIONARY with the text its object holds.
    static std::map<std::string, std::string> SpecEntries() {
        std::map<std::string, std::string> entries;
        AcDbDictionary* spec = KSRxDictData::OpenSpecDictionary(db());
        if (!spec)
            return entries;
        AcDbDictionaryIterator* it = spec->newIterator();
        for (; !it->done(); it->next()) {
            KSRxDictDataWrapper* wrapper = nullptr;
            if (acdbOpenObject(wrapper, it->objectId(), AcDb::kForRead) == Acad::eOk) {
                wrapper->data(entries[it->name()]);
                wrapper->close();
            }
        }
        delete it;
        spec->close();
        return entries;
    }

    // The texts of the current space in the order they were made.
    static std::vector<PlacedText> Texts() {
        std::vector<PlacedText> texts;
        AcDbBlockTableRecord* space = nullptr;
        Acad::ErrorStatus opened = acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForRead);
        EXPECT_EQ(opened, Acad::eOk) << "the current space does not open";
        if (opened != Acad::eOk)
            return texts;
        AcDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it);
        for (; !it->done(); it->step()) {
            AcDbEntity* entity = nullptr;
            if (it->getEntity(entity, AcDb::kForRead) != Acad::eOk)
                continue;
            if (auto* text = AcDbMText::cast(entity)) {
                PlacedText placed;
                char handle[32];
                text->objectId().handle().getIntoAsciiBuffer(handle, sizeof handle);
                placed.handle = handle;
                placed.location = text->location();
                placed.width = text->width();
                char* contents = text->contents();
                placed.contents = contents ? contents : "";
                acutDelString(contents);
                placed.height = text->textHeight();
                placed.actualHeight = text->actualHeight();
                texts.push_back(placed);
            }
            entity->close();
        }
        delete it;
        space->close();
        return texts;
    }
};
