// CDATA bodies read in odd chunk sizes must give exactly the bytes that the
// default handler gathers. The first bytes of the input choose the chunk
// sizes; the rest is the document.

#include "EventLog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    testsupport::LogParser gathered;
    testsupport::LogParser chunked;
    for (std::size_t i = 0; i < 4; ++i) chunked.chunks.push_back(1 + data[i] % 16);
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    if (Log(gathered, text) != Log(chunked, text)) std::abort();
    return 0;
}
