#include "dom/FormattedValue.h"

#include "foundation/Raise.h"

#include <cstdio>
#include <cstring>

namespace CorvaneXML {

const char* FormatInto(FormatBuffer& buffer, const char* format, va_list args) {
    if (format == nullptr) return "Format is null";
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length < 0) return "Can't format the value";
    if (static_cast<unsigned int>(length) >= sizeof buffer) return "Formatted value is longer than 2047 bytes";
    return nullptr;
}

namespace {

bool IsNonFiniteWord(const char* text) {
    return std::strcmp(text, "nan") == 0 || std::strcmp(text, "-inf") == 0 || std::strcmp(text, "+inf") == 0 ||
           std::strcmp(text, "inf") == 0;
}

}  // namespace

void ScanFormatted(const char* text, const char* format, void* out) {
    Require(format != nullptr, "Format is null");
    const char* source = IsNonFiniteWord(text) ? "1.0" : text;
    Require(std::sscanf(source, format, out) == 1, "Value doesn't match the format");
}

}  // namespace CorvaneXML
