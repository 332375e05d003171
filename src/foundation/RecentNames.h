#ifndef CORVANEXML_FOUNDATION_RECENTNAMES_H
#define CORVANEXML_FOUNDATION_RECENTNAMES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CorvaneXML {

// A name's fingerprint: its length, and its bytes as two words, which hold a
// name of up to 16 bytes whole, padded with zeros, and the first and the last
// eight bytes of a longer one. Names of up to 16 bytes are the same exactly
// when their prints are; longer ones need their bytes compared as well.
struct CNamePrint {
    static constexpr std::size_t kWhole = 16;

    std::uint64_t head;
    std::uint64_t tail;
    std::size_t length;

    // The print of `name`, of `length` bytes.
    static CNamePrint Of(const char* name, std::size_t length) {
        std::uint64_t words[2] = {0, 0};
        if (length <= kWhole) {
            std::memcpy(words, name, length);
        } else {
            std::memcpy(&words[0], name, 8);
            std::memcpy(&words[1], name + length - 8, 8);
        }
        return {words[0], words[1], length};
    }

#if defined(__SSE2__)
    // The same, given also `start`, sixteen bytes that begin with the name
    // (past its end when it is shorter): without a branch on the length
    // for each size of word.
    static CNamePrint Of(const char* name, std::size_t length, const char* start) {
        // Sixteen ones, then sixteen zeros: loaded from 16 - n on, the mask
        // that keeps the first n bytes.
        alignas(16) static constexpr unsigned char kKeep[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        const std::size_t kept = length < kWhole ? length : kWhole;
        const __m128i bytes = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(start)),
                                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeep + kWhole - kept)));
        std::uint64_t last;
        std::memcpy(&last, length > kWhole ? name + length - 8 : start + 8, 8);
        const std::uint64_t tail =
            length > kWhole ? last : static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(bytes, bytes)));
        return {static_cast<std::uint64_t>(_mm_cvtsi128_si64(bytes)), tail, length};
    }
#else
    static CNamePrint Of(const char* name, std::size_t length, const char*) { return Of(name, length); }
#endif

    // One test of all three words, where three tests would each be a branch
    // to predict.
    bool SameAs(const CNamePrint& other) const {
        return ((head ^ other.head) | (tail ^ other.tail) | (length ^ other.length)) == 0;
    }
};

// A small direct-mapped set of recent answers for names: most names of a
// document repeat, and the one asked for is usually among the few asked for
// last. An entry holds the print of its name and what the name stood for; a
// print that two names share costs a miss, never a wrong answer. `TextOf(
// value)` gives the name of an entry's value.
template <class Value, int kBits>
class TRecentNames {
public:
    struct Entry {
        CNamePrint print;
        Value value;
    };

    TRecentNames() noexcept { Clear(); }

    // The entry where `name` would be; it holds the name when Holds says so.
    // One product of the print's two words: every lookup waits for it, so
    // it is kept short. Names that differ only in their length, or whose
    // words sum alike, share an entry and cost a miss when they alternate.
    Entry& EntryFor(const CNamePrint& print) {
        constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15u;  // 2^64 divided by the golden ratio
        return entries_[((print.head + print.tail) * kSpread) >> (64 - kBits)];
    }
    static bool Holds(const Entry& entry, const CNamePrint& print, const char* name) {
        return entry.print.SameAs(print) &&
               (print.length <= CNamePrint::kWhole || SameLongName(TextOf(entry.value), name, print.length));
    }
    // Empty entries have a length no name has.
    void Clear() noexcept {
        for (Entry& entry : entries_) entry = {{0, 0, SIZE_MAX}, Value()};
    }

private:
    // Whether two names of `length` bytes, more than sixteen, are the same:
    // up to thirty-two bytes as two sixteen-byte compares (the first and the
    // last sixteen bytes, overlapping), without a call.
    static bool SameLongName(const char* a, const char* b, std::size_t length) {
#if defined(__SSE2__)
        if (length <= 2 * CNamePrint::kWhole) {
            const auto at = [](const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
            const std::size_t last = length - CNamePrint::kWhole;
            const __m128i differ = _mm_or_si128(_mm_xor_si128(at(a), at(b)), _mm_xor_si128(at(a + last), at(b + last)));
            return _mm_movemask_epi8(_mm_cmpeq_epi8(differ, _mm_setzero_si128())) == 0xFFFF;
        }
#endif
        return std::memcmp(a, b, length) == 0;
    }

    Entry entries_[1 << kBits];
};

}  // namespace CorvaneXML

#endif
