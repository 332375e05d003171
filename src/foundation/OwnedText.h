#ifndef CORVANEXML_FOUNDATION_OWNEDTEXT_H
#define CORVANEXML_FOUNDATION_OWNEDTEXT_H

#include <cstdlib>

namespace CorvaneXML {

// Every text the library keeps is its own malloc'ed copy, released with free.
// Raises for a null text or exhausted memory.
char* CopyText(const char* text);

// Null stays null: for the fields where null means absent.
inline char* CopyOptionalText(const char* text) { return text != nullptr ? CopyText(text) : nullptr; }

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

// The library's factories put the first text of an attribute or text node
// right behind the object, in its own block (see NodeMemory.h), where no
// other text can start. The object keeps a text found there as it is and
// copies any other; it frees only what it copied.
inline char* KeepText(const char* text, const char* inlineArea) {
    return text == inlineArea ? const_cast<char*>(text) : CopyText(text);
}

inline void FreeKeptText(char* text, const char* inlineArea) {
    if (text != inlineArea) std::free(text);
}

}  // namespace CorvaneXML

#endif
