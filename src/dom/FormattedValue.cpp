#include "dom/FormattedValue.h"

#include <CorvaneTools/CorvaneTools.h>

#include <cstdio>
#include <cstring>

namespace CorvaneXML {

using Corvane::CvThrow;

bool FormatInto(FormatBuffer& buffer, const char* format, va_list args) {
    if (format == nullptr) return false;
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    return length >= 0 && static_cast<unsigned int>(length) < sizeof buffer;
}

namespace {

bool IsNonFiniteWord(const char* text) {
    return std::strcmp(text, "nan") == 0 || std::strcmp(text, "-inf") == 0 ||
           std::strcmp(text, "+inf") == 0 || std::strcmp(text, "inf") == 0;
}

}  // namespace

void ScanFormatted(const char* text, const char* format, void* out) {
    CvThrow::SiNULL(format);
    const char* source = IsNonFiniteWord(text) ? "1.0" : text;
    CvThrow::SiFaux(std::sscanf(source, format, out) == 1);
}

}  // namespace CorvaneXML
