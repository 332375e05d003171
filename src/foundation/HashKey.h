#ifndef CORVANEXML_FOUNDATION_HASHKEY_H
#define CORVANEXML_FOUNDATION_HASHKEY_H

#include <CorvaneXML/XMLKey.h>

#include "foundation/KeyOverflow.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

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
    // The same for a name of `length` bytes (not null): the library's reader
    // knows the length of every name it reads.
    XCXMLKey& GetKey(const char* name, std::size_t length) {
        const std::uint64_t head = Head(name, length);
        const std::uint64_t tail = Tail(name, length);
        Recent& recent = recent_[((head ^ (tail * kSpread) ^ length) * kSpread) >> (64 - kRecentBits)];
        if (recent.length == length && recent.head == head && recent.tail == tail &&
            (length <= 16 || std::memcmp(recent.key->text_, name, length) == 0)) {
            return *recent.key;
        }
        return Remember(recent, name, head, tail, length);
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
    // A recent answer: the slot (of the vector or the overflow), and the
    // length and first and last bytes of its name, so that names of up to 16
    // bytes are compared without reading their text. Slots move when either
    // vector is rebuilt, so the set is emptied then; an empty entry has a
    // length no name has.
    struct Recent {
        std::uint64_t head;
        std::uint64_t tail;
        XCXMLKey* key;
        std::size_t length;
    };
    static constexpr int kRecentBits = 8;
    static constexpr std::size_t kNoName = SIZE_MAX;
    static constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15u;  // 2^64 divided by the golden ratio

    // The bytes of a short name as one word, read without passing its end.
    static std::uint64_t Word(const char* at, std::size_t size) {
        if (size >= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, 8);
            return word;
        }
        if (size >= 4) {
            std::uint32_t word;
            std::memcpy(&word, at, 4);
            return word;
        }
        if (size == 0) return 0;
        const auto byte = [at](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(at[i])); };
        return byte(0) | byte(size / 2) << 8 | byte(size - 1) << 16;
    }
    // The first and the last eight bytes (four, or three picked ones, of
    // shorter names) cover a name of up to 16 bytes whole.
    static std::uint64_t Head(const char* name, std::size_t length) { return Word(name, length); }
    static std::uint64_t Tail(const char* name, std::size_t length) {
        return length >= 8 ? Word(name + length - 8, 8) : length >= 4 ? Word(name + length - 4, 4) : 0;
    }

    // Looks up a name the recent set did not answer, and keeps the answer in
    // `recent`.
    XCXMLKey& Remember(Recent& recent, const char* name, std::uint64_t head, std::uint64_t tail, std::size_t length);

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
