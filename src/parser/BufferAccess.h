#ifndef CORVANEXML_PARSER_BUFFERACCESS_H
#define CORVANEXML_PARSER_BUFFERACCESS_H

#include <CorvaneXML/XMLBuffer.h>

#include "foundation/ShortCopy.h"

#include <climits>
#include <cstddef>
#include <cstring>

namespace CorvaneXML {

// The parser's own ways of adding to a buffer, beyond AddChar and AddChars.
// TBuffer befriends this struct alone.
struct CBufferAccess {
    // The contents, as the buffer last handed them out.
    template <class T>
    static const T* Data(const TBuffer<T>& buffer) {
        return buffer.data;
    }

    // Appends `count` characters with exactly the outcome of as many AddChar
    // calls (the same doubling, so the same final capacity) in one copy.
    template <class T>
    static void AddEach(TBuffer<T>& buffer, const T* chars, int count) {
        if (count > buffer.capacity - buffer.length) GrowFor(buffer, count);
        if (count > 0) CopyIn(buffer, chars, count);
    }

    // Copies `count` characters (more than 0, with room for them) after the
    // contents.
    template <class T>
    static void CopyIn(TBuffer<T>& buffer, const T* chars, int count) {
        CopyShort(reinterpret_cast<char*>(buffer.data + buffer.length), reinterpret_cast<const char*>(chars),
                  static_cast<unsigned>(count) * sizeof(T));
        buffer.length += count;
    }

private:
    // The capacity that `count` single additions would have reached.
    template <class T>
    __attribute__((noinline)) static void GrowFor(TBuffer<T>& buffer, int count) {
        long long target = buffer.capacity;
        const long long needed = static_cast<long long>(buffer.length) + count;
        if (target <= 0) target = 0;
        while (target < needed && target > 0) target *= 2;
        buffer.Alloc(target < needed || target > INT_MAX ? -1 : static_cast<int>(target));
    }
};

}  // namespace CorvaneXML

#endif
