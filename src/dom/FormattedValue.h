#ifndef CORVANEXML_DOM_FORMATTEDVALUE_H
#define CORVANEXML_DOM_FORMATTEDVALUE_H

#include <cstdarg>

namespace CorvaneXML {

// printf-style values are formatted on the stack, never on the heap; the
// longest text that can be stored this way is one less than the buffer.
constexpr int kFormatBufferSize = 2048;
using FormatBuffer = char[kFormatBufferSize];

// Formats with the current locale. Null on success; otherwise what went
// wrong (a null format, a failed formatting, an output that does not fit
// with its terminating NUL), and the buffer is not to be used.
const char* FormatInto(FormatBuffer& buffer, const char* format, va_list args);

// sscanf of `text` into `out` with the current locale; raises
// unless exactly one conversion was assigned. The whole texts "nan", "inf",
// "+inf" and "-inf" are read as "1.0", so they never yield a NaN or an
// infinity.
void ScanFormatted(const char* text, const char* format, void* out);

}  // namespace CorvaneXML

#endif
