#include <CorvaneTools/CorvaneTools.h>

#include "Format.h"

#include <utility>

namespace Corvane {

XCException::XCException(std::string message) : message_(std::move(message)) {}

const char* XCException::what() const noexcept { return message_.c_str(); }

namespace {

[[noreturn]] void Raise(const char* message, const char* helper) {
    throw XCException(message != nullptr ? message : helper);
}

}  // namespace

void CvThrow::SiFaux(bool condition, const char* message) {
    if (!condition) Raise(message, "CvThrow::SiFaux");
}

void CvThrow::SiFaux(bool condition) {
    if (!condition) Raise(nullptr, "CvThrow::SiFaux");
}

void CvThrow::SiNULL(const void* pointer) {
    if (pointer == nullptr) Raise(nullptr, "CvThrow::SiNULL");
}

void CvThrow::SiNULL(const void* pointer, const char* message) {
    if (pointer == nullptr) Raise(message, "CvThrow::SiNULL");
}

void CvThrow::IfNULL(const void* pointer) {
    if (pointer == nullptr) Raise(nullptr, "CvThrow::IfNULL");
}

void CvThrow::IfNULL(const void* pointer, const char* format, ...) {
    if (pointer != nullptr) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    throw XCException(std::move(text));
}

void CvThrow::IfFalse(bool condition) {
    if (!condition) Raise(nullptr, "CvThrow::IfFalse");
}

void CvThrow::IfFalse(bool condition, const char* format, ...) {
    if (condition) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    throw XCException(std::move(text));
}

void CvThrow::Signale(const char* message) { Raise(message, "CvThrow::Signale"); }

}  // namespace Corvane
