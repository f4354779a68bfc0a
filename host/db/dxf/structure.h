// The structure of a DXF file above its tags: sections of records, each record the tags
// from one 0 tag to the next.  Checks that sections open and close and that the file ends
// with EOF, so that a truncated or broken file is refused before anything is built.
#pragma once

#include "db/dxf/tags.h"

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace cadhost::db::dxf {

// Follows the structure tag by tag.  Each tag handed to add() is told apart as what it is
// in the structure; the first fault is kept, and after it (or after EOF) the rest of the
// tags count for nothing.
class SectionSplitter {
public:
    enum class Part {
        Ignored,       // a comment between sections or entries, the tags after EOF
        SectionStart,  // the name (2) tag of a section; sectionName() tells it
        SectionHeader, // HEADER: every tag; other sections: the tags before their first entry
        RecordStart,   // the 0 tag that starts an entry
        RecordTag,     // a tag of the current entry
        RecordComment, // a comment (999) inside an entry, which the entry drops
        SectionEnd,    // the ENDSEC tag
        Fault,         // this tag breaks the structure: error() says how
    };

    Part add(const TagView& tag) {
        // Most tags are the next of an entry's.
        if (m_state == State::Inside && m_records && !m_header && tag.code != 0 && tag.code != 999)
            return Part::RecordTag;
        return addAny(tag);
    }
    // At the end of the tags: false with the error when the structure is broken (also by
    // an earlier fault).  lastLine: the line after the last one.
    bool finish(int lastLine);

    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }
    const std::string& sectionName() const { return m_name; }
    // The line of the section's SECTION tag.
    int sectionLine() const { return m_sectionLine; }
    // Whether the section being read has seen an entry yet.
    bool hasRecords() const { return m_records; }

private:
    enum class State { Between, Name, Inside, Done };
    Part addAny(const TagView& tag);
    Part fault(int line, std::string message);

    State m_state = State::Between;
    std::string m_name;
    int m_sectionLine = 0;
    bool m_header = false;  // the HEADER section
    bool m_loose = false;   // not one of the sections of entries
    bool m_records = false; // the section has an entry
    std::vector<std::string> m_seen;
    std::string m_error;
};

struct FileRecord {
    // An entry of its tags, or of a stretch of the text read that grows with them.
    FileRecord(std::string type, int line) : type(std::move(type)), line(line) {}
    FileRecord(std::string type, int line, std::string_view start)
        : type(std::move(type)), line(line), slice(start), laidOut(true) {}

    std::string type;       // the value of the 0 tag
    int line = 0;           // the line of the 0 tag
    Tags tags;              // the tags after it, unless laidOut
    std::string layout;     // or the same laid out by AppendTags, a compact form till used
    std::string_view slice; // or, in place of layout, the stretch of the text read that holds
                            // them as AppendTag writes them (a literal layout, see tags.h)
    bool laidOut = false;   // (their lines are not kept then)

    // The tags, made out of the layout on first use.
    Tags& tagsNow();
    // The laid-out tags, and whether they are a slice of the text read.
    std::string_view laidText() const { return slice.data() ? slice : std::string_view(layout); }
    bool literal() const { return slice.data() != nullptr; }
    // The tags as views: into the layout while it is plain, else into the tags.  They hold
    // till tagsNow() is called or the record changes.
    std::span<const TagView> tagViews();

    std::vector<TagView> views; // what tagViews() answers (made in what it holds then)
    bool viewsMade = false;

    // The handle (HandleOf) as the reading of the file found it among the tags as they were
    // read; Unknown when it was not looked for or the tags may have changed since.
    enum class HandleScan : std::uint8_t { Unknown, Looking, Found, Absent };
    HandleScan handleScan = HandleScan::Unknown;
    std::uint64_t scannedHandle = 0; // when Found: its value
};

struct FileSection {
    std::string name;
    int line = 0;
    Tags header;                    // HEADER: its tags as they come; other sections: the
                                    // tags before their first entry (THUMBNAILIMAGE, ACDSDATA)
    std::deque<FileRecord> records; // every other section (a deque grows without moving them)
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
