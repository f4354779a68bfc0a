#include "storage/dictdata.h"

#include "frame/doclock.h"
#include "storage/dictdatawrapper.h"
#include "storage/rtfdataiterator.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/editor.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kSpecDictionaryName = "KSR_SPEC_DICTIONARY";
const char* const kMarkerWord = "BROKEN";
const std::size_t kMarkerWordLength = 6;

// Opens the entry's object as a wrapper; an object of another class under the key is closed
// again and reported as absent, since its text cannot be reached.
KSRxDictDataWrapper* OpenWrapper(AcDbDictionary* dictionary, const char* key, AcDb::OpenMode mode) {
    AcDbObject* object = nullptr;
    if (dictionary->getAt(key, object, mode) != Acad::eOk)
        return nullptr;
    KSRxDictDataWrapper* wrapper = KSRxDictDataWrapper::cast(object);
    if (!wrapper)
        object->close();
    return wrapper;
}

AcDbDatabase* WorkingDatabase() {
    return acdbHostApplicationServices()->workingDatabase();
}

} // namespace

AcDbDatabase* KSRxDictData::s_pDatabase = nullptr;

AcDbDictionary* KSRxDictData::OpenSpecDictionary(AcDbDatabase* database) {
    if (!database)
        return nullptr;
    AcDbDictionary* named = nullptr;
    if (CheckStatus("KSRxDictDataWrapper", __LINE__,
                    database->getNamedObjectsDictionary(named, AcDb::kForRead)) != Acad::eOk)
        return nullptr;
    AcDbObjectId specId;
    if (named->getAt(kSpecDictionaryName, specId) != Acad::eOk) {
        Acad::ErrorStatus status = named->upgradeOpen();
        if (status == Acad::eOk || status == Acad::eWasOpenForWrite) {
            auto* created = new AcDbDictionary;
            if (named->setAt(kSpecDictionaryName, created, specId) == Acad::eOk)
                created->close();
            else
                delete created;
        } else {
            CheckStatus("ArxDbgUtilsDict", __LINE__, status);
        }
    }
    named->close();
    if (specId.isNull())
        return nullptr;
    AcDbDictionary* spec = nullptr;
    if (CheckStatus("KSRxDictDataWrapper", __LINE__,
                    acdbOpenObject(spec, specId, AcDb::kForRead)) != Acad::eOk)
        return nullptr;
    return spec;
}

bool KSRxDictData::GetEntry(AcDbDatabase* database, const char* key, std::string& value) {
    CDocLock lock(database);
    AcDbDictionary* dictionary = OpenSpecDictionary(database);
    if (!dictionary)
        return false;
    bool found = false;
    if (KSRxDictDataWrapper* wrapper = OpenWrapper(dictionary, key, AcDb::kForRead)) {
        found = wrapper->data(value) == Acad::eOk;
        wrapper->close();
    }
    dictionary->close();
    return found;
}

bool KSRxDictData::SetEntry(AcDbDatabase* database, const char* key, const std::string& value) {
    CDocLock lock(database);
    AcDbDictionary* dictionary = OpenSpecDictionary(database);
    if (!dictionary) {
        acutPrintf("\nFailed Attempt to Set data for '%s'", key);
        return false;
    }
    bool stored = false;
    if (KSRxDictDataWrapper* wrapper = OpenWrapper(dictionary, key, AcDb::kForWrite)) {
        stored = wrapper->setData(value.c_str()) == Acad::eOk;
        wrapper->close();
    } else if (!dictionary->has(key)) {
        Acad::ErrorStatus status = dictionary->upgradeOpen();
        if (status == Acad::eWasOpenForWrite)
            status = Acad::eOk;
        if (CheckStatus("KSRxDictData", __LINE__, status) == Acad::eOk) {
            auto* wrapper = new KSRxDictDataWrapper(value.c_str());
            AcDbObjectId id;
            if (dictionary->setAt(key, wrapper, id) == Acad::eOk && !id.isNull()) {
                wrapper->close();
                stored = true;
            } else {
                delete wrapper;
            }
        }
    }
    dictionary->close();
    if (!stored)
        acutPrintf("\nFailed Attempt to Set data for '%s'", key);
    return stored;
}

bool KSRxDictData::DeleteEntry(AcDbDatabase* database, const char* key) {
    const bool removed = RemoveEntry(database, key);
    if (!removed)
        acutPrintf("\nFailed Attempt to delete data for '%s'", key);
    return removed;
}

