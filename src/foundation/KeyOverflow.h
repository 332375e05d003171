#ifndef CORVANEXML_FOUNDATION_KEYOVERFLOW_H
#define CORVANEXML_FOUNDATION_KEYOVERFLOW_H

#include <CorvaneXML/XMLKey.h>

#include <cstdint>

namespace CorvaneXML {

// Where the key table keeps the names its own vector cannot spread.
//
// The table's hash is fixed and linear over GF(2) (it even forgets all but
// the last 32 bytes of a name), so anyone can write thousands of names with
// one hash, and doubling the table never separates them. This set hashes
// with a key of its own instead: a random point at which the name's bytes
// are evaluated as a polynomial modulo 2^61 - 1, then a random odd
// multiplier picks the slot. Two different names of at most L bytes collide
// with probability about L / 2^61 plus 2 / capacity, whatever names an
// attacker chooses, because the key is drawn only when the first name
// arrives, from std::random_device; documents that never need the set never
// pay for it.
//
// Open addressing with linear probing, at most half full. The set holds
// keys, not texts: the key table owns the texts and frees them.
class CKeyOverflow {
public:
    CKeyOverflow() noexcept = default;
    ~CKeyOverflow() { delete[] slots_; }
    CKeyOverflow(const CKeyOverflow&) = delete;
    CKeyOverflow& operator=(const CKeyOverflow&) = delete;

    std::uint32_t Count() const { return count_; }
    // The key whose text equals `name`, or null.
    XCXMLKey* Find(const char* name) const;
    // Makes room for `more` names to be added without allocating. Raises
    // "Can't grow hash vector." when memory is exhausted; the set is then
    // unchanged.
    void Reserve(std::uint32_t more);
    // Stores a key whose text the set does not hold yet, in room reserved
    // before. The reference stays valid until the next Reserve.
    XCXMLKey& Add(const XCXMLKey& key);

    // For the key table's destructor, which frees the texts.
    std::uint32_t Capacity() const { return capacity_; }
    const XCXMLKey* Slots() const { return slots_; }

private:
    void DrawKey() noexcept;
    std::uint32_t SlotOf(const char* name, std::uint32_t capacity) const;
    // The slot holding `name`, or the empty slot where it would go.
    static XCXMLKey* Probe(XCXMLKey* slots, std::uint32_t capacity, std::uint32_t start, const char* name);

    XCXMLKey* slots_ = nullptr;
    std::uint32_t capacity_ = 0;  // 0, or a power of two
    std::uint32_t count_ = 0;
    std::uint64_t point_ = 0;
    std::uint64_t multiplier_ = 0;
};

}  // namespace CorvaneXML

#endif
