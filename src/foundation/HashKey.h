#ifndef CORVANEXML_FOUNDATION_HASHKEY_H
#define CORVANEXML_FOUNDATION_HASHKEY_H

#include <CorvaneXML/XMLKey.h>

#include <cstdint>

namespace CorvaneXML {

// A document's key table: open addressing with linear probing. Instead of a
// load factor it bounds how many slots one search may examine, and doubles
// the table when a name's whole probe run is taken. Interned texts never move,
// so keys held by nodes survive growth; only the slot vector is rebuilt.
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
    // Rebuilds the table with `requested` slots, doubling again for as long
    // as the names do not fit within the probe limit.
    void Grow(int requested);

    static std::uint32_t Hash(const char* name);

    // Observers for tests and diagnostics.
    int Capacity() const { return capacity_; }
    std::uint32_t ProbeLimit() const { return probeLimit_; }
    const XCXMLKey* Slots() const { return slots_; }

private:
    // Empties the new vector into the old one's place; leaves no trace of the
    // failed attempt except the raised probe limit.
    void Restore(XCXMLKey* fresh, XCXMLKey* old, int oldCapacity);

    XCXMLKey* slots_;
    int capacity_;
    std::uint32_t probeLimit_;
};

}  // namespace CorvaneXML

#endif
