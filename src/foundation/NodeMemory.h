#ifndef CORVANEXML_FOUNDATION_NODEMEMORY_H
#define CORVANEXML_FOUNDATION_NODEMEMORY_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace CorvaneXML {

void FreeNodeBlock(void* object) noexcept;
class CBlockRelease;
class CNodeArena;

// The chunks carved for one document. The list holds each chunk as one more
// object would, so that a chunk outlives the document's last object in it
// until the document itself lets go.
class CChunkList {
public:
    CChunkList() noexcept = default;
    CChunkList(const CChunkList&) = delete;
    CChunkList& operator=(const CChunkList&) = delete;
    ~CChunkList() { Drop(); }

    // Lets go of every chunk: each returns to the heap when its last object
    // has gone, which may be at once or on another thread later.
    void Drop() noexcept;
    // Returns every chunk to the heap at once, whatever objects it still
    // counts. Only for a caller that knows that none of those objects will
    // be used any more and that no arena carves from the chunks.
    void FreeAll() noexcept;

    // A chunk: its count of live objects and holds, and its link in the list.
    struct CChunk;

private:
    friend class CNodeArena;
    CChunk* first_ = nullptr;
};

// Memory of the library's nodes and attributes.
//
// Each object sits behind a four-byte header that says how far before it
// its chunk starts, or zero when it has a heap block of its own. A document
// being read takes its nodes from a CNodeArena: objects laid one after the
// other in large chunks, so reading calls malloc once per chunk instead of
// once per node, and a document's nodes lie together in memory in document
// order. Every chunk goes on the document's CChunkList, objects too large
// for a shared chunk in one of their own.
//
// A chunk returns to the heap when its last object has been deleted and no
// arena carves from it any more. Nodes therefore keep the lifetime rules of
// separately allocated objects: a node taken out of its document may outlive
// the document, and may be deleted on another thread (the count of live
// objects in a chunk is atomic). Memory of deleted objects is not reused
// before its whole chunk is free.
class CNodeArena {
public:
    // An object's header: where its chunk starts, in words before the
    // object; zero for an object with a heap block of its own. Four bytes,
    // so that it mostly fits in the gap that aligning the object leaves
    // after the text of the object before it.
    using Header = std::uint32_t;

    explicit CNodeArena(CChunkList& chunks) noexcept : chunks_(chunks) {}
    CNodeArena(const CNodeArena&) = delete;
    CNodeArena& operator=(const CNodeArena&) = delete;
    ~CNodeArena() { Retire(); }

    // A block of `bytes` behind its header, or null when memory is exhausted.
    // When there is no memory for a new chunk, a block from the heap.
    // Sixteen bytes from any byte of the block may be written, even past its
    // end, until the next Allocate: they lie in the chunk's room not carved
    // yet or in its slack.
    void* Allocate(std::size_t bytes) noexcept {
        if (next_ != nullptr) {
            char* const object = AlignUp(next_ + sizeof(Header));
            if (object <= end_ && bytes <= static_cast<std::size_t>(end_ - object)) return Carve(object, bytes);
        }
        return AllocateInNewChunk(bytes);
    }
    // Carves nothing more from the current chunk, which then belongs to its
    // objects alone; the next chunk starts small again.
    void Retire() noexcept;
    // Whether a block asked of this arena came from the heap instead, when
    // memory for a chunk ran out (see Allocate): it is then not on the list
    // of chunks.
    bool Spilled() const noexcept { return spilled_; }

private:
    friend void FreeNodeBlock(void* object) noexcept;
    friend class CBlockRelease;
    using Chunk = CChunkList::CChunk;
    static char* AlignUp(char* address) noexcept {
        constexpr std::uintptr_t kMask = sizeof(void*) - 1;
        return reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(address) + kMask) & ~kMask);
    }
    void* Carve(char* object, std::size_t bytes) noexcept {
        next_ = object + bytes;
        ++carved_;
        const Header words = static_cast<Header>((object - reinterpret_cast<char*>(chunk_)) / sizeof(void*));
        std::memcpy(object - sizeof words, &words, sizeof words);
        return object;
    }
    void* AllocateInNewChunk(std::size_t bytes) noexcept;
    void* AllocateInOwnChunk(std::size_t bytes) noexcept;
    void* Spill(std::size_t bytes) noexcept;
    // The chunk an object was carved from; null for a heap block.
    static Chunk* ChunkOf(void* object) noexcept {
        Header words;
        std::memcpy(&words, static_cast<char*>(object) - sizeof words, sizeof words);
        return words == 0 ? nullptr : reinterpret_cast<Chunk*>(static_cast<char*>(object) - words * sizeof(void*));
    }
    static constexpr std::size_t kChunkSlack = 16;
    static constexpr std::size_t kFirstChunk = 1024;
    static constexpr std::size_t kLargestChunk = 64 * 1024;
    // Objects larger than this get a chunk of their own.
    static constexpr std::size_t kLargestCarved = kLargestChunk / 8;

    CChunkList& chunks_;
    Chunk* chunk_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t carved_ = 0;  // objects carved from chunk_
    std::size_t nextChunkSize_ = kFirstChunk;
    bool spilled_ = false;
};

