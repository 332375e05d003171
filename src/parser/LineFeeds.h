#ifndef CORVANEXML_PARSER_LINEFEEDS_H
#define CORVANEXML_PARSER_LINEFEEDS_H

// Counting the line feeds of a block, which the reader does for every block
// it retires so that positions cost nothing while reading.

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the compiler can build a function for AVX2 alone, the count takes it
// when the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#define CORVANEXML_LINEFEEDS_AVX2 1
#include <immintrin.h>
#endif

namespace CorvaneXML {
namespace linefeeds {

// The line feeds in [begin, end), many bytes at a time: a byte-wise count
// costs a fifth of a parse. Sixteen-byte vectors where the machine has them,
// then words of eight, then single bytes.
inline std::uint64_t CountPortably(const char* begin, const char* end) {
    std::uint64_t feeds = 0;
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    const auto feedsAt = [feed](const char* at) {
        return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), feed);
    };
    while (end - begin >= 16) {
        // Each lane counts up to 255 matches before the lanes are summed:
        // 63 rounds of four vectors, then single vectors.
        __m128i lanes = zero;
        int round = 0;
        for (; round < 63 && end - begin >= 64; ++round, begin += 64) {
            const __m128i pair = _mm_add_epi8(feedsAt(begin), feedsAt(begin + 16));
            lanes = _mm_sub_epi8(lanes, _mm_add_epi8(pair, _mm_add_epi8(feedsAt(begin + 32), feedsAt(begin + 48))));
        }
        for (round *= 4; round < 255 && end - begin >= 16; ++round, begin += 16) {
            lanes = _mm_sub_epi8(lanes, feedsAt(begin));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        feeds += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fu;
    for (; end - begin >= 8; begin += 8) {
        std::uint64_t word;
        std::memcpy(&word, begin, sizeof word);
        word ^= kOnes * '\n';  // line feeds become zero bytes
        // The top bit of each byte is set when that byte is not zero, exactly.
        const std::uint64_t nonZero = (((word & kLow7) + kLow7) | word) & ~kLow7;
        // One per zero byte, summed into the top byte.
        feeds += (((~nonZero & ~kLow7) >> 7) * kOnes) >> 56;
    }
    return feeds + static_cast<std::uint64_t>(std::count(begin, end, '\n'));
}

#if defined(CORVANEXML_LINEFEEDS_AVX2)
// The same, thirty-two bytes at a time, for processors that have AVX2 (about
// half the instructions of the count above); the rest as above.
__attribute__((target("avx2"))) inline __m256i FeedsAt(const char* at, __m256i feed) {
    return _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), feed);
}

__attribute__((target("avx2"))) inline std::uint64_t CountAvx2(const char* begin, const char* end) {
    std::uint64_t feeds = 0;
    const __m256i feed = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    while (end - begin >= 32) {
        // As above: each lane counts up to 255 matches before they are summed.
        __m256i lanes = zero;
        int round = 0;
        for (; round < 63 && end - begin >= 128; ++round, begin += 128) {
            const __m256i pair = _mm256_add_epi8(FeedsAt(begin, feed), FeedsAt(begin + 32, feed));
            lanes = _mm256_sub_epi8(
                lanes, _mm256_add_epi8(pair, _mm256_add_epi8(FeedsAt(begin + 64, feed), FeedsAt(begin + 96, feed))));
        }
        for (round *= 4; round < 255 && end - begin >= 32; ++round, begin += 32) {
            lanes = _mm256_sub_epi8(lanes, FeedsAt(begin, feed));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, zero);
        feeds += static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 0)) +
                 static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 1)) +
                 static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 2)) +
                 static_cast<std::uint64_t>(_mm256_extract_epi64(sums, 3));
    }
    return feeds + CountPortably(begin, end);
}
#endif

inline std::uint64_t Count(const char* begin, const char* end) {
#if defined(CORVANEXML_LINEFEEDS_AVX2)
    if (__builtin_cpu_supports("avx2")) return CountAvx2(begin, end);
#endif
    return CountPortably(begin, end);
}

}  // namespace linefeeds
}  // namespace CorvaneXML

#endif
