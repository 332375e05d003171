#ifndef CORVANEXML_FOUNDATION_HASHKEY_H
#define CORVANEXML_FOUNDATION_HASHKEY_H

#include <CorvaneXML/XMLKey.h>

#include "foundation/KeyOverflow.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CorvaneXML {

// A document's key table: open addressing with linear probing. Instead of a
// load factor it bounds how many slots one search may examine, and doubles
// the table when a name's whole probe run is taken. Interned texts never move,
// so keys held by nodes survive growth; only the slot vector is rebuilt.
//
// Doubling helps only when it separates the names of a full run. It does
// not when they share their whole hash, and it is not worth it while the
// table is less than a sixteenth full (a run of ordinary names fills by
// chance only at a far higher fill), which also bounds the table to 32 slots
// per name. Names whose run is full at such a time go to an overflow set
// hashed with a random key instead, so no choice of names can make the table
// grow faster than the names it holds. A name stays where it was first put:
// a name missing from its run is looked for in the overflow.
//
// Most names of a document repeat, and the one asked for is usually among the
// few asked for last: a small direct-mapped set of recent answers, found by a
// fingerprint of the name's length and its first and last bytes, answers
// those without hashing the name byte by byte or probing. A fingerprint
// that two names share costs one comparison and the ordinary search, never
// a wrong answer.
class CHashKey {
public:
    CHashKey();
    ~CHashKey();
    CHashKey(const CHashKey&) = delete;
    CHashKey& operator=(const CHashKey&) = delete;

    // The table's key for `name`, interned first when absent. The reference
    // points into the slot vector: copy it before interning another name.
    XCXMLKey& GetKey(const char* name);
    // The same for a name of `length` bytes (not null).
    XCXMLKey& GetKey(const char* name, std::size_t length) { return Lookup(name, PrintOf(name, length)); }
    // The same, given also a copy of the sixteen bytes from the name's
    // start (past its end when it is shorter), as the library's reader has:
    // this saves the branches of taking the name's bytes one size at a time.
    XCXMLKey& GetKey(const char* name, std::size_t length, const char* head) {
        return Lookup(name, HeadPrintOf(name, length, head));
    }
    // The slot holding `name`, else the first empty slot of its probe run,
    // else null when the probe limit is used up.
    XCXMLKey* Find(const char* name);
    // Rebuilds the table with `requested` slots, doubling again while the
    // names do not fit within the probe limit and doubling is still worth
    // it; names that fit nowhere then go to the overflow.
    void Grow(int requested);

    static std::uint32_t Hash(const char* name);

private:
    // A name's fingerprint: its length, and its bytes as two words, which
    // hold a name of up to 16 bytes whole, padded with zeros, and the first
    // and the last eight bytes of a longer one.
    struct Print {
        std::uint64_t head;
        std::uint64_t tail;
        std::size_t length;
    };
    // A recent answer: the fingerprint of its name and its slot (of the
    // vector or the overflow). Slots move when either vector is rebuilt, so
    // the set is emptied then; an empty entry has a length no name has.
    struct Recent {
        Print print;
        XCXMLKey* key;
    };
    static constexpr int kRecentBits = 8;
    static constexpr std::size_t kNoName = SIZE_MAX;
    static constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15u;  // 2^64 divided by the golden ratio

    XCXMLKey& Lookup(const char* name, const Print& print) {
        Recent& recent =
            recent_[((print.head ^ (print.tail * kSpread) ^ print.length) * kSpread) >> (64 - kRecentBits)];
        const Print& seen = recent.print;
        // One test of all three, where three would each be a branch to
        // predict.
        if (((seen.head ^ print.head) | (seen.tail ^ print.tail) | (seen.length ^ print.length)) == 0 &&
            (print.length <= 16 || std::memcmp(recent.key->text_, name, print.length) == 0)) {
            return *recent.key;
        }
        return Remember(recent, name, print);
    }
    static Print PrintOf(const char* name, std::size_t length) {
        std::uint64_t words[2] = {0, 0};
        if (length <= sizeof words) {
            std::memcpy(words, name, length);
        } else {
            std::memcpy(&words[0], name, 8);
            std::memcpy(&words[1], name + length - 8, 8);
        }
        return {words[0], words[1], length};
    }
#if defined(__SSE2__)
    static Print HeadPrintOf(const char* name, std::size_t length, const char* head) {
        // Sixteen ones, then sixteen zeros: loaded from 16 - n on, the mask
        // that keeps the first n bytes.
        alignas(16) static constexpr unsigned char kKeep[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        const std::size_t kept = length < 16 ? length : 16;
        const __m128i bytes = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(head)),
                                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeep + 16 - kept)));
        std::uint64_t last;
        std::memcpy(&last, length > 16 ? name + length - 8 : head + 8, 8);
        const std::uint64_t tail =
            length > 16 ? last : static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(bytes, bytes)));
        return {static_cast<std::uint64_t>(_mm_cvtsi128_si64(bytes)), tail, length};
    }
#else
    static Print HeadPrintOf(const char* name, std::size_t length, const char*) { return PrintOf(name, length); }
#endif

    // Looks up a name the recent set did not answer, and keeps the answer in
    // `recent`.
    XCXMLKey& Remember(Recent& recent, const char* name, const Print& print);
    XCXMLKey& Intern(const char* name);
    void ForgetRecent() noexcept;
    bool WorthDoubling(const char* name) const;
    // Empties the new vector into the old one's place; leaves no trace of the
    // failed attempt except the raised probe limit.
    void Restore(XCXMLKey* fresh, XCXMLKey* old, int oldCapacity);

    XCXMLKey* slots_;
    int capacity_;
    std::uint32_t probeLimit_;
    int count_;  // names in the slot vector
    CKeyOverflow overflow_;
    Recent recent_[1 << kRecentBits];
};

}  // namespace CorvaneXML

#endif
