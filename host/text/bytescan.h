// Finding the next byte of a few kinds in a text, many bytes at a time: the readers and
// writers of the text engine step over long plain stretches (text, picture data) this way.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cadhost::text {

// The position of the first byte at or after `from` that is one of Targets, or text.size().
template <char... Targets> std::size_t FindAnyOf(std::string_view text, std::size_t from) {
    const char* data = text.data();
    std::size_t size = text.size();
#if defined(__SSE2__)
    while (from + 16 <= size) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(Targets)))), ...);
        if (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)))
            return from + static_cast<std::size_t>(std::countr_zero(mask));
        from += 16;
    }
#endif
    while (from < size && ((data[from] != Targets) && ...))
        ++from;
    return from;
}

// The position of the first byte at or after `from` that is not printable ASCII (0x20 to
// 0x7E), or text.size().
inline std::size_t FindNotPrintableAscii(std::string_view text, std::size_t from) {
    const char* data = text.data();
    std::size_t size = text.size();
#if defined(__SSE2__)
    // As signed bytes, those from 0x80 up are negative: below 0x20 as well.
    const __m128i low = _mm_set1_epi8(0x20);
    const __m128i del = _mm_set1_epi8(0x7F);
    while (from + 16 <= size) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        __m128i bad = _mm_or_si128(_mm_cmplt_epi8(chunk, low), _mm_cmpeq_epi8(chunk, del));
        if (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(bad)))
            return from + static_cast<std::size_t>(std::countr_zero(mask));
        from += 16;
    }
#endif
    while (from < size) {
        auto byte = static_cast<unsigned char>(data[from]);
        if (byte < 0x20 || byte >= 0x7F)
            break;
        ++from;
    }
    return from;
}

} // namespace cadhost::text
