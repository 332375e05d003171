// CDATA bodies read in odd chunk sizes must give exactly the bytes that the
// default handler gathers. The first bytes of the input choose the chunk
// sizes; the rest is the document.

#include "EventLog.h"

#include <CorvaneXML/XMLStdStreams.h>

#include <cstdlib>
#include <exception>
#include <string>

namespace {

std::string Run(fuzzsupport::EventLog& parser, const char* text, size_t size) {
    CorvaneXML::XCXMLMemoryReadStream stream(text, size);
    try {
        parser.Parse(&stream);
        return parser.log + "end\n";
    } catch (const std::exception& error) {
        return parser.log + "error " + error.what() + "\n";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    fuzzsupport::EventLog gathered;
    fuzzsupport::EventLog chunked;
    chunked.chunkPlan.assign(text, 4);
    if (Run(gathered, text + 4, size - 4) != Run(chunked, text + 4, size - 4)) std::abort();
    return 0;
}
