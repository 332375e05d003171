// The heap a read tree holds, seen from outside: malloc and its family are
// replaced here and count the bytes of every live block, so the figure covers
// whatever the library allocates, however it does. Each shape, hostile or
// not, must stay under one multiple of its size. (Sanitized builds leave
// this program out: their runtimes own malloc.)

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<std::size_t> liveBytes{0};

void* Counted(void* block) {
    if (block != nullptr) liveBytes += malloc_usable_size(block);
    return block;
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) { return Counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) { return Counted(__libc_calloc(count, size)); }
void free(void* block) {
    if (block != nullptr) liveBytes -= malloc_usable_size(block);
    __libc_free(block);
}
void* realloc(void* block, std::size_t size) {
    if (block != nullptr) liveBytes -= malloc_usable_size(block);
    return Counted(__libc_realloc(block, size));
}
}

void* operator new(std::size_t size) {
    if (void* block = malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }

namespace {

using namespace CorvaneXML;

// Above the densest of these shapes (empty siblings, about 24 bytes per byte)
// with a margin; the blow-ups this guards against are exponential.
constexpr double kWorstPerByte = 32;

// The key table's hash, as documented: every step multiplies the state by a
// nilpotent matrix, so only the last 32 bytes of a name count.
std::uint32_t TableHash(const std::string& name) {
    std::uint32_t h = 0;
    for (unsigned char b : name) h ^= (((h << 1) ^ b) << 4) ^ (h >> 27) ^ b;
    return h;
}

std::string Repeat(std::size_t count, const std::function<std::string(std::size_t)>& piece) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += piece(i);
    return text;
}

// Reads `text` into a tree and writes it back; `held` is the tree's heap.
std::string ReadWrite(const std::string& text, std::size_t* held) {
    const std::size_t before = liveBytes.load();
    XCXMLMemoryReadStream input(text);
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree(reader.ReadTree(&input));
    *held = liveBytes.load() - before;
    std::string written;
    XCXMLStringWriteStream output(written);
    tree->Write(&output);
    return written;
}

std::string Colliding(std::size_t i) { return "n" + std::to_string(i) + std::string(32, 'z'); }

TEST(Heap, EveryShapeStaysWithinAMultipleOfItsInput) {
    constexpr std::size_t n = 3000;
    ASSERT_EQ(TableHash(Colliding(0)), TableHash(Colliding(n - 1)));
    struct Shape {
        const char* name;
        std::string text;
    } const shapes[] = {
        {"empty siblings", "<r>" + Repeat(n, [](std::size_t) { return "<a/>"; }) + "</r>"},
        {"nesting", Repeat(n, [](std::size_t) { return "<a>"; }) + Repeat(n, [](std::size_t) { return "</a>"; })},
        {"attributes", "<r" + Repeat(n, [](std::size_t) { return " a=''"; }) + "/>"},
        {"distinct names", "<r>" + Repeat(n, [](std::size_t i) { return "<e" + std::to_string(i) + "/>"; }) + "</r>"},
        {"colliding names", "<r>" + Repeat(n, [](std::size_t i) { return "<" + Colliding(i) + "/>"; }) + "</r>"},
    };
    for (const Shape& shape : shapes) {
        std::size_t held = 0;
        const std::string written = ReadWrite(shape.text, &held);
        EXPECT_LT(static_cast<double>(held) / static_cast<double>(shape.text.size()), kWorstPerByte) << shape.name;
        EXPECT_EQ(ReadWrite(written, &held), written) << shape.name;
    }
}

// Colliding names are still names: interned again, each gives its one key.
TEST(Heap, CollidingNamesKeepTheirKeys) {
    XCXMLTree tree;
    std::vector<const char*> keys;
    for (std::size_t i = 0; i < 2000; ++i) keys.push_back(tree.GetKey(Colliding(i).c_str()));
    for (std::size_t i = 0; i < 2000; ++i) ASSERT_EQ(static_cast<const char*>(tree.GetKey(Colliding(i).c_str())), keys[i]);
}

}  // namespace
