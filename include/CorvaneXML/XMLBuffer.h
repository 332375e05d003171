#ifndef CORVANEXML_XMLBUFFER_H
#define CORVANEXML_XMLBUFFER_H

#include <CorvaneXML/Export.h>

namespace CorvaneXML {

// Growable run of characters in which the parser collects names, values and
// text before handing them to a handler. Not a string: the contents are not
// kept NUL-terminated, a NUL is written only by the conversion to a pointer.
// Growth is deliberately simple and predictable: single characters (and the
// NUL) double a full block; bulk additions that do not fit grow it to the old
// capacity plus the length plus the count. A buffer starts with 256 bytes and
// never shrinks, so a parser that resets and reuses its buffers stops
// allocating once they have reached the longest token.
//
// A failed allocation leaves the buffer empty with no block (length and
// capacity 0) and throws std::runtime_error("Can't allocate buffer.");
// Reset gives it a fresh 256-byte block.
template <class T>
class CORVANEXML_API TBuffer {
public:
    TBuffer();
    virtual ~TBuffer();
    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    void AddChar(T c) {
        if (length == capacity) Grow();
        data[length++] = c;
    }

    void AddChars(const T* chars, int count);

    // Empties the buffer and keeps its block (or takes a new one after a
    // failed allocation).
    void Reset() {
        length = 0;
        if (data == nullptr) Alloc(kInitialCapacity);
    }

    // Writes a NUL after the contents (doubling a full block first). The
    // pointer stays valid until the next operation that may grow the buffer.
    operator const T*() {
        if (length == capacity) Grow();
        data[length] = T();
        return data;
    }

    // True when the contents are exactly `text` up to its NUL.
    bool operator==(const T* text) const;

    int GetLength() const { return length; }
    int GetCapacity() const { return capacity; }

private:
    friend struct CBufferAccess;  // the parser's own ways of adding (src/parser)

    enum : int { kInitialCapacity = 256 };

    void Grow();
    void Alloc(int size);

    T* data;
    int length;
    int capacity;
};

extern template class CORVANEXML_API TBuffer<char>;

}  // namespace CorvaneXML

#endif
