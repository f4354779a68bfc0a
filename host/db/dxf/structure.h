// The structure of a DXF file above its tags: sections of records, each record the tags
// from one 0 tag to the next.  Checks that sections open and close and that the file ends
// with EOF, so that a truncated or broken file is refused before anything is built.
#pragma once

#include "db/dxf/tags.h"

#include <string>
#include <vector>

namespace cadhost::db::dxf {

struct FileRecord {
    std::string type; // the value of the 0 tag
    int line = 0;     // the line of the 0 tag
    Tags tags;        // the tags after it
};

struct FileSection {
    std::string name;
    int line = 0;
    Tags header;                     // HEADER: its tags as they come; other sections: the
                                     // tags before their first entry (THUMBNAILIMAGE, ACDSDATA)
    std::vector<FileRecord> records; // every other section
};

struct FileStructure {
    std::vector<FileSection> sections;
    const FileSection* find(const std::string& name) const;
};

// Splits decoded tags into sections; "line N: ..." on a broken structure.
bool SplitSections(Tags& tags, FileStructure& file, std::string& error);

// The value of a header variable's first tag ("" when absent).
std::string HeaderValue(const Tags& header, const std::string& name);

} // namespace cadhost::db::dxf
