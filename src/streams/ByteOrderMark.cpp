#include "streams/ByteOrderMark.h"

#include "foundation/Raise.h"

#include <cstring>

namespace CorvaneXML {

namespace {

// Marks are written as literals: their length is the literal's, without its
// terminating NUL (a mark's own zero bytes count).
template <std::size_t N>
constexpr std::size_t LengthOf(const char (&)[N]) {
    return N - 1;
}

template <std::size_t N>
bool StartsWith(const char* head, std::size_t size, const char (&mark)[N]) {
    return size >= LengthOf(mark) && std::memcmp(head, mark, LengthOf(mark)) == 0;
}

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

}  // namespace

std::size_t LeadingUtf8Mark(const char* head, std::size_t size) {
    // UTF-32 first: its little-endian mark begins with the UTF-16 one.
    if (StartsWith(head, size, "\xFF\xFE\0\0") || StartsWith(head, size, "\0\0\xFE\xFF")) {
        Raise("UTF-32 input is not supported: convert the document to UTF-8");
    }
    if (StartsWith(head, size, "\xFF\xFE") || StartsWith(head, size, "\xFE\xFF")) {
        Raise("UTF-16 input is not supported: convert the document to UTF-8");
    }
    return StartsWith(head, size, kUtf8Mark) ? LengthOf(kUtf8Mark) : 0;
}

}  // namespace CorvaneXML
