#include "foundation/OwnedText.h"

#include "foundation/Raise.h"

#include <cstring>

namespace CorvaneXML {

char* CopyText(const char* text) {
    Require(text != nullptr, message::kNullText);
    const std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    Require(copy != nullptr, message::kNoMemoryForText);
    std::memcpy(copy, text, size);
    return copy;
}

}  // namespace CorvaneXML
