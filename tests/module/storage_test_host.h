// A host session whose drawing can hold spec data: the wrapper class is registered for the
// test's life, as the module's start-up does.
#pragma once

#include "frame_test_host.h"

#include "storage/dictdatawrapper.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"

#include <string>

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
};
