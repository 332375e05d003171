// Parse and FastParse on arbitrary bytes. With a handler that never returns a
// null handle, FastParse must deliver exactly the events of Parse and end the
// same way (the same error text, or none).

#include "EventLog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    fuzzsupport::EventLog full;
    fuzzsupport::EventLog fast;
    if (Outcome(full, text, size, false) != Outcome(fast, text, size, true)) std::abort();
    return 0;
}
