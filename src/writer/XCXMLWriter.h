#ifndef CORVANEXML_WRITER_XCXMLWRITER_H
#define CORVANEXML_WRITER_XCXMLWRITER_H

#include <CorvaneXML/XMLStdStreams.h>
#include <CorvaneXML/XMLStreams.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace CorvaneXML {

// Formats nodes straight onto the host's stream. There is no buffer: every
// fixed token, name and escape is one Write call, every plain character of
// text or of an attribute value is one call, and every call must accept
// exactly the bytes asked or the write raises "Can't write character".
//
// A stream that is exactly one of the library's ready-made write streams
// (not a class derived from one, which may watch its calls) is not called at
// all where the result is known: the writer does itself what that Write would
// do, appending to the string, or copying into the file stream's buffer while
// the bytes fit. Runs of plain characters then go in one piece. Whatever the
// shortcut cannot decide (a full buffer, a failed file) goes through Write,
// so the bytes, the buffering and the failures stay those of the calls.
//
// A writer lives on the stack of one Write entry point and allocates nothing.
class XCXMLWriter {
public:
    explicit XCXMLWriter(XIXMLWriteStream* stream) noexcept;
    XCXMLWriter(const XCXMLWriter&) = delete;
    XCXMLWriter& operator=(const XCXMLWriter&) = delete;

    // The host's stream, for data providers that write their own body. What
    // they write lands where it would without the shortcuts: the writer keeps
    // no state of the stream's between calls.
    XIXMLWriteStream* GetStream() const noexcept { return stream_; }

    void WriteChar(char c) { Put(&c, 1); }
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
    // One Write call's worth. Every byte passes here or through PutPlain: the
    // check stays inline, the raise does not.
    void Put(const char* data, std::uint64_t size) {
        if (string_ != nullptr) {
            string_->target_->append(data, static_cast<std::size_t>(size));
        } else if (file_ != nullptr && !file_->failed_ && size <= file_->buffer_.size() - file_->used_) {
            // What XCXMLFileWriteStream::Write does first; the rest is its own.
            std::memcpy(file_->buffer_.data() + file_->used_, data, static_cast<std::size_t>(size));
            file_->used_ += static_cast<std::size_t>(size);
        } else if (stream_->Write(data, size) != size) {
            Refused();
        }
    }
    // `size` plain characters, each worth a call of its own; none for 0.
    void PutPlain(const char* data, std::size_t size);
    void Refused();

    XIXMLWriteStream* stream_;
    XCXMLStringWriteStream* string_;  // stream_, when exactly this class
    XCXMLFileWriteStream* file_;      // stream_, when exactly this class
    bool skipNewLine_;
};

}  // namespace CorvaneXML

#endif
