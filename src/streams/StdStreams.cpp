#include <CorvaneXML/XMLStdStreams.h>

#include "foundation/Raise.h"

#include "streams/ByteOrderMark.h"

#include <algorithm>
#include <cstring>


namespace CorvaneXML {

namespace {

// Where the first byte a stream delivers stands, after `skipped` bytes of
// mark on the input's first line.
CXMLPosition AfterMark(std::size_t skipped) { return {skipped, 1, skipped + 1}; }

}  // namespace

XCXMLMemoryReadStream::XCXMLMemoryReadStream(const char* data, std::size_t size, EByteOrderMark marks)
    : next_(data), end_(data + size), marks_(marks), started_(false), skipped_(0) {
    Require(size == 0 || data != nullptr, "Memory block is null");
}

XCXMLMemoryReadStream::XCXMLMemoryReadStream(const std::string& text, EByteOrderMark marks)
    : XCXMLMemoryReadStream(text.data(), text.size(), marks) {}

std::uint64_t XCXMLMemoryReadStream::Read(char* buffer, std::uint64_t size) {
    if (!started_) {
        started_ = true;
        if (marks_ == EByteOrderMark::eSkip) {
            skipped_ = LeadingUtf8Mark(next_, std::min(static_cast<std::size_t>(end_ - next_), kByteOrderMarkWindow));
            next_ += skipped_;
        }
    }
    const std::uint64_t count = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(end_ - next_));
    if (count != 0) std::memcpy(buffer, next_, count);
    next_ += count;
    return count;
}

CXMLPosition XCXMLMemoryReadStream::GetOrigin() const { return AfterMark(skipped_); }

XCXMLFileReadStream::XCXMLFileReadStream(std::FILE* file, EByteOrderMark marks)
    : file_(file), marks_(marks), started_(false), skipped_(0), head_(), headNext_(0), headEnd_(0) {
    Require(file != nullptr, "File is null");
}

std::uint64_t XCXMLFileReadStream::Read(char* buffer, std::uint64_t size) {
    if (!started_) {
        started_ = true;
        if (marks_ == EByteOrderMark::eSkip) {
            headEnd_ = static_cast<std::size_t>(Fill(head_, sizeof head_));
            skipped_ = headNext_ = LeadingUtf8Mark(head_, headEnd_);
        }
    }
    const std::size_t ahead = std::min<std::uint64_t>(size, headEnd_ - headNext_);
    std::memcpy(buffer, head_ + headNext_, ahead);
    headNext_ += ahead;
    return ahead + Fill(buffer + ahead, size - ahead);
}

std::uint64_t XCXMLFileReadStream::Fill(char* buffer, std::uint64_t size) {
    // fread may return early on pipes and terminals; a short count would end
    // the document, so keep reading until the file really ends.
    std::uint64_t total = 0;
    while (total < size) {
        const std::size_t got = std::fread(buffer + total, 1, size - total, file_);
        total += got;
        if (got == 0) break;
    }
    Require(std::ferror(file_) == 0, "Error while reading the file");
    return total;
}

CXMLPosition XCXMLFileReadStream::GetOrigin() const { return AfterMark(skipped_); }

XCXMLStringWriteStream::XCXMLStringWriteStream(std::string& target)
    : target_(&target), room_(UINT64_MAX) {}

std::uint64_t XCXMLStringWriteStream::Write(const char* data, std::uint64_t size) {
    if (size > room_) return 0;
    room_ -= size;
    // A class derived from this one gets text one character per call.
    if (size == 1) {
        target_->push_back(*data);
        return 1;
    }
    target_->append(data, size);
    return size;
}

XCXMLFileWriteStream::XCXMLFileWriteStream(std::FILE* file, std::size_t bufferSize)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, 1)), used_(0), room_(UINT64_MAX), failed_(false) {
    Require(file != nullptr, "File is null");
}

XCXMLFileWriteStream::~XCXMLFileWriteStream() { Flush(); }

bool XCXMLFileWriteStream::Drain() {
    if (used_ != 0 && !failed_) failed_ = std::fwrite(buffer_.data(), 1, used_, file_) != used_;
    used_ = 0;
    return !failed_;
}

std::uint64_t XCXMLFileWriteStream::Write(const char* data, std::uint64_t size) {
    if (failed_) return size == 0 ? 1 : 0;
    if (size > room_) return 0;
    room_ -= size;
    if (size <= buffer_.size() - used_) {
        std::memcpy(buffer_.data() + used_, data, size);
        used_ += size;
        return size;
    }
    if (!Drain()) return 0;
    if (size < buffer_.size()) {
        std::memcpy(buffer_.data(), data, size);
        used_ = size;
        return size;
    }
    const std::size_t written = std::fwrite(data, 1, size, file_);
    failed_ = written != size;
    return written;
}

bool XCXMLFileWriteStream::Flush() {
    const bool drained = Drain();
    return std::fflush(file_) == 0 && drained;
}

}  // namespace CorvaneXML
