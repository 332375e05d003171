#ifndef CORVANEXML_FOUNDATION_SHORTCOPY_H
#define CORVANEXML_FOUNDATION_SHORTCOPY_H

#include <cstddef>
#include <cstring>

namespace CorvaneXML {

// Copies `size` bytes. Names, values and indentation are mostly a few bytes:
// two overlapping copies of a fixed size stay inline, where a library call
// would cost more than the copy itself.
inline void CopyShort(char* to, const char* from, std::size_t size) {
    if (size >= 8 && size <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size < 4) {
        // Nothing, or one to three bytes: first, middle and last cover them.
        if (size == 0) return;
        to[0] = from[0];
        to[size / 2] = from[size / 2];
        to[size - 1] = from[size - 1];
    } else {
        std::memcpy(to, from, size);
    }
}

}  // namespace CorvaneXML

#endif
