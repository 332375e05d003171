#include "streams/ByteOrderMark.h"

#include "foundation/Raise.h"

#include <cstring>

namespace CorvaneXML {

namespace {

bool StartsWith(const char* head, std::size_t size, const char* mark, std::size_t length) {
    return size >= length && std::memcmp(head, mark, length) == 0;
}

}  // namespace

std::size_t LeadingUtf8Mark(const char* head, std::size_t size) {
    // UTF-32 first: its little-endian mark begins with the UTF-16 one.
    if (StartsWith(head, size, "\xFF\xFE\0\0", 4) || StartsWith(head, size, "\0\0\xFE\xFF", 4)) {
        Raise("UTF-32 input is not supported: convert the document to UTF-8");
    }
    if (StartsWith(head, size, "\xFF\xFE", 2) || StartsWith(head, size, "\xFE\xFF", 2)) {
        Raise("UTF-16 input is not supported: convert the document to UTF-8");
    }
    return StartsWith(head, size, "\xEF\xBB\xBF", 3) ? 3 : 0;
}

}  // namespace CorvaneXML
