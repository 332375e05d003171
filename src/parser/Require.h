#ifndef CORVANEXML_PARSER_REQUIRE_H
#define CORVANEXML_PARSER_REQUIRE_H

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {
namespace parsecheck {

// Checks on the per-character path: the raise helper is called only when a
// check fails, so the common case is a compare and a branch not taken
// rather than a call into the tools library.
inline void Require(bool condition, const char* message) {
    if (__builtin_expect(!condition, 0)) Corvane::CvThrow::SiFaux(false, message);
}

}  // namespace parsecheck
}  // namespace CorvaneXML

#endif
