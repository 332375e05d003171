#ifndef CORVANEXML_PARSER_SCAN_H
#define CORVANEXML_PARSER_SCAN_H

// Scans over the bytes of a block for where a run of whitespace, a name or
// an attribute value ends. Each takes the run's start `p`, in a block where
// the caller has put a fence byte after the contents that ends the run, and
// returns the first byte that does not continue it (the fence's place when
// the fence did). Values and long whitespace runs are scanned sixteen bytes
// at a time where the machine has SSE2 and sixteen bytes remain before
// the block's `end`; the rest byte by byte up to the fence, so no scan reads
// past it.

#include "parser/CharClass.h"

#include <cstdint>
#include <cstring>

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

// Whitespace runs and names are mostly a few bytes, and the vector loop
// cost more time than the byte loop on them (measured on real documents),
// though fewer instructions: these stay byte by byte, four bytes a round to
// spend fewer instructions on the loop itself. No round reads past the byte
// that ends the run, so none reads past the fence.

// The first byte at or after `p` that is not in `table`.
inline const char* RunEnd(const char* p, const charclass::Table& table) {
    for (;; p += 4) {
        if (!table.of[static_cast<unsigned char>(p[0])]) return p;
        if (!table.of[static_cast<unsigned char>(p[1])]) return p + 1;
        if (!table.of[static_cast<unsigned char>(p[2])]) return p + 2;
        if (!table.of[static_cast<unsigned char>(p[3])]) return p + 3;
    }
}

// The fence must not be whitespace.
inline const char* SpacesEnd(const char* p) { return RunEnd(p, charclass::kSpace); }

// As SpacesEnd, for the whitespace between tags: mostly a line feed and the
// next line's indentation, whose spaces are passed eight at a time while
// whole words of them follow (a test per word, not a data-dependent exit).
// Reads up to seven bytes past the fence, which the block has room for.
inline const char* BlankEnd(const char* p) {
    constexpr std::uint64_t kEightSpaces = 0x2020202020202020u;
    if (*p == '\n') ++p;
    for (;;) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (word != kEightSpaces) return SpacesEnd(p);
        p += sizeof word;
    }
}

// As SpacesEnd, for runs that may be long, such as the indentation before
// an attribute on a line of its own: a run still going after four bytes goes on sixteen at a time while
// sixteen bytes remain before the block's `end`, so short runs cost no more
// than the byte loop.
inline const char* LongSpacesEnd(const char* p, const char* end) {
    const charclass::Table& spaces = charclass::kSpace;
    if (!spaces.of[static_cast<unsigned char>(p[0])]) return p;
    if (!spaces.of[static_cast<unsigned char>(p[1])]) return p + 1;
    if (!spaces.of[static_cast<unsigned char>(p[2])]) return p + 2;
    if (!spaces.of[static_cast<unsigned char>(p[3])]) return p + 3;
    p += 4;
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load(p);
        const __m128i white = _mm_or_si128(_mm_or_si128(Same(bytes, ' '), Same(bytes, '\n')),
                                           _mm_or_si128(Same(bytes, '\t'), Same(bytes, '\r')));
        const unsigned others = ~Bits(white) & 0xFFFFu;
        if (others != 0) return p + __builtin_ctz(others);
    }
#else
    (void)end;
#endif
    return RunEnd(p, spaces);
}

// The fence must not continue a name.
inline const char* NameEnd(const char* p) { return RunEnd(p, charclass::kName); }

// As NameEnd, but stops at a NUL byte too.
inline const char* PlainNameEnd(const char* p) { return RunEnd(p, charclass::kPlainName); }

// The end of a plain run of an attribute value: its quote, a reference, or a
// NUL byte, so that a run handed on where it stands is as long as the C
// string a handler sees. The fence must be the quote.
inline const char* ValueEnd(const char* p, const char* end, char quote) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = Load(p);
        const __m128i ends = _mm_or_si128(_mm_or_si128(Same(bytes, quote), Same(bytes, '&')), Same(bytes, '\0'));
        const unsigned stops = Bits(ends);
        if (stops != 0) return p + __builtin_ctz(stops);
    }
#endif
    while (*p != quote && *p != '&' && *p != '\0') ++p;
    return p;
}

// The first '<' or '&' in [p, end), or `end`: a run of text up to the tag
// or reference that ends it. Sixteen bytes at a time where the machine has
// SSE2, reading up to fifteen bytes past `end`, which the block has room
// for; matches there are not taken.
inline const char* TextEnd(const char* p, const char* end) {
#if defined(__SSE2__)
    for (; p < end; p += 16) {
        const __m128i bytes = Load(p);
        unsigned stops = Bits(_mm_or_si128(Same(bytes, '<'), Same(bytes, '&')));
        if (end - p < 16) stops &= (1u << (end - p)) - 1;
        if (stops != 0) return p + __builtin_ctz(stops);
    }
    return end;
#else
    while (p != end && *p != '<' && *p != '&') ++p;
    return p;
#endif
}

}  // namespace scan
}  // namespace CorvaneXML

#endif
