#include "fresh_prefix.h"

#include "win/gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::uint32_t BigEndian(const std::string& s, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i]));
    };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

struct PngChunk {
    std::string type;
    std::string data;
};

// Splits a PNG into its chunks after checking the signature; the CRCs are left to zlib's check.
std::vector<PngChunk> Chunks(const std::string& png) {
    std::vector<PngChunk> chunks;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        std::uint32_t n = BigEndian(png, at);
        chunks.push_back({png.substr(at + 4, 4), png.substr(at + 8, n)});
        at += 12 + n;
    }
    EXPECT_EQ(at, png.size()) << "trailing bytes";
    return chunks;
}

// The bytes of a zlib stream made of stored deflate blocks.
std::string Inflate(const std::string& z) {
    std::string out;
    EXPECT_EQ((static_cast<unsigned char>(z[0]) << 8 | static_cast<unsigned char>(z[1])) % 31, 0);
    std::size_t at = 2;
    bool last = false;
    while (!last && at + 5 <= z.size()) {
        unsigned header = static_cast<unsigned char>(z[at]);
        last = header & 1;
        EXPECT_EQ(header >> 1, 0u) << "not a stored block";
        unsigned len = static_cast<unsigned char>(z[at + 1]) | static_cast<unsigned char>(z[at + 2])
                                                                   << 8;
        unsigned nlen =
            static_cast<unsigned char>(z[at + 3]) | static_cast<unsigned char>(z[at + 4]) << 8;
        EXPECT_EQ(len ^ 0xFFFFu, nlen);
        out += z.substr(at + 5, len);
        at += 5 + len;
    }
    EXPECT_TRUE(last);
    EXPECT_EQ(at + 4, z.size()) << "the Adler-32 ends the stream";
    return out;
}

class GdiPng : public wintest::FreshPrefix {
protected:
    // A bitmap whose every pixel differs, with the raw PNG rows it should give.
    HBITMAP Gradient(int cx, int cy, std::string& rows) {
        HBITMAP bitmap = win::CreateSurfaceBitmap(cx, cy, 0);
        HDC dc = win::CreateBitmapDC(bitmap);
        rows.clear();
        for (int y = 0; y < cy; ++y) {
            rows.push_back('\0');
            for (int x = 0; x < cx; ++x) {
                BYTE r = static_cast<BYTE>(x * 7), g = static_cast<BYTE>(y * 3),
                     b = static_cast<BYTE>(x ^ y);
                SetPixel(dc, x, y, RGB(r, g, b));
                rows += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
            }
        }
        DeleteDC(dc);
        return bitmap;
    }
};

TEST_F(GdiPng, HeaderAndPixelsReadBack) {
    std::string rows;
    HBITMAP bitmap = Gradient(5, 3, rows);
    std::string path = tmp + "/small.png";
    std::string error;
    ASSERT_TRUE(win::WritePng(bitmap, path, &error)) << error;
    std::string png = wintest::ReadBytes(path);
    EXPECT_EQ(png, win::EncodePng(bitmap));
    std::vector<PngChunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    ASSERT_EQ(chunks[0].data.size(), 13u);
    EXPECT_EQ(BigEndian(chunks[0].data, 0), 5u);
    EXPECT_EQ(BigEndian(chunks[0].data, 4), 3u);
    EXPECT_EQ(chunks[0].data.substr(8), std::string("\x08\x02\x00\x00\x00", 5))
        << "8-bit RGB, deflate, no filter method, no interlace";
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(Inflate(chunks[1].data), rows);
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(GdiPng, LargePicturesSpanSeveralBlocks) {
    std::string rows;
    HBITMAP bitmap = Gradient(200, 120, rows); // 72,120 bytes of rows: two blocks
    std::vector<PngChunk> chunks = Chunks(win::EncodePng(bitmap));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(Inflate(chunks[1].data), rows);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(GdiPng, ZlibReadsTheFileAndItsChecksums) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no python3 to cross-check with";
    std::string rows;
    HBITMAP bitmap = Gradient(300, 230, rows);
    std::string path = tmp + "/large.png", out = tmp + "/rows.bin";
    ASSERT_TRUE(win::WritePng(bitmap, path, nullptr));
    EXPECT_TRUE(DeleteObject(bitmap));
    // Python's zlib checks the Adler-32 as it inflates; each chunk's CRC is checked too.
    std::string script = tmp + "/check.py";
    wintest::WriteBytes(script, R"(import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
at, idat = 8, b''
while at < len(data):
    n, kind = struct.unpack('>I4s', data[at:at + 8])
    body = data[at + 8:at + 8 + n]
    crc, = struct.unpack('>I', data[at + 8 + n:at + 12 + n])
    if zlib.crc32(kind + body) != crc:
        sys.exit('bad crc in ' + kind.decode())
    if kind == b'IDAT':
        idat += body
    at += 12 + n
open(sys.argv[2], 'wb').write(zlib.decompress(idat))
)");
    ASSERT_EQ(std::system(("python3 " + script + " " + path + " " + out).c_str()), 0);
    EXPECT_EQ(wintest::ReadBytes(out), rows);
}

TEST_F(GdiPng, FailuresSayWhy) {
    HBITMAP bitmap = win::CreateSurfaceBitmap(2, 2, 0);
    std::string error;
    EXPECT_FALSE(win::WritePng(bitmap, tmp + "/no/such/folder/x.png", &error));
    EXPECT_NE(error.find("no/such/folder"), std::string::npos) << error;
    EXPECT_TRUE(DeleteObject(bitmap));
    error.clear();
    EXPECT_FALSE(win::WritePng(bitmap, tmp + "/gone.png", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(win::EncodePng(nullptr).empty());
}

} // namespace
