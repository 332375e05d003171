#ifndef CORVANEXML_FOUNDATION_HASHKEY_H
#define CORVANEXML_FOUNDATION_HASHKEY_H

#include <CorvaneXML/XMLKey.h>

#include "foundation/KeyOverflow.h"

#include <cstddef>
#include <cstdint>

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
    // vector is rebuilt, so the set is emptied then.
    struct Recent {
        std::uint64_t head;
        std::uint64_t tail;
        XCXMLKey* key;
        std::size_t length;
    };
    static constexpr int kRecentBits = 7;

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
