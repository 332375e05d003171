#ifndef CORVANEXML_WRITER_XCXMLWRITER_H
#define CORVANEXML_WRITER_XCXMLWRITER_H

#include <CorvaneXML/XMLStreams.h>

#include "foundation/ShortCopy.h"
#include "foundation/TextRun.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace CorvaneXML {

// Formats nodes onto the host's stream. For the stream itself there is no
// buffer: every fixed token, name and escape is one Write call, every plain
// character of text or of an attribute value is one call, and every call
// must accept exactly the bytes asked or the write raises "Can't write
// character".
//
// A stream that offers a window on its memory (XIXMLWriteWindow) is not
// called where the window can take the bytes: the writer copies them there
// instead, runs of plain characters in one piece. Whatever a window cannot
// take goes through Write, so the bytes, the buffering, the limits and the
// failures stay those of the calls.
//
// While a window is open the stream does not know what it holds; Settle()
// closes it, and must come before anyone else may look at or write to the
// stream: a data provider writing its section, and the caller once the
// writer is gone (the destructor settles, also when an exception passes).
//
// A writer lives on the stack of one Write entry point and allocates nothing
// of its own.
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
    // Closes the window with what it holds; the next write opens another.
    void Settle() noexcept;

    void WriteChar(char c) { Put(&c, 1); }
    // The bytes before the NUL, unchanged, in one call (size 0 for an empty
    // or null string).
    void WriteString(const char* s);
    // `before`, the bytes of `name` before its NUL (none for a null name)
    // and `after`, each a call of its own as WriteToken and WriteString
    // would make them (none for an empty `after`), and one copy while the
    // window has room for them all.
    template <std::size_t N, std::size_t M>
    void WriteNamed(const char (&before)[N], const char* name, const char (&after)[M]) {
        if (name == nullptr) name = "";
        const std::size_t size = TextLength(name);
        if (N - 1 + size + M - 1 <= static_cast<std::size_t>(end_ - next_)) {
            std::memcpy(next_, before, N - 1);
            CopyShort(next_ + N - 1, name, size);
            std::memcpy(next_ + N - 1 + size, after, M - 1);
            next_ += N - 1 + size + M - 1;
            return;
        }
        Put(before, N - 1);
        Put(name, size);
        if (M > 1) Put(after, M - 1);
    }
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
    void NewLine(int depth) {
        // The whole line start is copied where the window has room for it:
        // that costs less than measuring the piece, and the window's bytes
        // past what is kept are the writer's to overwrite.
        if (!skipNewLine_ && depth >= 0 && static_cast<std::size_t>(depth) <= kLineStartTabs &&
            sizeof kLineStart <= static_cast<std::size_t>(end_ - next_)) {
            std::memcpy(next_, kLineStart, sizeof kLineStart);
            next_ += 1 + depth;
        } else {
            NewLineOutside(depth);
        }
    }
    // Owned text keeps the next tag on its line.
    void SkipNextNewLine() noexcept { skipNewLine_ = true; }

private:
    // One Write call's worth. Every byte passes here or through PutPlain; the
    // window's check stays inline, everything else does not.
    void Put(const char* data, std::uint64_t size) {
        if (next_ != nullptr && size <= static_cast<std::size_t>(end_ - next_)) {
            CopyShort(next_, data, static_cast<std::size_t>(size));
            next_ += size;
        } else {
            PutOutside(data, size);
        }
    }
    // `size` plain characters, each worth a call of its own; none for 0.
    void PutPlain(const char* data, std::size_t size) {
        if (next_ != nullptr && size <= static_cast<std::size_t>(end_ - next_)) {
            CopyShort(next_, data, size);
            next_ += size;
        } else {
            PutPlainOutside(data, size);
        }
    }
    // A line feed and then the tabs of most depths, so that the usual line
    // start is one piece.
    static constexpr char kLineStart[] = "\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    static constexpr std::size_t kLineStartTabs = sizeof kLineStart - 2;

    void NewLineOutside(int depth);
    // What does not fit the window: a new window, else a call.
    void PutOutside(const char* data, std::uint64_t size);
    void PutPlainOutside(const char* data, std::size_t size);
    // Settles and asks the stream for a window of `size` bytes; true when it
    // gave at least that much.
    bool Reopen(std::uint64_t size);
    [[noreturn]] void Refused();

    XIXMLWriteStream* stream_;
    XIXMLWriteWindow* window_;  // the stream's, when it offers one
    // The open window: where it began, where the next byte goes and where
    // the room ends; all null while it is closed, which it always is for a
    // stream without one.
    char* begin_;
    char* next_;
    char* end_;
    bool skipNewLine_;
};

}  // namespace CorvaneXML

#endif
