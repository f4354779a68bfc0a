// The stored record of one placed specification item: its name, the handles of the MText
// entities made from it and its source, kept as "name|h1|h2|*source" under the item's index.
#pragma once

#include "arx/dbid.h"

#include <string>
#include <vector>

class CSpecRecord {
public:
    // An empty record, to be filled by FindByHandle.
    CSpecRecord() = default;
    CSpecRecord(int index, const std::string& name, const std::string& rtf);
    explicit CSpecRecord(const std::string& value);

    // Appends the entity's handle; an empty text when it will not open.
    void AddHandle(AcDbObjectId id);
    bool HasHandle(const std::string& handle) const;
    bool Save() const;
    // Fills the name, handles and source from a stored value; the key is kept.
    void Parse(const std::string& value);
    // Loads the record that lists the handle, with its key; false when none does.
    bool FindByHandle(const std::string& handle);
    // Erases the listed entities that still exist and forgets their handles.
    bool EraseEntities();

    // The stored form of the record.
    std::string Compose() const;

    std::string m_Key;
    std::string m_Name;
    std::vector<std::string> m_Handles;
    std::string m_Rtf;
};
