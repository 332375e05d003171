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
// all where the result is known. The writer keeps a window on the stream's
// own memory and copies into it: the free part of the file stream's buffer,
// or, for the string stream, room added at the end of the string. Whatever
// the window cannot take (a full buffer, a failed file) goes through Write,
// so the bytes, the buffering and the failures stay those of the calls.
//
// While the window is open the stream does not know what it holds; Settle()
// tells it, and must come before anyone else may look at or write to the
// stream: a data provider, a node or attribute of a host's class, and the
// caller once the writer is gone (the destructor settles, also when an
// exception passes).
//
// A stream's byte limit bounds the window too: it never reaches past the
// bytes the stream would still accept, and what goes past it is refused as
// the stream's own Write would refuse it.
//
// A writer lives on the stack of one Write entry point and allocates nothing
// of its own; only the string it writes into grows.
class XCXMLWriter {
public:
    explicit XCXMLWriter(XIXMLWriteStream* stream) noexcept;
    ~XCXMLWriter() { Settle(); }
    XCXMLWriter(const XCXMLWriter&) = delete;
    XCXMLWriter& operator=(const XCXMLWriter&) = delete;

    // The host's stream, settled, for data providers that write their own
    // body.
    XIXMLWriteStream* SettledStream() noexcept {
        Settle();
        return stream_;
    }
    // Hands the stream what the window holds and closes the window; the next
    // write opens it again.
    void Settle() noexcept;

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
    // One Write call's worth. Every byte passes here or through PutPlain; the
    // window's check stays inline, everything else does not.
    void Put(const char* data, std::uint64_t size) {
        if (next_ != nullptr && size <= static_cast<std::size_t>(end_ - next_)) {
            std::memcpy(next_, data, static_cast<std::size_t>(size));
            next_ += size;
        } else {
            PutOutside(data, size);
        }
    }
    // `size` plain characters, each worth a call of its own; none for 0.
    void PutPlain(const char* data, std::size_t size) {
        if (next_ != nullptr && size <= static_cast<std::size_t>(end_ - next_)) {
            std::memcpy(next_, data, size);
            next_ += size;
        } else {
            PutPlainOutside(data, size);
        }
    }
    // What does not fit the window: a wider window for a string, else a call.
    void PutOutside(const char* data, std::uint64_t size);
    void PutPlainOutside(const char* data, std::size_t size);
    // Opens the window on the file stream's buffer, unless the file failed.
    void OpenOnFile() noexcept;
    // Opens the window with room for at least `size` bytes at the string's
    // logical end.
    void OpenOnString(std::size_t size);
    // The bytes the string stream still accepts past the window's end.
    std::uint64_t StringRoom() const;
    void Refused();

    XIXMLWriteStream* stream_;
    XCXMLStringWriteStream* string_;  // stream_, when exactly this class
    XCXMLFileWriteStream* file_;      // stream_, when exactly this class
    // The window: where the next byte goes and where the room ends; both
    // null when it is closed, which it always is for a host's stream.
    char* next_;
    char* end_;
    // Where in the stream's memory the open window began: what lies between
    // there and next_ is not yet counted against the stream's limit.
    std::size_t base_;
    bool skipNewLine_;
};

}  // namespace CorvaneXML

#endif
