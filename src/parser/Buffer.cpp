#include <CorvaneXML/XMLBuffer.h>

#include "parser/BufferAccess.h"

#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace CorvaneXML {

template <class T>
TBuffer<T>::TBuffer() : data(nullptr), length(0), capacity(0) {
    Alloc(kInitialCapacity);
}

template <class T>
TBuffer<T>::~TBuffer() {
    std::free(data);
}

template <class T>
void TBuffer<T>::AddChars(const T* chars, int count) {
    // Computed wide: a sum past INT_MAX must end in an allocation failure,
    // not wrap into a small size.
    long long needed = static_cast<long long>(length) + count;
    if (needed > capacity) {
        long long grown = static_cast<long long>(capacity) + length + count;
        Alloc(grown > INT_MAX ? -1 : static_cast<int>(grown));
    }
    if (count > 0) CBufferAccess::CopyIn(*this, chars, count);
}

template <class T>
bool TBuffer<T>::operator==(const T* text) const {
    for (int i = 0; i < length; ++i) {
        if (text[i] == T() || text[i] != data[i]) return false;
    }
    return text[length] == T();
}

template <class T>
void TBuffer<T>::Grow() {
    Alloc(capacity > INT_MAX / 2 ? -1 : capacity * 2);
}

template <class T>
void TBuffer<T>::Alloc(int size) {
    T* block = nullptr;
    if (size > 0) {
        block = static_cast<T*>(std::realloc(data, static_cast<std::size_t>(size) * sizeof(T)));
    }
    if (block == nullptr) {
        std::free(data);
        data = nullptr;
        length = 0;
        capacity = 0;
        throw std::runtime_error("Can't allocate buffer.");
    }
    data = block;
    capacity = size;
}

template class TBuffer<char>;

}  // namespace CorvaneXML
