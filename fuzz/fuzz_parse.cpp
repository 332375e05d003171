// Parse and FastParse on arbitrary bytes. With a handler that never returns a
// null handle, FastParse must deliver exactly the events of Parse and end the
// same way (the same error text, or none).

#include "EventLog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    testsupport::LogParser full;
    testsupport::LogParser fast;
    if (Log(full, text, testsupport::Mode::Parse) != Log(fast, text, testsupport::Mode::Fast)) std::abort();
    return 0;
}
