#ifndef CORVANETOOLS_CORVANETOOLS_H
#define CORVANETOOLS_CORVANETOOLS_H

// Raising errors, reporting messages and guarding objects: the small set of
// services that the XML library takes from its sibling tools library.

#include <CorvaneTools/Export.h>

#include <cstdint>
#include <exception>
#include <string>

namespace Corvane {

// The one exception type raised by every CvThrow helper. what() is the message
// exactly as given (formatted, for the helpers that take a format); a raise
// without a message names the helper that raised.
class CORVANETOOLS_API XCException : public std::exception {
public:
    explicit XCException(std::string message);
    const char* what() const noexcept override;

private:
    std::string message_;
};

// Raise helpers. Each returns normally when its check passes and throws
// XCException when it fails; callers continue straight after the call.
class CORVANETOOLS_API CvThrow {
public:
    static void SiFaux(bool condition, const char* message);
    static void SiFaux(bool condition);
    static void SiNULL(const void* pointer);
    static void SiNULL(const void* pointer, const char* message);
    static void IfNULL(const void* pointer);
    static void IfNULL(const void* pointer, const char* format, ...) __attribute__((format(printf, 2, 3)));
    static void IfFalse(bool condition);
    static void IfFalse(bool condition, const char* format, ...) __attribute__((format(printf, 2, 3)));
    [[noreturn]] static void Signale(const char* message);
};

// Message types understood by reporters.
class CORVANETOOLS_API XIReporter {
public:
    enum EMsgType { eMessage = 0, eWarning = 1 };
};

// Process-wide reporting. Every message and warning is formatted in full and
// handed to one sink; the default sink writes it as one line to standard error.
class CORVANETOOLS_API XCReporter {
public:
    using Sink = void (*)(XIReporter::EMsgType type, const char* text, void* context);

    // Installs the sink that receives every report from now on; a null sink
    // restores the default. Safe to call while other threads report.
    static void SetSink(Sink sink, void* context);

    static void Message(XIReporter::EMsgType type, const char* format, ...) __attribute__((format(printf, 2, 3)));
    static void Warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

// Guard embedded in objects that delete themselves: CheckMine() raises when the
// object holding the guard is no longer live (already destroyed, or never
// constructed). Copies carry the guard's state along.
class CORVANETOOLS_API XCMine {
public:
    // Inline: every node and attribute constructs one, and a call into this
    // library for a single store would cost more than the store.
    XCMine() noexcept : state_(kLive) {}
    XCMine(const XCMine&) noexcept = default;
    XCMine& operator=(const XCMine&) noexcept = default;
    virtual ~XCMine();

    void CheckMine() const;

private:
    static constexpr std::uint32_t kLive = 0x4D494E45u;  // "MINE"
    std::uint32_t state_;
};

}  // namespace Corvane

#endif
