// The DXF filers: tags to items and items to tags.
#include "db/dxf/filers.h"

#include "arx/dbdatabase.h"
#include "arx/dbservices.h"
#include "db/resbufkind.h"
#include "text/hexdigit.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cadhost::db::dxf {

ACRX_NO_CONS_DEFINE_MEMBERS(DxfTagReader, AcDbDxfFiler)
ACRX_NO_CONS_DEFINE_MEMBERS(DxfTagWriter, AcDbDxfFiler)

namespace {

// A value line of a DXF file ends at its line break: a string that holds one goes out with its
// line breaks in caret notation ("^M", "^J"), so that the file stays readable.  Answers the
// text itself when it has none, else its copy in scratch.
std::string_view OneLine(const char* text, std::string& scratch) {
    const std::size_t size = std::strlen(text);
    if (!std::memchr(text, '\n', size) && !std::memchr(text, '\r', size))
        return std::string_view(text, size);
    scratch.clear();
    scratch.reserve(size + 8);
    for (const char* c = text; c != text + size; ++c) {
        if (*c == '\r')
            scratch += "^M";
        else if (*c == '\n')
            scratch += "^J";
        else
            scratch += *c;
    }
    return scratch;
}

std::string Format(const char* format, va_list args) {
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    return buffer;
}

bool HexBytes(std::string_view s, std::vector<char>& bytes) {
    bytes.clear();
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (s.size() % 2)
        return false;
    for (std::size_t i = 0; i < s.size(); i += 2) {
        int hi = cadhost::text::HexDigit(s[i]), lo = cadhost::text::HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes.push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

AcDbObjectId IdOfHandle(AcDbDatabase* db, std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    AcDbHandle handle(std::string(text).c_str());
    AcDbObjectId id;
    if (db && !handle.isNull())
        db->getAcDbObjectId(id, true, handle);
    return id;
}

// Fills one item from the tags at pos and answers how many tags it took (0 for a value
// that does not parse).  Strings and binary chunks point into text and bytes.
std::size_t ItemOf(std::span<const TagView> tags, std::size_t pos, std::size_t end,
                   AcDbDatabase* db, resbuf& rb, std::string& text, std::vector<char>& bytes) {
    const TagView& tag = tags[pos];
    rb.restype = static_cast<short>(tag.code);
    rb.rbnext = nullptr;
    long long integer = 0;
    switch (KindOf(tag.code)) {
    case ValueKind::Point: {
        std::size_t used = 1;
        rb.resval.rpoint[0] = rb.resval.rpoint[1] = rb.resval.rpoint[2] = 0.0;
        if (!ParseReal(tag.value, rb.resval.rpoint[0]))
            return 0;
        for (int axis = 1; axis <= 2; ++axis) {
            if (pos + used < end && tags[pos + used].code == tag.code + 10 * axis) {
                if (!ParseReal(tags[pos + used].value, rb.resval.rpoint[axis]))
                    return 0;
                ++used;
            }
        }
        return used;
    }
    case ValueKind::Real:
        return ParseReal(tag.value, rb.resval.rreal) ? 1 : 0;
    case ValueKind::Short:
        if (!ParseInteger(tag.value, integer))
            return 0;
        // Some writers put unsigned 16-bit values in signed groups.
        rb.resval.rint = static_cast<short>(integer);
        return 1;
    case ValueKind::Long:
        if (!ParseInteger(tag.value, integer))
            return 0;
        rb.resval.rlong = static_cast<std::int32_t>(integer);
        return 1;
    case ValueKind::Int64:
        if (!ParseInteger(tag.value, integer))
            return 0;
        rb.resval.mnLongPtr = integer;
        return 1;
    case ValueKind::Name: {
        AcDbObjectId id = IdOfHandle(db, tag.value);
        acdbGetAdsName(rb.resval.rlname, id);
        return 1;
    }
    case ValueKind::Binary:
        if (!HexBytes(tag.value, bytes))
            return 0;
        rb.resval.rbinary.clen = static_cast<std::int32_t>(bytes.size());
        rb.resval.rbinary.buf = bytes.empty() ? nullptr : bytes.data();
        return 1;
    default:
        if (IsRealCode(tag.code))
            return ParseReal(tag.value, rb.resval.rreal) ? 1 : 0;
        text = tag.value;
        rb.resval.rstring = text.data();
        return 1;
    }
}

std::string HexText(const char* buffer, std::int32_t length) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * static_cast<std::size_t>(std::max(length, 0)));
    for (std::int32_t i = 0; i < length; ++i) {
        auto b = static_cast<unsigned char>(buffer[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace

std::size_t XDataStart(std::span<const TagView> tags) {
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (tags[i].code == 1001)
            return i;
    return tags.size();
}

bool XDataChainOf(std::span<const TagView> tags, std::size_t from, resbuf*& chain) {
    chain = nullptr;
    resbuf** tail = &chain;
    std::string text;
    std::vector<char> bytes;
    for (std::size_t pos = from; pos < tags.size();) {
        if (tags[pos].code < 1000 || tags[pos].code > 1071) {
            acutRelRb(chain);
            chain = nullptr;
            return false;
        }
        resbuf item{};
        std::size_t used = ItemOf(tags, pos, tags.size(), nullptr, item, text, bytes);
        if (used == 0) {
            acutRelRb(chain);
            chain = nullptr;
            return false;
        }
        resbuf* rb = acutNewRb(item.restype);
        rb->resval = item.resval;
        if (KindOf(item.restype) == ValueKind::String) {
            rb->resval.rstring = acutNewString(text.c_str());
        } else if (KindOf(item.restype) == ValueKind::Binary) {
            rb->resval.rbinary.buf = nullptr;
            if (!bytes.empty()) {
                rb->resval.rbinary.buf = static_cast<char*>(std::malloc(bytes.size()));
                std::memcpy(rb->resval.rbinary.buf, bytes.data(), bytes.size());
            }
        }
        *tail = rb;
        tail = &rb->rbnext;
        pos += used;
    }
    return true;
}

// ---- DxfTagFiler ----------------------------------------------------------------------------

void DxfTagFiler::resetFilerStatus() {
    m_status = Acad::eOk;
    m_message.clear();
}

Acad::ErrorStatus DxfTagFiler::record(Acad::ErrorStatus status, const char* format, va_list args) {
    std::string message = Format(format, args);
    if (m_status == Acad::eOk) {
        m_status = status;
        m_message = message;
    }
    return m_status;
}

Acad::ErrorStatus DxfTagFiler::setError(Acad::ErrorStatus status, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Acad::ErrorStatus result = record(status, format, args);
    va_end(args);
    return result;
}

Acad::ErrorStatus DxfTagFiler::setError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Acad::ErrorStatus result = record(Acad::eFilerError, format, args);
    va_end(args);
    return result;
}

// ---- DxfTagReader ----------------------------------------------------------------------------

DxfTagReader::DxfTagReader(const Tags& tags, AcDbDatabase* db)
    : DxfTagFiler(db), m_own(ViewsOf(tags)), m_tags(m_own), m_end(XDataStart(m_tags)) {}
DxfTagReader::DxfTagReader(std::span<const TagView> tags, AcDbDatabase* db)
    : DxfTagFiler(db), m_tags(tags), m_end(XDataStart(tags)) {}
DxfTagReader::~DxfTagReader() = default;

int DxfTagReader::rewindFiler() {
    m_pos = 0;
    m_canPushBack = false;
    return RTNORM;
}

Acad::ErrorStatus DxfTagReader::readItem(resbuf* item) {
    if (!item)
        return Acad::eInvalidInput;
    if (m_pos >= m_end) {
        m_canPushBack = false;
        return Acad::eEndOfObject;
    }
    std::size_t used = ItemOf(m_tags, m_pos, m_end, m_db, *item, m_text, m_bytes);
    m_line = m_tags[m_pos].line;
    if (used == 0)
        return setError(Acad::eBadDxfSequence, "invalid value \"%.*s\" for group code %d",
                        static_cast<int>(m_tags[m_pos].value.size()), m_tags[m_pos].value.data(),
                        m_tags[m_pos].code);
    m_last = m_pos;
    m_pos += used;
    m_canPushBack = true;
    return Acad::eOk;
}

Acad::ErrorStatus DxfTagReader::writeItem(const resbuf&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus DxfTagReader::pushBackItem() {
    if (!m_canPushBack)
        return Acad::eInvalidInput;
    m_pos = m_last;
    m_canPushBack = false;
    return Acad::eOk;
}

bool DxfTagReader::atSubclassData(const char* subclassName) {
    if (m_pos < m_end && m_tags[m_pos].code == 100 && subclassName &&
        m_tags[m_pos].value == subclassName) {
        m_line = m_tags[m_pos].line;
        ++m_pos;
        m_canPushBack = false;
        return true;
    }
    return false;
}

bool DxfTagReader::atExtendedData() {
    return m_pos < m_tags.size() && m_tags[m_pos].code == 1001;
}

// ---- DxfTagWriter ----------------------------------------------------------------------------

DxfTagWriter::DxfTagWriter(AcDbDatabase* db) : DxfTagFiler(db) {}
DxfTagWriter::DxfTagWriter(AcDbDatabase* db, std::string& layout)
    : DxfTagFiler(db), m_layout(&layout) {}
DxfTagWriter::~DxfTagWriter() = default;

Acad::ErrorStatus DxfTagWriter::readItem(resbuf*) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus DxfTagWriter::pushBackItem() {
    return Acad::eNotApplicable;
}

void DxfTagWriter::add(int code, std::string_view value) {
    if (m_layout)
        AppendLaidOutTag(*m_layout, code, value);
    else
        m_tags.push_back(Tag{code, std::string(value), 0});
}

Acad::ErrorStatus DxfTagWriter::writeItem(const resbuf& item) {
    const int code = item.restype;
    char buffer[32];
    auto real = [&](double value) { return std::string_view(buffer, FormatReal(value, buffer)); };
    auto integer = [&](long long value) {
        return std::string_view(
            buffer, static_cast<std::size_t>(
                        std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer));
    };
    switch (KindOf(code)) {
    case ValueKind::Point:
        add(code, real(item.resval.rpoint[0]));
        add(code + 10, real(item.resval.rpoint[1]));
        add(code + 20, real(item.resval.rpoint[2]));
        break;
    case ValueKind::Real:
        add(code, real(item.resval.rreal));
        break;
    case ValueKind::Short:
        add(code, integer(item.resval.rint));
        break;
    case ValueKind::Long:
        add(code, integer(item.resval.rlong));
        break;
    case ValueKind::Int64:
        add(code, integer(item.resval.mnLongPtr));
        break;
    case ValueKind::Name: {
        AcDbObjectId id;
        acdbGetObjectId(id, item.resval.rlname);
        id.handle().getIntoAsciiBuffer(buffer, sizeof buffer);
        add(code, buffer);
        break;
    }
    case ValueKind::Binary:
        add(code, HexText(item.resval.rbinary.buf, item.resval.rbinary.clen));
        break;
    case ValueKind::String: {
        std::string scratch;
        add(code, OneLine(item.resval.rstring ? item.resval.rstring : "", scratch));
        break;
    }
    default:
        if (IsRealCode(code)) {
            add(code, real(item.resval.rreal));
            break;
        }
        return setError(Acad::eInvalidResBuf, "group code %d cannot be written", code);
    }
    return m_status;
}

} // namespace cadhost::db::dxf
