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

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

// Reads `text` and writes it back into `out`; false when it does not read.
bool ReadWrite(const std::string& text, std::string& out) {
    CorvaneXML::CXMLTreeReader reader;
    CorvaneXML::XCXMLMemoryReadStream stream(text);
    std::unique_ptr<CorvaneXML::XCXMLTree> tree;
    try {
        tree.reset(reader.ReadTree(&stream));
    } catch (const std::exception&) {
        return false;
    }
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
