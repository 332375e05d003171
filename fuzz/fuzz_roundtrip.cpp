// ReadTree, Write, then read the written text and write it again.
//
// The property: writing is stable from the first written text on. The first
// pass may still normalise the input (text loses its leading whitespace, an
// empty or all-blank text node disappears, CDATA becomes escaped text), so
// the two outputs may differ; but once the second output exists, reading and
// writing it once more reproduces it byte for byte. Also, whenever the first
// output reads back, so does the second. (Some first outputs cannot be read
// at all, e.g. text at top level or a quote inside a DOCTYPE literal: the
// writer escapes neither, and that is not a fault of the reader.)
//
// And the heap a read tree holds stays within a fixed multiple of its input
// plus a constant, whatever the input (names that collide in the key table
// included); libFuzzer's -rss_limit_mb and -malloc_limit_mb catch what
// grows before the tree is complete.

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <sanitizer/allocator_interface.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

// Above what the densest shapes hold (about 24 bytes per byte of "<a/>"),
// with room for a key table grown by names chosen to collide.
constexpr std::size_t kHeapPerInputByte = 64;
constexpr std::size_t kHeapConstant = 256 * 1024;

// Reads `text` and writes it back into `out`; false when it does not read.
bool ReadWrite(const std::string& text, std::string& out) {
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    std::unique_ptr<CorvaneXML::XCXMLTree> tree;
    try {
        CorvaneXML::CXMLTreeReader reader;
        CorvaneXML::XCXMLMemoryReadStream stream(text);
        tree.reset(reader.ReadTree(&stream));
    } catch (const std::exception&) {
        return false;
    }
    const std::size_t held = __sanitizer_get_current_allocated_bytes() - before;
    if (held > kHeapPerInputByte * text.size() + kHeapConstant) std::abort();
    CorvaneXML::XCXMLStringWriteStream sink(out);
    tree->Write(&sink);  // a string stream never refuses: any throw is a finding
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string first;
    if (!ReadWrite(std::string(reinterpret_cast<const char*>(data), size), first)) return 0;
    std::string second;
    if (!ReadWrite(first, second)) return 0;
    std::string third;
    if (!ReadWrite(second, third)) std::abort();
    if (third != second) std::abort();
    return 0;
}
