#ifndef CORVANEXML_FOUNDATION_OWNEDTEXT_H
#define CORVANEXML_FOUNDATION_OWNEDTEXT_H

#include <CorvaneTools/CorvaneTools.h>

#include <cstdlib>
#include <cstring>

namespace CorvaneXML {

// Every text the library keeps is its own malloc'ed copy, released with free.
// Raises (no message) for a null text or exhausted memory.
inline char* CopyText(const char* text) {
    Corvane::CvThrow::IfNULL(text);
    const std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    Corvane::CvThrow::IfNULL(copy);
    std::memcpy(copy, text, size);
    return copy;
}

// Null stays null: for the fields where null means absent.
inline char* CopyOptionalText(const char* text) {
    return text != nullptr ? CopyText(text) : nullptr;
}

// Copies first, releases after, so a failed copy keeps the old text and a
// field's own current text may be passed back in.
inline void ReplaceText(char*& field, const char* text) {
    char* copy = CopyText(text);
    std::free(field);
    field = copy;
}

inline void ReplaceOptionalText(char*& field, const char* text) {
    char* copy = CopyOptionalText(text);
    std::free(field);
    field = copy;
}

// Heap blocks of objects that may keep a text right behind themselves.
// Every block is at least one byte longer than the object, so the address
// just past an object lies inside its own block and can never be where a
// separately allocated text starts: a text pointer equal to it is the
// object's inline text, which is released with the object.
inline void* AllocateObjectBlock(std::size_t objectSize, std::size_t textSize) noexcept {
    return std::malloc(objectSize + (textSize != 0 ? textSize : 1));
}

}  // namespace CorvaneXML

#endif
