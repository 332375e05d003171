// FastParse with a handler that skips some elements: the first input byte
// chooses which element names (by their first byte) are skipped.

#include "EventLog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned mask = data[0];
    testsupport::LogParser parser;
    parser.skip = [mask](const std::string& name) { return (static_cast<unsigned char>(name[0]) & mask) != 0; };
    Log(parser, std::string(reinterpret_cast<const char*>(data + 1), size - 1), testsupport::Mode::Fast);
    // The same parser must be idle and usable again after any outcome.
    parser.log.clear();
    if (Log(parser, "<a/>", testsupport::Mode::Fast).find("error") != std::string::npos) std::abort();
    return 0;
}
