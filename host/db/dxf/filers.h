// The DXF filers over tags: objects read their fields from the tags of one object and
// write them as tags.  References travel as object ids inside the host and as hexadecimal
// handles in the tags.
#pragma once

#include "arx/dbfiler.h"
#include "db/dxf/tags.h"

#include <cstdarg>
#include <span>
#include <string>
#include <vector>

namespace cadhost::db::dxf {

// What the two tag filers share: the database, the status with the first error's message,
// and full precision without default values.
class DxfTagFiler : public AcDbDxfFiler {
public:
    explicit DxfTagFiler(AcDbDatabase* db) : m_db(db) {}

    Acad::ErrorStatus filerStatus() const override { return m_status; }
    void resetFilerStatus() override;
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    AcDbDatabase* database() const override { return m_db; }

    Acad::ErrorStatus setError(Acad::ErrorStatus status, const char* format, ...) override
        __attribute__((format(printf, 3, 4)));
    Acad::ErrorStatus setError(const char* format, ...) override
        __attribute__((format(printf, 2, 3)));
    const char* errorMessage() const override { return m_message.c_str(); }

    int precision() const override { return 16; }
    void setPrecision(int) override {}
    bool includesDefaultValues() const override { return false; }

protected:
    AcDbDatabase* m_db;
    Acad::ErrorStatus m_status = Acad::eOk;

private:
    // Keeps the first error: later ones mostly follow from it.
    Acad::ErrorStatus record(Acad::ErrorStatus status, const char* format, va_list args);
    std::string m_message;
};

// Reads the tags of one object (without its 0 tag).  Reading ends at the extended data
// (1001), which the file reader hands to the object apart.  Handles in reference groups
// become ids of the database, reserved when their object has not been read yet.  The tags
// (or the text their views point into) must outlive the reader.
class DxfTagReader final : public DxfTagFiler {
public:
    ACRX_DECLARE_MEMBERS(DxfTagReader);
    DxfTagReader(const Tags& tags, AcDbDatabase* db);
    DxfTagReader(std::span<const TagView> tags, AcDbDatabase* db);
    ~DxfTagReader() override;

    int rewindFiler() override;

    Acad::ErrorStatus readItem(resbuf* item) override;
    Acad::ErrorStatus writeItem(const resbuf& item) override;
    Acad::ErrorStatus pushBackItem() override;
    bool atEOF() override { return m_pos >= m_end; }
    bool atSubclassData(const char* subclassName) override;
    bool atExtendedData() override;
    bool atEndOfObject() override { return m_pos >= m_end; }

    // The line of the tag read last (0 before the first read).
    int line() const { return m_line; }

private:
    std::vector<TagView> m_own; // views of the Tags it was made with
    std::span<const TagView> m_tags;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_last = 0; // where the item read last began
    bool m_canPushBack = false;
    int m_line = 0;
    std::string m_text;        // the value of the last string item
    std::vector<char> m_bytes; // the value of the last binary item
};

// Collects the items an object writes as tags, or lays them out (AppendTags's form) at the
// end of a string.
class DxfTagWriter final : public DxfTagFiler {
public:
    ACRX_DECLARE_MEMBERS(DxfTagWriter);
    explicit DxfTagWriter(AcDbDatabase* db);
    DxfTagWriter(AcDbDatabase* db, std::string& layout);
    ~DxfTagWriter() override;

    int rewindFiler() override { return RTERROR; }

    Acad::ErrorStatus readItem(resbuf* item) override;
    Acad::ErrorStatus writeItem(const resbuf& item) override;
    Acad::ErrorStatus pushBackItem() override;
    bool atEOF() override { return true; }
    bool atSubclassData(const char*) override { return false; }
    bool atExtendedData() override { return false; }
    bool atEndOfObject() override { return true; }

    Tags& tags() { return m_tags; }

private:
    void add(int code, std::string_view value);

    Tags m_tags;
    std::string* m_layout = nullptr;
};

// The extended data of an object's tags (from its first 1001 tag on) as a resbuf chain the
// caller frees; nullptr when there is none.  False for damaged data (a binary chunk that is
// not hexadecimal, a number that is not one).
bool XDataChainOf(std::span<const TagView> tags, std::size_t from, resbuf*& chain);

// The index of the first tag of the extended data (tags.size() when there is none).
std::size_t XDataStart(std::span<const TagView> tags);

} // namespace cadhost::db::dxf
