#include <CorvaneTools/CorvaneTools.h>

#include "Format.h"

#include <cstdio>
#include <mutex>

namespace Corvane {

namespace {

void DefaultSink(XIReporter::EMsgType, const char* text, void*) { std::fprintf(stderr, "%s\n", text); }

// The sink and its context change together, so they are read and written
// under one lock; the sink itself is called outside it so that a sink may
// report or install another sink without deadlocking.
struct SinkSlot {
    std::mutex lock;
    XCReporter::Sink sink = &DefaultSink;
    void* context = nullptr;
};

SinkSlot& Slot() {
    static SinkSlot slot;
    return slot;
}

void Deliver(XIReporter::EMsgType type, const char* format, va_list args) {
    // Formatting takes the heap. When that fails, the text is formatted into
    // a fixed buffer instead (cut short if it must be): the report that the
    // heap is exhausted is the one that must not be lost.
    char fallback[512];
    va_list again;
    va_copy(again, args);
    std::string text;
    const char* line;
    try {
        text = FormatV(format, args);
        line = text.c_str();
    } catch (...) {
        std::vsnprintf(fallback, sizeof fallback, format != nullptr ? format : "", again);
        line = fallback;
    }
    va_end(again);
    XCReporter::Sink sink;
    void* context;
    {
        SinkSlot& slot = Slot();
        std::lock_guard<std::mutex> guard(slot.lock);
        sink = slot.sink;
        context = slot.context;
    }
    sink(type, line, context);
}

}  // namespace

void XCReporter::SetSink(Sink sink, void* context) {
    SinkSlot& slot = Slot();
    std::lock_guard<std::mutex> guard(slot.lock);
    slot.sink = sink != nullptr ? sink : &DefaultSink;
    slot.context = sink != nullptr ? context : nullptr;
}

void XCReporter::Message(XIReporter::EMsgType type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Deliver(type, format, args);
    va_end(args);
}

void XCReporter::Warning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Deliver(XIReporter::eWarning, format, args);
    va_end(args);
}

}  // namespace Corvane
