// Sections and records.
#include "db/dxf/structure.h"

namespace cadhost::db::dxf {

namespace {

std::string At(int line) {
    return "line " + std::to_string(line) + ": ";
}

} // namespace

SectionSplitter::Part SectionSplitter::fault(int line, std::string message) {
    if (m_error.empty())
        m_error = At(line) + std::move(message);
    m_state = State::Done;
    return Part::Fault;
}

SectionSplitter::Part SectionSplitter::addAny(const TagView& tag) {
    switch (m_state) {
    case State::Done:
        return Part::Ignored;
    case State::Between:
        if (tag.code == 999) // a comment
            return Part::Ignored;
        if (tag.is(0, "EOF")) {
            m_state = State::Done;
            return Part::Ignored;
        }
        if (!tag.is(0, "SECTION"))
            return fault(tag.line, "SECTION expected, found group " + std::to_string(tag.code) +
                                       " \"" + std::string(tag.value.substr(0, 40)) + "\"");
        m_sectionLine = tag.line;
        m_state = State::Name;
        return Part::Ignored;
    case State::Name:
        if (tag.code != 2)
            return fault(tag.line, "section without a name");
        m_name = tag.value;
        for (const std::string& seen : m_seen)
            if (seen == m_name)
                return fault(m_sectionLine, "a second " + m_name + " section");
        m_seen.push_back(m_name);
        m_header = m_name == "HEADER";
        m_loose = m_name != "CLASSES" && m_name != "TABLES" && m_name != "BLOCKS" &&
                  m_name != "ENTITIES" && m_name != "OBJECTS";
        m_records = false;
        m_state = State::Inside;
        return Part::SectionStart;
    case State::Inside:
        break;
    }
    if (tag.code == 0) {
        if (tag.value == "ENDSEC") {
            m_state = State::Between;
            return Part::SectionEnd;
        }
        if (tag.value == "SECTION" || tag.value == "EOF")
            return fault(tag.line, std::string(tag.value) + " inside the " + m_name +
                                       " section (ENDSEC missing)");
    }
    if (m_header || (m_loose && tag.code != 0 && !m_records))
        return Part::SectionHeader;
    if (tag.code != 0) {
        if (tag.code == 999)
            return m_records ? Part::RecordComment : Part::Ignored;
        if (!m_records)
            return fault(tag.line, "group 0 expected at the start of an entry of the " + m_name +
                                       " section, found group " + std::to_string(tag.code));
        return Part::RecordTag;
    }
    m_records = true;
    return Part::RecordStart;
}

bool SectionSplitter::finish(int lastLine) {
    switch (m_state) {
    case State::Done:
        break;
    case State::Between:
        fault(lastLine, "the file ends without EOF (it is cut short)");
        break;
    case State::Name:
        fault(m_sectionLine, "section without a name");
        break;
    case State::Inside:
        fault(lastLine, "the file ends inside the " + m_name + " section (it is cut short)");
        break;
    }
    return m_error.empty();
}

Tags& FileRecord::tagsNow() {
    viewsMade = false; // the caller may change the tags
    handleScan = HandleScan::Unknown;
    if (laidOut) {
        tags = TagsOfLayout(laidText(), literal());
        std::string().swap(layout);
        slice = {};
        laidOut = false;
    }
    return tags;
}

std::span<const TagView> FileRecord::tagViews() {
    if (!viewsMade) {
        if (laidOut && !literal() && !IsPlainLayout(layout))
            tagsNow();
        if (laidOut)
            ViewsOfPlainLayout(laidText(), literal(), views);
        else
            views = ViewsOf(tags);
        viewsMade = true;
    }
    return views;
}

const FileSection* FileStructure::find(const std::string& name) const {
    for (const FileSection& s : sections)
        if (s.name == name)
            return &s;
    return nullptr;
}

bool SplitSections(Tags& tags, FileStructure& file, std::string& error) {
    file.sections.clear();
    SectionSplitter splitter;
    for (Tag& tag : tags) {
        switch (splitter.add(TagView{tag.code, tag.value, tag.line})) {
        case SectionSplitter::Part::SectionStart:
            file.sections.push_back(
                FileSection{splitter.sectionName(), splitter.sectionLine(), {}, {}});
            break;
        case SectionSplitter::Part::SectionHeader:
            file.sections.back().header.push_back(std::move(tag));
            break;
        case SectionSplitter::Part::RecordStart:
            file.sections.back().records.push_back(FileRecord(tag.value, tag.line));
            break;
        case SectionSplitter::Part::RecordTag:
            file.sections.back().records.back().tags.push_back(std::move(tag));
            break;
        case SectionSplitter::Part::Fault:
            error = splitter.error();
            return false;
        default:
            break;
        }
    }
    if (!splitter.finish(tags.empty() ? 1 : tags.back().line + 2)) {
        error = splitter.error();
        return false;
    }
    return true;
}

std::string HeaderValue(const Tags& header, const std::string& name) {
    for (std::size_t i = 0; i + 1 < header.size(); ++i)
        if (header[i].code == 9 && header[i].value == name)
            return header[i + 1].value;
    return "";
}

} // namespace cadhost::db::dxf
