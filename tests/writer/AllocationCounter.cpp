// Counts every allocation of the test program, so that tests can check that
// writing allocates nothing.

#include "WriterFixtures.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> allocations{0};
}

std::size_t writertest::AllocationCount() { return allocations.load(); }

void* operator new(std::size_t size) {
    allocations.fetch_add(1);
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
