// CDATA bodies read in odd chunk sizes must give exactly the bytes that the
// default handler gathers. The first bytes of the input choose the chunk
// sizes; the rest is the document.

#include "EventLog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    fuzzsupport::EventLog gathered;
    fuzzsupport::EventLog chunked;
    chunked.chunkPlan.assign(text, 4);
    if (Outcome(gathered, text + 4, size - 4, false) != Outcome(chunked, text + 4, size - 4, false)) {
        std::abort();
    }
    return 0;
}
