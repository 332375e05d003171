#ifndef CORVANEXML_FOUNDATION_OWNEDTEXT_H
#define CORVANEXML_FOUNDATION_OWNEDTEXT_H


#include "foundation/Raise.h"

#include <cstdlib>
#include <cstring>

namespace CorvaneXML {

// Every text the library keeps is its own malloc'ed copy, released with free.
// Raises for a null text or exhausted memory.
inline char* CopyText(const char* text) {
    Require(text != nullptr, message::kNullText);
    const std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    Require(copy != nullptr, message::kNoMemoryForText);
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

}  // namespace CorvaneXML

#endif
