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

struct CChunkList::CChunk {
    std::atomic<std::size_t> live;
    CChunk* next;  // the one carved before it for the same list

    // Takes `count` off the count and frees the chunk when that was the rest.
    void Release(std::size_t count) noexcept {
        if (live.fetch_sub(count, std::memory_order_acq_rel) == count) Free();
    }
    void Free() noexcept {
        this->~CChunk();
        std::free(this);
    }
};

namespace {

// Where the first object of a chunk starts: after the chunk's own fields and
// the object's header, at the next word.
constexpr std::size_t kFirstObject = sizeof(CChunkList::CChunk) + kWord;
static_assert(sizeof(CChunkList::CChunk) % kWord == 0, "chunk fields fill whole words");

}  // namespace

void CChunkList::Drop() noexcept {
    while (first_ != nullptr) {
        CChunk* const chunk = first_;
        first_ = chunk->next;
        chunk->Release(1);
    }
}

void CChunkList::FreeAll() noexcept {
    while (first_ != nullptr) {
        CChunk* const chunk = first_;
        first_ = chunk->next;
        chunk->Free();
    }
}

// A new chunk, or one of its own for an object too large to share one,
// which leaves the arena the room it has in its current chunk.
void* CNodeArena::AllocateInNewChunk(std::size_t bytes) noexcept {
    const std::size_t needed = kWord + bytes;
    if (needed > kLargestCarved) return AllocateInOwnChunk(bytes);
    const std::size_t size = std::max(nextChunkSize_, kFirstObject + kChunkSlack + bytes);
    void* memory = std::malloc(size);
    if (memory == nullptr) return Spill(bytes);
    Retire();
    // One hold for the list, and kCarving while this arena carves.
    chunk_ = new (memory) Chunk{{kCarving + 1}, chunks_.first_};
    chunks_.first_ = chunk_;
    // The last bytes stay unused: the end of every object lies inside its
    // chunk (see AllocateNodeBlock), and a short text at the end of the
    // last object may be copied as a whole sixteen bytes (see CNodeText).
    end_ = static_cast<char*>(memory) + size - kChunkSlack;
    nextChunkSize_ = size < kLargestChunk ? size * 2 : kLargestChunk;
    return Carve(static_cast<char*>(memory) + kFirstObject, bytes);
}

void* CNodeArena::AllocateInOwnChunk(std::size_t bytes) noexcept {
    void* memory = std::malloc(kFirstObject + bytes + kChunkSlack);
    if (memory == nullptr) return Spill(bytes);
    // One hold for the list, one for the object.
    Chunk* const chunk = new (memory) Chunk{{2}, chunks_.first_};
    chunks_.first_ = chunk;
    char* const object = static_cast<char*>(memory) + kFirstObject;
    const Header words = static_cast<Header>(kFirstObject / kWord);
    std::memcpy(object - sizeof words, &words, sizeof words);
    return object;
}

// A smaller block may still be had where a chunk could not; with the slack a
// chunk keeps, for the same promise.
void* CNodeArena::Spill(std::size_t bytes) noexcept {
    void* const block = AllocateHeapBlock(bytes + kChunkSlack);
    if (block != nullptr) spilled_ = true;
    return block;
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
