#ifndef CORVANEXML_PARSER_BUFFERACCESS_H
#define CORVANEXML_PARSER_BUFFERACCESS_H

#include <CorvaneXML/XMLBuffer.h>

#include <climits>
#include <cstddef>
#include <cstring>

namespace CorvaneXML {

// The parser's own ways of adding to a buffer, beyond AddChar and AddChars.
// TBuffer befriends this struct alone.
struct CBufferAccess {
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
        T* to = buffer.data + buffer.length;
        const std::size_t n = static_cast<unsigned>(count) * sizeof(T);
        // Names and values are mostly a few bytes: two overlapping copies of
        // a fixed size stay inline, where a library call would cost more
        // than the copy itself.
        if (n >= 8 && n <= 16) {
            Copy<8>(to, chars, 0);
            Copy<8>(to, chars, n - 8);
        } else if (n >= 4 && n < 8) {
            Copy<4>(to, chars, 0);
            Copy<4>(to, chars, n - 4);
        } else if (n < 4) {
            // One to three characters: first, middle and last cover them.
            to[0] = chars[0];
            to[count / 2] = chars[count / 2];
            to[count - 1] = chars[count - 1];
        } else {
            std::memcpy(to, chars, n);
        }
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

    template <std::size_t kBytes, class T>
    static void Copy(T* to, const T* from, std::size_t at) {
        std::memcpy(reinterpret_cast<char*>(to) + at, reinterpret_cast<const char*>(from) + at, kBytes);
    }
};

}  // namespace CorvaneXML

#endif
