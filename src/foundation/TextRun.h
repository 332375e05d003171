#ifndef CORVANEXML_FOUNDATION_TEXTRUN_H
#define CORVANEXML_FOUNDATION_TEXTRUN_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CorvaneXML {

// The end of the plain characters at `s`, which may be `s` itself: the NUL
// of a name, that or an escaped byte of text (& < >), or in attribute values
// the quote too.
enum class Run { kName, kText, kValue };

#if defined(__SSE2__)
// Sixteen bytes at a time, from the sixteen-byte boundary at or before `s`.
// An aligned load never reaches into another page, so reading on to the end
// of the sixteen bytes that hold the NUL is safe, though it passes the end
// of the string; the address and thread sanitizers, which would report the
// bytes past it (freed, or another thread's), are told not to watch here.
template <Run kRun>
__attribute__((no_sanitize("address", "thread"))) const char* EndOfRun(const char* s) {
    const unsigned skip = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(s) & 15u);
    const char* block = s - skip;
    unsigned wanted = 0xFFFFu << skip;
    for (;; block += 16, wanted = 0xFFFFu) {
        const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
        const auto same = [bytes](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
        __m128i ends = same('\0');
        if (kRun != Run::kName) ends = _mm_or_si128(_mm_or_si128(ends, same('&')), _mm_or_si128(same('<'), same('>')));
        if (kRun == Run::kValue) ends = _mm_or_si128(ends, same('"'));
        const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(ends)) & wanted;
        if (found != 0) return block + __builtin_ctz(found);
    }
}
#else
template <Run kRun>
const char* EndOfRun(const char* s) {
    if (kRun == Run::kName) return s + std::strlen(s);
    while (*s != '\0' && *s != '&' && *s != '<' && *s != '>' && (kRun != Run::kValue || *s != '"')) ++s;
    return s;
}
#endif

// The bytes before the NUL, without a call into the C library: names are a
// few bytes, and the call would cost more than the scan.
inline std::size_t TextLength(const char* s) { return static_cast<std::size_t>(EndOfRun<Run::kName>(s) - s); }

}  // namespace CorvaneXML

#endif