bool KSRxDictData::RemoveEntry(AcDbDatabase* database, const char* key) {
    CDocLock lock(database);
    AcDbDictionary* dictionary = OpenSpecDictionary(database);
    if (!dictionary)
        return false;
    bool removed = false;
    Acad::ErrorStatus status = dictionary->upgradeOpen();
    if (status == Acad::eWasOpenForWrite)
        status = Acad::eOk;
    AcDbObjectId id;
    if (CheckStatus("KSRxDictData", __LINE__, status) == Acad::eOk &&
        dictionary->getAt(key, id) == Acad::eOk && dictionary->remove(id) == Acad::eOk) {
        removed = true;
        // Without an owner the object would stay in the drawing, unreachable, and be saved
        // with it for ever.
        AcDbObject* object = nullptr;
        if (acdbOpenObject(object, id, AcDb::kForWrite) == Acad::eOk) {
            object->erase();
            object->close();
        }
    }
    dictionary->close();
    return removed;
}

bool KSRxDictData::IsChunkMarker(const std::string& value) {
    return value.compare(0, kMarkerWordLength, kMarkerWord) == 0;
}

int KSRxDictData::ChunkCount(const std::string& marker) {
    // The count follows the word and one separator.
    const std::size_t countStart = kMarkerWordLength + 1;
    if (marker.size() <= countStart)
        return 0;
    // atoi's reading, without its overflow on a damaged count.
    long count = std::strtol(marker.c_str() + countStart, nullptr, 10);
    return static_cast<int>(std::clamp<long>(count, INT_MIN, INT_MAX));
}

std::string KSRxDictData::ChunkKey(const char* key, int chunk) {
    return std::string(key) + "_" + std::to_string(chunk);
}

bool KSRxDictData::GetData(const char* key, std::string& value) {
    s_pDatabase = WorkingDatabase();
    if (!s_pDatabase)
        return false;
    std::string stored;
    if (!GetEntry(s_pDatabase, key, stored))
        return false;
    if (!IsChunkMarker(stored)) {
        value = stored;
        return true;
    }
    const int count = ChunkCount(stored);
    value.clear();
    for (int i = 0; i < count; ++i) {
        std::string piece;
        if (!GetEntry(s_pDatabase, ChunkKey(key, i).c_str(), piece))
            return false;
        value += piece;
    }
    return true;
}

bool KSRxDictData::SetData(const char* key, const std::string& value) {
    s_pDatabase = WorkingDatabase();
    if (!s_pDatabase)
        return false;
    // The chunks of the value stored now: those the new value does not overwrite go.
    int storedCount = 0;
    std::string stored;
    if (GetEntry(s_pDatabase, key, stored) && IsChunkMarker(stored))
        storedCount = ChunkCount(stored);

    if (value.size() <= kChunkSize) {
        if (!SetEntry(s_pDatabase, key, value))
            return false;
        RemoveChunks(key, 0, storedCount);
        return true;
    }
    const std::size_t count = (value.size() + kChunkSize - 1) / kChunkSize;
    if (!SetEntry(s_pDatabase, key, std::string(kMarkerWord) + " " + std::to_string(count)))
        return false;
    // Past the new count the old chunks are unused from now on, even when writing one of
    // the new ones fails.
    RemoveChunks(key, static_cast<int>(count), storedCount);
    for (std::size_t i = 0; i < count; ++i) {
        if (!SetEntry(s_pDatabase, ChunkKey(key, static_cast<int>(i)).c_str(),
                      value.substr(i * kChunkSize, kChunkSize)))
            return false;
    }
    return true;
}

void KSRxDictData::RemoveChunks(const char* key, int first, int end) {
    // As in DeleteData, none lies past a missing one.  A missing chunk is no failure of the
    // write, so nothing is reported.
    for (int i = first; i < end; ++i)
        if (!RemoveEntry(s_pDatabase, ChunkKey(key, i).c_str()))
            break;
}

bool KSRxDictData::DeleteData(const char* key) {
    s_pDatabase = WorkingDatabase();
    if (!s_pDatabase)
        return false;
    std::string stored;
    if (!GetEntry(s_pDatabase, key, stored))
        return false;
    if (IsChunkMarker(stored)) {
        const int count = ChunkCount(stored);
        // Chunks are written in order and the writer stops at its first failure, so none
        // lies past a missing one; a damaged count must not walk billions of keys.
        for (int i = 0; i < count; ++i)
            if (!DeleteEntry(s_pDatabase, ChunkKey(key, i).c_str()))
                break;
    }
    return DeleteEntry(s_pDatabase, key);
}

void KSRxDictData::PurgeAll() {
    s_pDatabase = WorkingDatabase();
    if (!s_pDatabase)
        return;
    std::vector<std::string> names;
    {
        CDocLock lock(s_pDatabase);
        CKSRrtfDataIterator entries(s_pDatabase);
        std::string name;
        while (entries.Next()) {
            // An entry that will not open could not be read for its chunks either.
            if (entries.Current(name) == Acad::eOk)
                names.push_back(name);
        }
    }
    // Chunks go with their key, so their own names are found missing by then.
    for (const std::string& name : names)
        DeleteData(name.c_str());
}