// A block of `bytes` for an object (and any text behind it), from `arena`
// when one is given, otherwise from the heap; null when memory is exhausted.
// The address just past an object always lies inside its own heap block or
// its chunk, so it can never be where a separately allocated text starts: a
// text pointer equal to it is the object's inline text, which goes with the
// object.
void* AllocateHeapBlock(std::size_t bytes) noexcept;
inline void* AllocateNodeBlock(std::size_t bytes, CNodeArena* arena) noexcept {
    return arena != nullptr ? arena->Allocate(bytes) : AllocateHeapBlock(bytes);
}
// Releases a block from AllocateNodeBlock (null is ignored).
void FreeNodeBlock(void* object) noexcept;

// Ends objects whose destructors would do nothing but release their blocks,
// for walks that take many of them apart at once (a tree's deletion). The
// objects of one chunk mostly come in a row: the chunk's count drops once
// per row instead of once per object, and a chunk whose objects have all
// gone returns to the heap at the end of its row.
class CBlockRelease {
public:
    CBlockRelease() noexcept = default;
    CBlockRelease(const CBlockRelease&) = delete;
    CBlockRelease& operator=(const CBlockRelease&) = delete;
    ~CBlockRelease() { Flush(); }

    // What FreeNodeBlock does, for the block of an object whose life has
    // ended (its destructor need not have run).
    void Release(void* object) noexcept {
        CNodeArena::Chunk* const chunk = CNodeArena::ChunkOf(object);
        if (chunk == nullptr) {
            FreeNodeBlock(object);
        } else if (chunk == chunk_) {
            ++count_;
        } else {
            Flush();
            chunk_ = chunk;
            count_ = 1;
        }
    }
    // Gives the current row back to its chunk.
    void Flush() noexcept;

private:
    CNodeArena::Chunk* chunk_ = nullptr;
    std::size_t count_ = 0;
};

// A text for ConstructWithText: its bytes, not NUL-terminated, and, when
// known, sixteen bytes that begin with them (the parser's copy of a text it
// hands over where it stands), so that a short one can be copied as one
// move.
// Passed by reference: built from narrower stores, a copy passed by value
// would be read back whole before they reach the cache, which stalls.
struct CNodeText {
    const char* bytes;
    std::size_t size;
    const char* head;
};
// A text known only as a C string.
inline CNodeText NodeText(const char* text) { return {text, std::strlen(text), nullptr}; }

// Constructs a T in `block`, a block from AllocateNodeBlock; null when the
// block is null (memory exhausted). A constructor that raises releases it.
template <class T, class... Args>
T* ConstructInBlock(void* block, Args&&... args) {
    if (block == nullptr) return nullptr;
    try {
        return ::new (block) T(std::forward<Args>(args)...);
    } catch (...) {
        FreeNodeBlock(block);
        throw;
    }
}

// Where a T made by ConstructWithText finds its text: right behind it.
template <class T>
const char* TextBehind(const T* object) {
    return reinterpret_cast<const char*>(object + 1);
}

// A T and a NUL-terminated copy of `text` behind it in one block, from
// `arena` when one is given: one allocation instead of two. The T is
// constructed with `args` followed by the copy. Null when memory is
// exhausted.
template <class T, class... Args>
T* ConstructWithText(CNodeArena* arena, const CNodeText& text, Args&&... args) {
    constexpr std::size_t kMove = 16;
    const std::size_t size = text.size;
    void* block = arena != nullptr ? arena->Allocate(sizeof(T) + size + 1) : nullptr;
    // Both ends have room for a whole move (see CNodeArena::Allocate).
    const bool moves = block != nullptr && text.head != nullptr && size < kMove;
    if (block == nullptr) block = AllocateHeapBlock(sizeof(T) + size + 1);
    if (block == nullptr) return nullptr;
    char* const copy = static_cast<char*>(block) + sizeof(T);
    if (moves) {
        std::memcpy(copy, text.head, kMove);
    } else {
        std::memcpy(copy, text.bytes, size);
    }
    copy[size] = '\0';
    return ConstructInBlock<T>(block, std::forward<Args>(args)..., static_cast<const char*>(copy));
}

}  // namespace CorvaneXML

#endif
