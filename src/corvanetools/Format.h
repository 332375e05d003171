#ifndef CORVANETOOLS_FORMAT_H
#define CORVANETOOLS_FORMAT_H

#include <cstdarg>
#include <cstdio>
#include <string>

namespace Corvane {

// printf-style formatting into a string of exactly the needed size. A null
// format yields an empty text rather than undefined behaviour.
inline std::string FormatV(const char* format, va_list args) {
    if (format == nullptr) return std::string();
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return std::string();
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(&text[0], text.size() + 1, format, args);
    return text;
}

}  // namespace Corvane

#endif
