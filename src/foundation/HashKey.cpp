#include "foundation/HashKey.h"

#include "foundation/OwnedText.h"
#include "foundation/Raise.h"
#include "foundation/TextRun.h"

#include <climits>
#include <cstring>
#include <new>

namespace CorvaneXML {

namespace {

// A new table has 64 slots and searches at most 11 of them for a name; each
// vector that Grow builds searches one more.
constexpr int kFirstCapacity = 64;
constexpr std::uint32_t kFirstProbeLimit = 11;

// Doubling pays only while the table is at least a sixteenth full.
constexpr int kLeastFill = 16;

}  // namespace

CHashKey::CHashKey() : slots_(nullptr), capacity_(0), probeLimit_(kFirstProbeLimit - 1), count_(0) {
    Grow(kFirstCapacity);
}

CHashKey::~CHashKey() {
    for (int i = 0; i < capacity_; ++i) std::free(const_cast<char*>(slots_[i].text_));
    delete[] slots_;
    for (std::uint32_t i = 0; i < overflow_.Capacity(); ++i) {
        std::free(const_cast<char*>(overflow_.Slots()[i].text_));
    }
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
inline XCXMLKey* Probe(XCXMLKey* slots, int capacity, std::uint32_t probeLimit, const char* name) {
    Require(name != nullptr, message::kNullName);
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
    Require(name != nullptr, message::kNullName);
    return GetKey(name, CNamePrint::Of(name, TextLength(name)));
}

XCXMLKey& CHashKey::Remember(Recent::Entry& entry, const char* name, const CNamePrint& print) {
    XCXMLKey& key = Intern(name);
    entry = {print, &key};
    return key;
}

void CHashKey::ForgetRecent() noexcept { recent_.Clear(); }

XCXMLKey& CHashKey::Intern(const char* name) {
    XCXMLKey* slot = Probe(slots_, capacity_, probeLimit_, name);
    if (slot != nullptr && slot->text_ != nullptr) return *slot;
    if (overflow_.Count() != 0) {
        if (XCXMLKey* kept = overflow_.Find(name)) return *kept;
    }
    while (slot == nullptr && WorthDoubling(name)) {
        Grow(2 * capacity_);
        slot = Find(name);
    }
    if (slot == nullptr) {
        ForgetRecent();
        overflow_.Reserve(1);
        return overflow_.Add(XCXMLKey(CopyText(name)));
    }
    slot->text_ = CopyText(name);
    ++count_;
    return *slot;
}

bool CHashKey::WorthDoubling(const char* name) const {
    if (capacity_ > INT_MAX / 2 || count_ < capacity_ / kLeastFill) return false;
    // The run is full; it spreads if any of its names has another hash.
    const std::uint32_t hash = Hash(name);
    const std::uint32_t mask = static_cast<std::uint32_t>(capacity_) - 1;
    std::uint32_t slot = hash;
    for (std::uint32_t n = 0; n < probeLimit_; ++n) {
        slot = (slot + 1) & mask;
        if (Hash(slots_[slot].text_) != hash) return true;
    }
    return false;
}

void CHashKey::Restore(XCXMLKey* fresh, XCXMLKey* old, int oldCapacity) {
    delete[] fresh;
    slots_ = old;
    capacity_ = oldCapacity;
}

void CHashKey::Grow(int requested) {
    ForgetRecent();
    XCXMLKey* const old = slots_;
    const int oldCapacity = capacity_;
    for (;;) {
        XCXMLKey* fresh = requested > 0 ? new (std::nothrow) XCXMLKey[requested] : nullptr;
        if (fresh == nullptr) {
            Restore(nullptr, old, oldCapacity);
            Raise("Can't grow hash vector.");
        }
        slots_ = fresh;
        ++probeLimit_;
        capacity_ = requested;

        std::uint32_t misfits = 0;
        for (int i = 0; i < oldCapacity; ++i) {
            if (old[i].text_ == nullptr) continue;
            XCXMLKey* slot = Find(old[i].text_);
            if (slot == nullptr) {
                ++misfits;
            } else if (slot->text_ != nullptr) {
                Restore(fresh, old, oldCapacity);
                Raise("CHashKey::Grow - Duplicate key ???");
            } else {
                *slot = old[i];
            }
        }
        if (misfits != 0 && requested <= INT_MAX / 2 && count_ >= requested / kLeastFill) {
            Restore(fresh, old, oldCapacity);
            Corvane::XCReporter::Warning("CHashKey::Grow - Double grow needed");
            requested *= 2;
            continue;
        }
        if (misfits != 0) {
            try {
                overflow_.Reserve(misfits);
            } catch (...) {
                Restore(fresh, old, oldCapacity);
                throw;
            }
            // Still without a slot: their runs stayed full.
            for (int i = 0; i < oldCapacity; ++i) {
                if (old[i].text_ != nullptr && Find(old[i].text_) == nullptr) overflow_.Add(old[i]);
            }
            count_ -= static_cast<int>(misfits);
        }
        delete[] old;
        return;
    }
}

}  // namespace CorvaneXML
