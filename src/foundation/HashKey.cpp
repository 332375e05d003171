#include "foundation/HashKey.h"

#include "foundation/Checks.h"
#include "foundation/OwnedText.h"

#include <CorvaneTools/CorvaneTools.h>

#include <climits>
#include <new>

namespace CorvaneXML {

using Corvane::CvThrow;

CHashKey::CHashKey() : slots_(nullptr), capacity_(0), probeLimit_(10) { Grow(64); }

CHashKey::~CHashKey() {
    for (int i = 0; i < capacity_; ++i) std::free(const_cast<char*>(slots_[i].text_));
    delete[] slots_;
}

std::uint32_t CHashKey::Hash(const char* name) {
    // The same function as h ^= (((h << 1) ^ b) << 4) ^ (h >> 27) ^ b: the
    // shifts of h by five and by 27 make a rotation, which the compiler emits
    // as one instruction, saving a few per byte of every name looked up.
    std::uint32_t h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p) {
        const std::uint32_t b = *p;
        h ^= ((h << 5) | (h >> 27)) ^ b ^ (b << 4);
    }
    return h;
}

namespace {

// Names are short, and most probes end on the name itself: comparing here
// costs less than a call into the C library.
bool SameText(const char* a, const char* b) {
    while (*a == *b) {
        if (*a == '\0') return true;
        ++a;
        ++b;
    }
    return false;
}

// Find's search, written once for Find and for GetKey, which looks up every
// name read and should not pay for a second call.
inline XCXMLKey* Probe(XCXMLKey* slots, int capacity, std::uint32_t probeLimit,
                       const char* name) {
    check::SiNULL(name, message::kNullName);
    std::uint32_t h = CHashKey::Hash(name);
    std::uint32_t n = probeLimit;
    if (n == 0) return nullptr;
    const std::uint32_t mask = static_cast<std::uint32_t>(capacity) - 1;
    for (;;) {
        --n;
        h = (h + 1) & mask;
        XCXMLKey* slot = &slots[h];
        const char* text = *slot;
        if (text == nullptr || SameText(text, name)) return slot;
        if (n == 0) return nullptr;
    }
}

}  // namespace

XCXMLKey* CHashKey::Find(const char* name) { return Probe(slots_, capacity_, probeLimit_, name); }

XCXMLKey& CHashKey::GetKey(const char* name) {
    XCXMLKey* slot = Probe(slots_, capacity_, probeLimit_, name);
    while (slot == nullptr) {
        CvThrow::SiFaux(capacity_ <= INT_MAX / 2, "Can't grow hash vector.");
        Grow(2 * capacity_);
        slot = Find(name);
    }
    if (slot->text_ == nullptr) slot->text_ = CopyText(name);
    return *slot;
}

void CHashKey::Restore(XCXMLKey* fresh, XCXMLKey* old, int oldCapacity) {
    delete[] fresh;
    slots_ = old;
    capacity_ = oldCapacity;
}

void CHashKey::Grow(int requested) {
    XCXMLKey* const old = slots_;
    const int oldCapacity = capacity_;
    for (;;) {
        XCXMLKey* fresh = requested > 0 ? new (std::nothrow) XCXMLKey[requested] : nullptr;
        if (fresh == nullptr) {
            Restore(nullptr, old, oldCapacity);
            CvThrow::Signale("Can't grow hash vector.");
        }
        slots_ = fresh;
        ++probeLimit_;
        capacity_ = requested;

        bool fits = true;
        for (int i = 0; i < oldCapacity && fits; ++i) {
            if (old[i].text_ == nullptr) continue;
            XCXMLKey* slot = Find(old[i].text_);
            if (slot == nullptr) {
                fits = false;
            } else if (slot->text_ != nullptr) {
                Restore(fresh, old, oldCapacity);
                CvThrow::IfFalse(false, "CHashKey::Grow - Duplicate key ???");
            } else {
                *slot = old[i];
            }
        }
        if (fits) {
            delete[] old;
            return;
        }
        Restore(fresh, old, oldCapacity);
        Corvane::XCReporter::Warning("CHashKey::Grow - Double grow needed");
        if (requested > INT_MAX / 2) CvThrow::Signale("Can't grow hash vector.");
        requested *= 2;
    }
}

}  // namespace CorvaneXML
