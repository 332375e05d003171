#ifndef CORVANEXML_FOUNDATION_HASHKEY_H
#define CORVANEXML_FOUNDATION_HASHKEY_H

#include <CorvaneXML/XMLKey.h>

#include "foundation/KeyOverflow.h"
#include "foundation/RecentNames.h"

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
// A set of recent answers (see TRecentNames) answers most lookups without
// hashing the name byte by byte or probing.
// The text of a key, for the sets of recent names.
inline const char* TextOf(const XCXMLKey* slot) { return *slot; }
inline const char* TextOf(const XCXMLKey& key) { return key; }

class CHashKey {
public:
    CHashKey();
    ~CHashKey();
    CHashKey(const CHashKey&) = delete;
    CHashKey& operator=(const CHashKey&) = delete;

    // The table's key for `name`, interned first when absent. The reference
    // points into the slot vector: copy it before interning another name.
    XCXMLKey& GetKey(const char* name);
    // The same for a name (not null) whose print the caller has made.
    XCXMLKey& GetKey(const char* name, const CNamePrint& print) {
        Recent::Entry& entry = recent_.EntryFor(print);
        if (Recent::Holds(entry, print, name)) return *entry.value;
        return Remember(entry, name, print);
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
    // Recent answers, by slot (of the vector or the overflow). Slots move
    // when either vector is rebuilt, so the set is emptied then.
    using Recent = TRecentNames<XCXMLKey*, 7>;

    // Looks up a name the recent set did not answer, and keeps the answer in
    // `entry`.
    XCXMLKey& Remember(Recent::Entry& entry, const char* name, const CNamePrint& print);
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
    Recent recent_;
};

}  // namespace CorvaneXML

#endif
