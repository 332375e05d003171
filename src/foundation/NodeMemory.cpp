#include "foundation/NodeMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace CorvaneXML {

namespace {

constexpr std::size_t kWord = sizeof(void*);

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

// The first object starts after the chunk's count and its own header, at
// the next word.
static_assert(sizeof(std::atomic<std::size_t>) <= kWord, "chunk header is one word");

// A new chunk, unless the object is too large for one: such objects keep a
// block of their own, and do not make the arena give up the room left in
// its chunk.
void* CNodeArena::AllocateInNewChunk(std::size_t bytes) noexcept {
    const std::size_t needed = kWord + bytes;
    if (needed > kLargestCarved) return nullptr;
    const std::size_t size = std::max(nextChunkSize_, kWord + kChunkSlack + needed);
    void* memory = std::malloc(size);
    if (memory == nullptr) return nullptr;
    Retire();
    chunk_ = new (memory) Chunk{{kCarving}};
    // The last bytes stay unused: the end of every object lies inside its
    // chunk (see AllocateNodeBlock), and a short text at the end of the
    // last object may be copied as a whole sixteen bytes (see CNodeText).
    end_ = static_cast<char*>(memory) + size - kChunkSlack;
    nextChunkSize_ = size < kLargestChunk ? size * 2 : kLargestChunk;
    return Carve(static_cast<char*>(memory) + 2 * kWord, bytes);
}

void CNodeArena::Retire() noexcept {
    if (chunk_ != nullptr) chunk_->Release(kCarving - carved_);
    chunk_ = nullptr;
    next_ = end_ = nullptr;
    carved_ = 0;
    nextChunkSize_ = kFirstChunk;
}

void* AllocateHeapBlock(std::size_t bytes) noexcept {
    // One byte more than asked, for the address just past the object.
    void* memory = std::malloc(kWord + bytes + 1);
    if (memory == nullptr) return nullptr;
    // The header says "no chunk"; the word's other half stays unused, for
    // the object's alignment.
    std::memset(static_cast<char*>(memory) + kWord - sizeof(CNodeArena::Header), 0, sizeof(CNodeArena::Header));
    return static_cast<char*>(memory) + kWord;
}

void FreeNodeBlock(void* object) noexcept {
    if (object == nullptr) return;
    if (CNodeArena::Chunk* chunk = CNodeArena::ChunkOf(object)) {
        chunk->Release(1);
    } else {
        std::free(static_cast<char*>(object) - kWord);
    }
}

void CBlockRelease::Flush() noexcept {
    if (chunk_ != nullptr) chunk_->Release(count_);
    chunk_ = nullptr;
    count_ = 0;
}

}  // namespace CorvaneXML
