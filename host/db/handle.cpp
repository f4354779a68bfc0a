// Handles as hexadecimal text.
#include "arx/dbid.h"
#include "text/hexdigit.h"

namespace {

std::uint64_t ParseHex(const char* text) {
    if (!text || !*text)
        return 0;
    std::uint64_t value = 0;
    int digits = 0;
    for (const char* p = text; *p; ++p) {
        int d = cadhost::text::HexDigit(*p);
        if (d < 0 || ++digits > 16)
            return 0;
        value = (value << 4) | static_cast<std::uint64_t>(d);
    }
    return value;
}

} // namespace

AcDbHandle::AcDbHandle(const char* hexText) : m_value(ParseHex(hexText)) {}

AcDbHandle& AcDbHandle::operator=(const char* hexText) {
    m_value = ParseHex(hexText);
    return *this;
}

bool AcDbHandle::getIntoAsciiBuffer(char* buffer, std::size_t bufferSize) const {
    static const char kDigits[] = "0123456789ABCDEF";
    char digits[16];
    int n = 0;
    std::uint64_t v = m_value;
    do {
        digits[n++] = kDigits[v & 0xf];
        v >>= 4;
    } while (v != 0);
    if (!buffer || bufferSize < static_cast<std::size_t>(n) + 1) {
        if (buffer && bufferSize > 0)
            buffer[0] = '\0';
        return false;
    }
    for (int i = 0; i < n; ++i)
        buffer[i] = digits[n - 1 - i];
    buffer[n] = '\0';
    return true;
}
