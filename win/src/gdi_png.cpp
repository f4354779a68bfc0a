// Bitmaps as PNG files: 8-bit RGB, rows unfiltered, the zlib stream made of stored deflate
// blocks.  Nothing is compressed, which keeps the writer small and the files exact.
#include "gdi_objects.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::uint32_t Crc32(const unsigned char* data, std::size_t n, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const std::string& data) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v >> 24));
    out.push_back(static_cast<char>(v >> 16));
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

void Chunk(std::string& out, const char type[4], const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    PutBigEndian(out, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

// The zlib stream of raw bytes in stored blocks of at most 65535 bytes each.
std::string ZlibStored(const std::string& raw) {
    std::string z;
    z.push_back(0x78); // deflate, 32K window
    z.push_back(0x01); // no preset dictionary, fastest; (0x78 << 8 | 0x01) % 31 == 0
    std::size_t at = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0); // BFINAL, BTYPE 00
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    PutBigEndian(z, Adler32(raw));
    return z;
}

} // namespace

namespace win {

std::string EncodePng(HBITMAP bitmap) {
    gdi::Bitmap* b = gdi::LookupBitmap(bitmap);
    if (!b)
        return {};
    std::string raw;
    raw.reserve(static_cast<std::size_t>(b->cy) * (1 + 3 * static_cast<std::size_t>(b->cx)));
    for (int y = 0; y < b->cy; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < b->cx; ++x) {
            COLORREF c = b->pixels[static_cast<std::size_t>(y) * b->cx + x];
            raw.push_back(static_cast<char>(GetRValue(c)));
            raw.push_back(static_cast<char>(GetGValue(c)));
            raw.push_back(static_cast<char>(GetBValue(c)));
        }
    }
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(b->cx));
    PutBigEndian(header, static_cast<std::uint32_t>(b->cy));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", ZlibStored(raw));
    Chunk(png, "IEND", {});
    return png;
}

bool WritePng(HBITMAP bitmap, const std::string& unixPath, std::string* error) {
    std::string png = EncodePng(bitmap);
    if (png.empty()) {
        if (error)
            *error = "not a bitmap";
        return false;
    }
    std::FILE* f = std::fopen(unixPath.c_str(), "wb");
    if (!f) {
        if (error)
            *error = unixPath + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    int savedErrno = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok && error)
        *error = unixPath + ": " + std::strerror(savedErrno ? savedErrno : EIO);
    return ok;
}

} // namespace win
