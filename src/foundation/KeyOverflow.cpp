#include "foundation/KeyOverflow.h"

#include "foundation/Raise.h"

#include <chrono>
#include <cstring>
#include <new>
#include <random>

namespace CorvaneXML {

namespace {

// The keyed hash works modulo the prime 2^61 - 1.
constexpr int kPrimeBits = 61;
constexpr std::uint64_t kPrime = (std::uint64_t{1} << kPrimeBits) - 1;

// The smallest vector the set takes.
constexpr std::uint64_t kFirstCapacity = 16;

// 2^64 divided by the golden ratio: spreads the bits of an address.
constexpr std::uint64_t kGoldenRatio = 0x9E3779B97F4A7C15u;

__extension__ typedef unsigned __int128 Wide;

std::uint64_t MultiplyModPrime(std::uint64_t a, std::uint64_t b) {
    const Wide product = static_cast<Wide>(a) * b;
    const std::uint64_t sum =
        (static_cast<std::uint64_t>(product) & kPrime) + static_cast<std::uint64_t>(product >> kPrimeBits);
    return sum >= kPrime ? sum - kPrime : sum;
}

}  // namespace

void CKeyOverflow::DrawKey() noexcept {
    std::uint64_t point = 0;
    std::uint64_t multiplier = 0;
    try {
        std::random_device device;
        point = (std::uint64_t{device()} << 32) ^ device();
        multiplier = (std::uint64_t{device()} << 32) ^ device();
    } catch (...) {
        // No entropy source: the clock and the address still differ from
        // run to run, which is all an attacker who cannot see them faces.
        point = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        multiplier = reinterpret_cast<std::uintptr_t>(this) * kGoldenRatio ^ point;
    }
    point_ = point % (kPrime - 1) + 1;
    multiplier_ = multiplier | 1;
}

std::uint32_t CKeyOverflow::SlotOf(const char* name, std::uint32_t capacity) const {
    // Each byte counts one more than its value, so that names differing by
    // trailing or leading zero coefficients still differ as polynomials.
    std::uint64_t h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p) {
        h = MultiplyModPrime(h, point_) + *p + 1;
        if (h >= kPrime) h -= kPrime;
    }
    const int bits = __builtin_ctz(capacity);
    return static_cast<std::uint32_t>((h * multiplier_) >> (64 - bits));
}

XCXMLKey* CKeyOverflow::Probe(XCXMLKey* slots, std::uint32_t capacity, std::uint32_t start, const char* name) {
    for (std::uint32_t i = start;; i = (i + 1) & (capacity - 1)) {
        const char* text = slots[i];
        if (text == nullptr || std::strcmp(text, name) == 0) return &slots[i];
    }
}

XCXMLKey* CKeyOverflow::Find(const char* name) const {
    if (count_ == 0) return nullptr;
    XCXMLKey* slot = Probe(slots_, capacity_, SlotOf(name, capacity_), name);
    return static_cast<const char*>(*slot) != nullptr ? slot : nullptr;
}

void CKeyOverflow::Reserve(std::uint32_t more) {
    const std::uint64_t needed = 2 * (std::uint64_t{count_} + more);
    if (needed <= capacity_) return;
    std::uint64_t capacity = capacity_ != 0 ? capacity_ : kFirstCapacity;
    while (capacity < needed) capacity *= 2;
    XCXMLKey* fresh = capacity <= (std::uint64_t{1} << 31) ? new (std::nothrow)
                                                                 XCXMLKey[static_cast<std::size_t>(capacity)]
                                                           : nullptr;
    if (fresh == nullptr) Raise("Can't grow hash vector.");
    if (slots_ == nullptr) DrawKey();
    const std::uint32_t size = static_cast<std::uint32_t>(capacity);
    for (std::uint32_t i = 0; i < capacity_; ++i) {
        const char* text = slots_[i];
        if (text != nullptr) *Probe(fresh, size, SlotOf(text, size), text) = slots_[i];
    }
    delete[] slots_;
    slots_ = fresh;
    capacity_ = size;
}

XCXMLKey& CKeyOverflow::Add(const XCXMLKey& key) {
    XCXMLKey* slot = Probe(slots_, capacity_, SlotOf(key, capacity_), key);
    *slot = key;
    ++count_;
    return *slot;
}

}  // namespace CorvaneXML
