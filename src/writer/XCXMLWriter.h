#ifndef CORVANEXML_WRITER_XCXMLWRITER_H
#define CORVANEXML_WRITER_XCXMLWRITER_H

#include <CorvaneXML/XMLStreams.h>

#include <cstddef>
#include <cstdint>

namespace CorvaneXML {

// Formats nodes straight onto the host's stream. There is no buffer: every
// fixed token, name and escape is one Write call, every plain character of
// text or of an attribute value is one call, and every call must accept
// exactly the bytes asked or the write raises "Can't write character".
// A writer lives on the stack of one Write entry point and allocates nothing.
class XCXMLWriter {
public:
    explicit XCXMLWriter(XIXMLWriteStream* stream) noexcept
        : stream_(stream), skipNewLine_(true) {}
    XCXMLWriter(const XCXMLWriter&) = delete;
    XCXMLWriter& operator=(const XCXMLWriter&) = delete;

    // The host's stream, for data providers that write their own body.
    XIXMLWriteStream* GetStream() const noexcept { return stream_; }

    void WriteChar(char c);
    // The bytes before the NUL, unchanged, in one call (size 0 for an empty
    // or null string).
    void WriteString(const char* s);
    // A fixed token given as a literal: one call of exactly its length.
    template <std::size_t N>
    void WriteToken(const char (&token)[N]) {
        Put(token, N - 1);
    }
    // Character data: & < > escaped, everything else one byte per call.
    void WriteText(const char* s);
    // An attribute value between quotes, with " & < > escaped. Only the
    // double quote is accepted.
    void WriteQuoted(char quote, const char* s);
    // A line feed and `depth` tabs, unless the previous text asked for the
    // line to continue: then nothing, once.
    void NewLine(int depth);
    // Owned text keeps the next tag on its line.
    void SkipNextNewLine() noexcept { skipNewLine_ = true; }

private:
    // Every byte passes here: the check stays inline, the raise does not.
    void Put(const char* data, std::uint64_t size) {
        if (stream_->Write(data, size) != size) Refused();
    }
    void Refused();

    XIXMLWriteStream* stream_;
    bool skipNewLine_;
};

}  // namespace CorvaneXML

#endif
