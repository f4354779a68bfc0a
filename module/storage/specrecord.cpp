#include "storage/specrecord.h"

#include "frame/doclock.h"
#include "storage/dictdata.h"
#include "storage/rtfdataiterator.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbservices.h"
#include "arx/editor.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Record keys are item indexes; chunk keys carry a "_" and are read through their record.
bool IsRecordKey(const std::string& key) {
    return !key.empty() &&
           std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The record keys of the working database's spec dictionary, in index order.
std::vector<std::string> StoredRecordKeys() {
    std::vector<std::string> keys;
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    if (!database)
        return keys;
    // Opening the dictionary may create it.
    CDocLock lock(database);
    CKSRrtfDataIterator entries(database);
    std::string name;
    while (entries.Next())
        if (entries.Current(name) == Acad::eOk && IsRecordKey(name))
            keys.push_back(name);
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return keys;
}

} // namespace

CSpecRecord::CSpecRecord(int index, const std::string& name, const std::string& rtf)
    : m_Key(std::to_string(index)), m_Name(name), m_Rtf(rtf) {}

CSpecRecord::CSpecRecord(const std::string& value) {
    Parse(value);
}

void CSpecRecord::AddHandle(AcDbObjectId id) {
    std::string text;
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead) == Acad::eOk) {
        AcDbHandle handle;
        object->getAcDbHandle(handle);
        char buffer[20] = {};
        if (handle.getIntoAsciiBuffer(buffer, sizeof buffer))
            text = buffer;
        object->close();
    }
    m_Handles.push_back(text);
}

bool CSpecRecord::HasHandle(const std::string& handle) const {
    return std::find(m_Handles.begin(), m_Handles.end(), handle) != m_Handles.end();
}

std::string CSpecRecord::Compose() const {
    std::string value = m_Name;
    for (const std::string& handle : m_Handles)
        value += "|" + handle;
    value += "|*";
    value += m_Rtf;
    return value;
}

bool CSpecRecord::Save() const {
    return KSRxDictData::SetData(m_Key.c_str(), Compose());
}

void CSpecRecord::Parse(const std::string& value) {
    m_Handles.clear();
    std::string accumulated;
    bool nameTaken = false;
    std::size_t pos = 0;
    for (; pos < value.size() && value[pos] != '*'; ++pos) {
        if (value[pos] != '|') {
            accumulated += value[pos];
            continue;
        }
        if (!nameTaken)
            m_Name = accumulated;
        else
            m_Handles.push_back(accumulated);
        nameTaken = true;
        accumulated.clear();
    }
    m_Rtf = pos < value.size() ? value.substr(pos + 1) : std::string();
}

bool CSpecRecord::FindByHandle(const std::string& handle) {
    // Every stored record, not a fixed range of keys: a sheet may hold any number of items.
    for (const std::string& key : StoredRecordKeys()) {
        std::string value;
        if (!KSRxDictData::GetData(key.c_str(), value))
            continue;
        Parse(value);
        if (HasHandle(handle)) {
            m_Key = key;
            return true;
        }
    }
    return false;
}

bool CSpecRecord::EraseEntities() {
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    for (const std::string& text : m_Handles) {
        if (!database || text.empty())
            continue;
        AcDbObjectId id;
        if (database->getAcDbObjectId(id, false, AcDbHandle(text.c_str())) != Acad::eOk)
            continue;
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk)
            continue;
        entity->erase();
        ads_name name = {0, 0};
        acdbGetAdsName(name, id);
        entity->close();
        acedRedraw(name, 2);
    }
    m_Handles.clear();
    return true;
}
