// Sections and records.
#include "db/dxf/structure.h"

namespace cadhost::db::dxf {

namespace {

std::string At(int line) {
    return "line " + std::to_string(line) + ": ";
}

} // namespace

const FileSection* FileStructure::find(const std::string& name) const {
    for (const FileSection& s : sections)
        if (s.name == name)
            return &s;
    return nullptr;
}

bool SplitSections(Tags& tags, FileStructure& file, std::string& error) {
    file.sections.clear();
    std::size_t i = 0, n = tags.size();
    int lastLine = n ? tags.back().line + 2 : 1; // the line after the last one
    while (i < n) {
        Tag& tag = tags[i];
        if (tag.code == 999) { // a comment
            ++i;
            continue;
        }
        if (tag.is(0, "EOF"))
            return true;
        if (!tag.is(0, "SECTION")) {
            error = At(tag.line) + "SECTION expected, found group " + std::to_string(tag.code) +
                    " \"" + tag.value.substr(0, 40) + "\"";
            return false;
        }
        if (i + 1 >= n || tags[i + 1].code != 2) {
            error = At(i + 1 < n ? tags[i + 1].line : tag.line) + "section without a name";
            return false;
        }
        FileSection section;
        section.name = tags[i + 1].value;
        section.line = tag.line;
        for (const FileSection& s : file.sections) {
            if (s.name == section.name) {
                error = At(tag.line) + "a second " + section.name + " section";
                return false;
            }
        }
        i += 2;
        bool closed = false;
        while (i < n) {
            Tag& t = tags[i];
            if (t.code == 0) {
                if (t.value == "ENDSEC") {
                    closed = true;
                    ++i;
                    break;
                }
                if (t.value == "SECTION" || t.value == "EOF") {
                    error = At(t.line) + t.value + " inside the " + section.name +
                            " section (ENDSEC missing)";
                    return false;
                }
            }
            bool loose = section.name != "CLASSES" && section.name != "TABLES" &&
                         section.name != "BLOCKS" && section.name != "ENTITIES" &&
                         section.name != "OBJECTS";
            if (section.name == "HEADER" || (loose && t.code != 0 && section.records.empty())) {
                section.header.push_back(std::move(t));
                ++i;
                continue;
            }
            if (t.code != 0) {
                if (t.code == 999) {
                    ++i;
                    continue;
                }
                error = At(t.line) + "group 0 expected at the start of an entry of the " +
                        section.name + " section, found group " + std::to_string(t.code);
                return false;
            }
            FileRecord record;
            record.type = t.value;
            record.line = t.line;
            ++i;
            while (i < n && tags[i].code != 0) {
                if (tags[i].code != 999)
                    record.tags.push_back(std::move(tags[i]));
                ++i;
            }
            section.records.push_back(std::move(record));
        }
        if (!closed) {
            error = At(lastLine) + "the file ends inside the " + section.name +
                    " section (it is cut short)";
            return false;
        }
        file.sections.push_back(std::move(section));
    }
    error = At(lastLine) + "the file ends without EOF (it is cut short)";
    return false;
}

std::string HeaderValue(const Tags& header, const std::string& name) {
    for (std::size_t i = 0; i + 1 < header.size(); ++i)
        if (header[i].code == 9 && header[i].value == name)
            return header[i + 1].value;
    return "";
}

} // namespace cadhost::db::dxf
