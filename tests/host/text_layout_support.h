// What the layout tests check the engine against, found without the engine: the font file
// fontconfig's own fc-match picks, its advances read by FreeType (loaded here on its own),
// and its cap height read from the file's OS/2 table.
#pragma once

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace layout_test {

// The file fc-match names for a pattern ("Liberation Sans", "Arial:bold").
inline std::string FcMatchFile(const std::string& pattern) {
    std::string command = "fc-match -f '%{file}' '" + pattern + "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}

// The cap height of a TrueType file as a share of its em.
inline double CapHeightPerEm(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    auto u16 = [&](std::size_t at) {
        return at + 2 <= data.size() ? data[at] << 8 | data[at + 1] : 0;
    };
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(u16(at)) << 16 | static_cast<std::uint32_t>(u16(at + 2));
    };
    std::size_t head = 0, os2 = 0;
    for (int i = 0, n = u16(4); i < n; ++i) {
        std::size_t record = 12 + 16 * static_cast<std::size_t>(i);
        std::string tag(data.begin() + record, data.begin() + record + 4);
        if (tag == "head")
            head = u32(record + 8);
        if (tag == "OS/2")
            os2 = u32(record + 8);
    }
    int unitsPerEm = head ? u16(head + 18) : 0;
    int capHeight = os2 && u16(os2) >= 2 ? static_cast<std::int16_t>(u16(os2 + 88)) : 0;
    return unitsPerEm > 0 && capHeight > 0 ? static_cast<double>(capHeight) / unitsPerEm : 0.0;
}

// FreeType's advances of one face, through the library's C interface.
class FreeTypeProbe {
public:
    explicit FreeTypeProbe(const std::string& file) {
        m_lib = ::dlopen("libfreetype.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!m_lib)
            return;
        auto init = reinterpret_cast<int (*)(void**)>(::dlsym(m_lib, "FT_Init_FreeType"));
        auto newFace = reinterpret_cast<int (*)(void*, const char*, long, void**)>(
            ::dlsym(m_lib, "FT_New_Face"));
        auto setSize = reinterpret_cast<int (*)(void*, long, long, unsigned, unsigned)>(
            ::dlsym(m_lib, "FT_Set_Char_Size"));
        m_charIndex = reinterpret_cast<unsigned (*)(void*, unsigned long)>(
            ::dlsym(m_lib, "FT_Get_Char_Index"));
        m_advance = reinterpret_cast<int (*)(void*, unsigned, int, long*)>(
            ::dlsym(m_lib, "FT_Get_Advance"));
        m_doneFace = reinterpret_cast<int (*)(void*)>(::dlsym(m_lib, "FT_Done_Face"));
        m_doneLibrary = reinterpret_cast<int (*)(void*)>(::dlsym(m_lib, "FT_Done_FreeType"));
        if (!init || !newFace || !setSize || !m_charIndex || !m_advance || init(&m_library) != 0)
            return;
        // 1000 pixels per em; unhinted advances then come in 16.16 pixels.
        if (newFace(m_library, file.c_str(), 0, &m_face) != 0 ||
            setSize(m_face, 0, 1000 * 64, 72, 72) != 0)
            m_face = nullptr;
    }
    ~FreeTypeProbe() {
        if (m_face && m_doneFace)
            m_doneFace(m_face);
        if (m_library && m_doneLibrary)
            m_doneLibrary(m_library);
        if (m_lib)
            ::dlclose(m_lib);
    }
    FreeTypeProbe(const FreeTypeProbe&) = delete;
    FreeTypeProbe& operator=(const FreeTypeProbe&) = delete;

    bool ok() const { return m_face != nullptr; }

    // In ems.
    double advance(char32_t c) const {
        constexpr int kNoHinting = 1 << 1;
        long value = 0;
        m_advance(m_face, m_charIndex(m_face, c), kNoHinting, &value);
        return value / 65536.0 / 1000.0;
    }
    double width(const std::string& ascii) const {
        double sum = 0.0;
        for (char c : ascii)
            sum += advance(static_cast<unsigned char>(c));
        return sum;
    }

private:
    void* m_lib = nullptr;
    void* m_library = nullptr;
    void* m_face = nullptr;
    unsigned (*m_charIndex)(void*, unsigned long) = nullptr;
    int (*m_advance)(void*, unsigned, int, long*) = nullptr;
    int (*m_doneFace)(void*) = nullptr;
    int (*m_doneLibrary)(void*) = nullptr;
};

} // namespace layout_test
