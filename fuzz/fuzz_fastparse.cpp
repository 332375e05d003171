// FastParse with a handler that skips some elements: the first input byte
// chooses which element names (by their first byte) are skipped.

#include "EventLog.h"

#include <CorvaneXML/XMLStdStreams.h>

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzzsupport::EventLog parser;
    parser.skipMask = data[0];
    CorvaneXML::XCXMLMemoryReadStream stream(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        parser.FastParse(&stream);
    } catch (const std::exception&) {
    }
    // The same parser must be idle and usable again after any outcome.
    CorvaneXML::XCXMLMemoryReadStream again("<a/>", 4);
    parser.FastParse(&again);
    return 0;
}
