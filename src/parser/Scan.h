#ifndef CORVANEXML_PARSER_SCAN_H
#define CORVANEXML_PARSER_SCAN_H

// Scans over the bytes of a block for where a run of whitespace, a name or
// an attribute value ends. Each takes the run's start `p` and the block's
// end `end`, where the caller has put a fence byte that ends the run, and
// returns the first byte that does not continue it (`end` when the fence
// did). Sixteen bytes at a time where the machine has SSE2 and sixteen
// bytes remain before the fence; the rest byte by byte up to the fence, so
// no scan reads past it.

#include "parser/CharClass.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CorvaneXML {
namespace scan {

#if defined(__SSE2__)
// The positions in the sixteen bytes at `p` where `stops` is set, as bits.
inline unsigned Bits(__m128i stops) { return static_cast<unsigned>(_mm_movemask_epi8(stops)); }
inline __m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i Same(__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); }
#endif

// The fence must not be whitespace.
inline const char* SpacesEnd(const char* p, const char* end) {
    // A single space between attributes is the commonest run: one test.
    if (!charclass::IsSpaceByte(*p)) return p;
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load(p);
        const __m128i spaces = _mm_or_si128(_mm_or_si128(Same(bytes, ' '), Same(bytes, '\n')),
                                            _mm_or_si128(Same(bytes, '\t'), Same(bytes, '\r')));
        const unsigned other = ~Bits(spaces) & 0xFFFFu;
        if (other != 0) return p + __builtin_ctz(other);
    }
#endif
    while (charclass::IsSpaceByte(*p)) ++p;
    return p;
}

// The fence must not continue a name.
inline const char* NameEnd(const char* p, const char* end) {
#if defined(__SSE2__)
    // Every byte above '?' continues a name: only the others need the table.
    const __m128i highestStop = _mm_set1_epi8('?');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load(p);
        unsigned low = Bits(_mm_cmpeq_epi8(_mm_min_epu8(bytes, highestStop), bytes));
        for (; low != 0; low &= low - 1) {
            const char* at = p + __builtin_ctz(low);
            if (!charclass::IsNameByte(*at)) return at;
        }
    }
#endif
    while (charclass::IsNameByte(*p)) ++p;
    return p;
}

// The end of a plain run of an attribute value: its quote or a reference.
// The fence must be the quote.
inline const char* ValueEnd(const char* p, const char* end, char quote) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load(p);
        const unsigned stops = Bits(_mm_or_si128(Same(bytes, quote), Same(bytes, '&')));
        if (stops != 0) return p + __builtin_ctz(stops);
    }
#endif
    while (*p != quote && *p != '&') ++p;
    return p;
}

}  // namespace scan
}  // namespace CorvaneXML

#endif
