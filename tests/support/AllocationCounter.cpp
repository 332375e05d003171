// Counts every allocation of the test program that links it, so that tests
// can check that writing allocates nothing. The plain operator new and delete
// are replaced; the array, nothrow and sized forms forward to them.

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> allocations{0};

}  // namespace

namespace testsupport {
std::size_t AllocationCount() { return allocations.load(); }
}  // namespace testsupport

void* operator new(std::size_t size) {
    ++allocations;
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
