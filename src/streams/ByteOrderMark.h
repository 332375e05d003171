#ifndef CORVANEXML_STREAMS_BYTEORDERMARK_H
#define CORVANEXML_STREAMS_BYTEORDERMARK_H

#include <cstddef>

namespace CorvaneXML {

// The longest mark looked for: a stream examines this many leading bytes.
constexpr std::size_t kByteOrderMarkWindow = 4;

// How many leading bytes of `head` (the first `size` bytes of an input, at
// most kByteOrderMarkWindow) are a UTF-8 byte-order mark to pass over: 3 or
// 0. A UTF-16 or UTF-32 mark raises with a message that says so, since the
// parser reads bytes as they are and would only complain about a missing '<'.
std::size_t LeadingUtf8Mark(const char* head, std::size_t size);

}  // namespace CorvaneXML

#endif
