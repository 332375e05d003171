#include "foundation/NodeMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace CorvaneXML {

namespace {

constexpr std::size_t kWord = sizeof(void*);

constexpr std::size_t RoundUp(std::size_t bytes) { return (bytes + kWord - 1) & ~(kWord - 1); }

// Added to a chunk's count while an arena still carves from it, so that the
// count cannot reach zero before the arena has let go.
constexpr std::size_t kCarving = SIZE_MAX / 2;

}  // namespace

struct CNodeArena::Chunk {
    std::atomic<std::size_t> live;

    // Takes `count` off the count and frees the chunk when that was the rest.
    void Release(std::size_t count) noexcept {
        if (live.fetch_sub(count, std::memory_order_acq_rel) == count) {
            this->~Chunk();
            std::free(this);
        }
    }
};

// Objects start a whole header after the chunk's own fields, aligned as the
// heap would align them.
static_assert(sizeof(std::atomic<std::size_t>) <= kWord, "chunk header is one word");

void* CNodeArena::Allocate(std::size_t bytes) noexcept {
    const std::size_t needed = kWord + RoundUp(bytes);
    if (needed > static_cast<std::size_t>(end_ - next_)) {
        // Objects too large for a chunk keep a block of their own, and do
        // not make the arena give up the room left in its chunk.
        if (needed > kLargestCarved) return nullptr;
        const std::size_t size = std::max(nextChunkSize_, 2 * kWord + needed);
        void* memory = std::malloc(size);
        if (memory == nullptr) return nullptr;
        Retire();
        chunk_ = new (memory) Chunk{{kCarving}};
        next_ = static_cast<char*>(memory) + kWord;
        // The last word stays unused: the end of every object lies inside
        // its chunk (see AllocateNodeBlock).
        end_ = static_cast<char*>(memory) + size - kWord;
        nextChunkSize_ = size < kLargestChunk ? size * 2 : kLargestChunk;
    }
    char* header = next_;
    next_ += needed;
    ++carved_;
    *reinterpret_cast<Chunk**>(header) = chunk_;
    return header + kWord;
}

void CNodeArena::Retire() noexcept {
    if (chunk_ != nullptr) chunk_->Release(kCarving - carved_);
    chunk_ = nullptr;
    next_ = end_ = nullptr;
    carved_ = 0;
    nextChunkSize_ = kFirstChunk;
}

void* AllocateNodeBlock(std::size_t objectSize, std::size_t textSize, CNodeArena* arena) noexcept {
    const std::size_t bytes = objectSize + textSize;
    if (arena != nullptr) {
        if (void* block = arena->Allocate(bytes)) return block;
    }
    // One byte more than asked, for the address just past the object.
    void* memory = std::malloc(kWord + bytes + 1);
    if (memory == nullptr) return nullptr;
    *static_cast<void**>(memory) = nullptr;
    return static_cast<char*>(memory) + kWord;
}

void FreeNodeBlock(void* object) noexcept {
    if (object == nullptr) return;
    char* header = static_cast<char*>(object) - kWord;
    CNodeArena::Chunk* chunk = *reinterpret_cast<CNodeArena::Chunk**>(header);
    if (chunk == nullptr) {
        std::free(header);
    } else {
        chunk->Release(1);
    }
}

}  // namespace CorvaneXML
