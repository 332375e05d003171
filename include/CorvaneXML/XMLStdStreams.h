#ifndef CORVANEXML_XMLSTDSTREAMS_H
#define CORVANEXML_XMLSTDSTREAMS_H

// Ready-made streams over memory, strings and C files the host has opened.
// The library itself never opens or closes a file.

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLStreams.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace CorvaneXML {

// What a ready-made read stream does with a byte-order mark at the start of
// its input.
enum class EByteOrderMark {
    // Pass over a UTF-8 mark (EF BB BF). Refuse a UTF-16 or UTF-32 mark on
    // the first Read with "UTF-16 input is not supported: convert the
    // document to UTF-8" (or the same for UTF-32). Offsets, lines and
    // columns that the parser reports still count from the first byte of
    // the input, the mark included.
    eSkip,
    // Deliver every byte as it is; the parser then refuses any mark with
    // "XML file must begin with <".
    eKeep,
};

// Reads a block of memory that the caller keeps alive (and unchanged) for as
// long as the stream is used. Nothing is copied.
class CORVANEXML_API XCXMLMemoryReadStream : public XIXMLReadStream, public XIXMLReadOrigin {
public:
    XCXMLMemoryReadStream(const char* data, std::size_t size, EByteOrderMark marks = EByteOrderMark::eSkip);
    explicit XCXMLMemoryReadStream(const std::string& text, EByteOrderMark marks = EByteOrderMark::eSkip);
    // A temporary string would be gone before the first Read.
    explicit XCXMLMemoryReadStream(std::string&&, EByteOrderMark = EByteOrderMark::eSkip) = delete;

    std::uint64_t Read(char* buffer, std::uint64_t size) override;
    // Just after the mark that the first Read passed over, if any.
    CXMLPosition GetOrigin() const override;

private:
    const char* next_;
    const char* end_;
    EByteOrderMark marks_;
    bool started_;
    std::size_t skipped_;
};

// Reads a C file the host opened for reading. Each Read fills the buffer
// completely unless the file ends, so a pipe or terminal works too. A read
// error raises "Error while reading the file" instead of ending the input
// early; the file is neither closed nor rewound. The first Read reads up to
// four bytes ahead, to look for a byte-order mark.
class CORVANEXML_API XCXMLFileReadStream : public XIXMLReadStream, public XIXMLReadOrigin {
public:
    explicit XCXMLFileReadStream(std::FILE* file, EByteOrderMark marks = EByteOrderMark::eSkip);

    std::uint64_t Read(char* buffer, std::uint64_t size) override;
    // Just after the mark that the first Read passed over, if any.
    CXMLPosition GetOrigin() const override;

private:
    std::FILE* file_;
    EByteOrderMark marks_;
    bool started_;
    std::size_t skipped_;
    // The bytes read ahead, from headNext_ on still to be delivered.
    char head_[4];
    std::size_t headNext_;
    std::size_t headEnd_;
};

// Appends everything written to a string the caller keeps alive. The XML
// writer copies into the string itself, through the window, rather than
// calling Write for every character; a class derived from this one gets no
// window, so that a Write of its own sees every call.
class CORVANEXML_API XCXMLStringWriteStream : public XIXMLWriteStream, public XIXMLWriteWindow {
public:
    explicit XCXMLStringWriteStream(std::string& target);

    std::uint64_t Write(const char* data, std::uint64_t size) override;
    // Room at the end of the string, added (filled with zero bytes) here and
    // cut back to what was used on closing.
    CXMLWindow OpenWindow(std::uint64_t wanted) override;
    void CloseWindow(std::uint64_t used) noexcept override;

    // Accepts at most `bytes` more bytes from now on (see SetLimit below).
    void SetLimit(std::uint64_t bytes) { room_ = bytes; }
    // The bytes this stream still accepts; no limit is UINT64_MAX.
    std::uint64_t GetRoom() const { return room_; }

private:
    std::string* target_;
    std::uint64_t room_;
    std::size_t windowStart_;
};

// Buffered writing to a C file the host opened for writing. Bytes reach the
// file when the buffer fills, on Flush() and on destruction. When the file
// refuses bytes (a failed fwrite), that Write and every later one answer a
// wrong count, which makes the XML writer raise "Can't write character";
// Flush() then returns false. The file is never closed by the stream. The
// window is the free part of the buffer (none once the file has failed, and
// none for a derived class, as for the string stream); the result is the
// same as the calls'.
//
// Both write streams take an optional limit. The written form of a document
// can grow faster than the document (every level of nesting indents every
// line below it, so n nested elements write about n * n / 2 tabs); a host
// that writes documents it did not make itself should bound its output.
// A Write that would pass the limit writes nothing and answers 0, so the XML
// writer raises "Can't write character" and the stream holds exactly the
// bytes of the calls before.
class CORVANEXML_API XCXMLFileWriteStream : public XIXMLWriteStream, public XIXMLWriteWindow {
public:
    static constexpr std::size_t kDefaultBufferSize = 64 * 1024;

    explicit XCXMLFileWriteStream(std::FILE* file, std::size_t bufferSize = kDefaultBufferSize);
    XCXMLFileWriteStream(const XCXMLFileWriteStream&) = delete;
    XCXMLFileWriteStream& operator=(const XCXMLFileWriteStream&) = delete;
    // Flushes what is buffered; a failure cannot be reported from here, so
    // call Flush() first when it matters.
    ~XCXMLFileWriteStream() override;

    std::uint64_t Write(const char* data, std::uint64_t size) override;
    CXMLWindow OpenWindow(std::uint64_t wanted) override;
    void CloseWindow(std::uint64_t used) noexcept override;
    // Sends the buffered bytes to the file and flushes it; false when any
    // byte written through this stream could not be delivered.
    bool Flush();

    // Accepts at most `bytes` more bytes from now on.
    void SetLimit(std::uint64_t bytes) { room_ = bytes; }
    // The bytes this stream still accepts; no limit is UINT64_MAX.
    std::uint64_t GetRoom() const { return room_; }

private:
    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t used_;
    std::uint64_t room_;
    bool failed_;
};

}  // namespace CorvaneXML

#endif
