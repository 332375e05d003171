#ifndef CORVANEXML_FOUNDATION_RAISE_H
#define CORVANEXML_FOUNDATION_RAISE_H

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {

// Every refusal of the library is a Corvane::XCException whose what() is the
// message, thrown by the tools library. The condition is tested here, inline,
// and only a failure calls out; the call is known not to return, so the path
// that passes keeps nothing alive for a return that never comes.
[[noreturn]] inline void Raise(const char* message) { Corvane::CvThrow::Signale(message); }

inline void Require(bool condition, const char* message) {
    if (__builtin_expect(!condition, 0)) Raise(message);
}

// Texts of the refusals that several parts of the library share.
namespace message {

inline constexpr char kNullText[] = "Text is null";
inline constexpr char kNullName[] = "Name is null";
inline constexpr char kNullValue[] = "Attribute value is null";
inline constexpr char kNullNode[] = "Node is null";
inline constexpr char kNullTarget[] = "Target element is null";
inline constexpr char kNullProvider[] = "Data provider is null";
inline constexpr char kNoMemoryForText[] = "Can't allocate a copy of the text.";
inline constexpr char kProviderHoldsData[] = "Data node holds a provider, not text";
inline constexpr char kNoDocument[] = "No document is being read: use ReadTree";

}  // namespace message
}  // namespace CorvaneXML

#endif
