// Parse and FastParse on arbitrary bytes. With a handler that never returns a
// null handle, FastParse must deliver exactly the events of Parse and end the
// same way (the same error text, or none).

#include "EventLog.h"

#include <CorvaneXML/XMLStdStreams.h>

#include <cstdlib>
#include <exception>
#include <string>

namespace {

std::string Run(fuzzsupport::EventLog& parser, const uint8_t* data, size_t size, bool fast) {
    CorvaneXML::XCXMLMemoryReadStream stream(reinterpret_cast<const char*>(data), size);
    try {
        if (fast) {
            parser.FastParse(&stream);
        } else {
            parser.Parse(&stream);
        }
        return parser.log + "end\n";
    } catch (const std::exception& error) {
        return parser.log + "error " + error.what() + "\n";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::EventLog full;
    fuzzsupport::EventLog fast;
    if (Run(full, data, size, false) != Run(fast, data, size, true)) std::abort();
    return 0;
}
