#include <CorvaneXML/XMLStdStreams.h>

#include "foundation/ExactType.h"
#include "foundation/Raise.h"
#include "streams/ByteOrderMark.h"

#include <algorithm>
#include <cstring>

namespace CorvaneXML {

namespace {

// Where the first byte a stream delivers stands, after `skipped` bytes of
// mark on the input's first line.
CXMLPosition AfterMark(std::size_t skipped) { return {skipped, 1, skipped + 1}; }

// Reads `size` bytes unless the file ends first. fread may return early on
// pipes and terminals; a short count would end the document, so keep
// reading until the file really ends. A read error raises.
std::uint64_t Fill(std::FILE* file, char* buffer, std::uint64_t size) {
    std::uint64_t total = 0;
    while (total < size) {
        const std::size_t got = std::fread(buffer + total, 1, size - total, file);
        total += got;
        if (got == 0) break;
    }
    Require(std::ferror(file) == 0, "Error while reading the file");
    return total;
}

// Sends the first `used` bytes of the buffer to the file, unless it has
// failed already; false once it has failed.
bool Drain(std::FILE* file, const char* buffer, std::size_t& used, bool& failed) {
    if (used != 0 && !failed) failed = std::fwrite(buffer, 1, used, file) != used;
    used = 0;
    return !failed;
}

// The least room added to a string at a time. Small enough that the bytes it
// first sets to zero are still in the cache when the writer overwrites them,
// large enough that adding it is rare.
constexpr std::size_t kStringRoom = 4096;

}  // namespace

XCXMLMemoryReadStream::XCXMLMemoryReadStream(const char* data, std::size_t size, EByteOrderMark marks)
    : next_(data), end_(data + size), marks_(marks), started_(false), skipped_(0) {
    Require(size == 0 || data != nullptr, "Memory block is null");
}

namespace {

// A parse takes the text a kilobyte at a time and works on each block before
// asking for the next; text larger than the caches would then come from
// memory a block at a time, each copy waiting for it (a sixth of a parse of
// ten megabytes). Asking now for the kilobyte eight ahead lets it arrive
// while the parser works. (A loop of a varying count holding nothing but
// prefetches is dropped by the compiler as having no effect: the window is
// fixed.)
void PrefetchAhead(const char* next, const char* end) {
    constexpr std::ptrdiff_t kWindow = 1024;
    constexpr std::ptrdiff_t kAhead = 8 * kWindow;
    constexpr std::ptrdiff_t kLine = 64;
    if (end - next <= kAhead) return;
    for (std::ptrdiff_t at = kAhead - kWindow; at < kAhead; at += kLine) __builtin_prefetch(next + at);
}

}  // namespace

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
    PrefetchAhead(next_, end_);
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
            headEnd_ = static_cast<std::size_t>(Fill(file_, head_, sizeof head_));
            skipped_ = headNext_ = LeadingUtf8Mark(head_, headEnd_);
        }
    }
    const std::size_t ahead = std::min<std::uint64_t>(size, headEnd_ - headNext_);
    std::memcpy(buffer, head_ + headNext_, ahead);
    headNext_ += ahead;
    return ahead + Fill(file_, buffer + ahead, size - ahead);
}

CXMLPosition XCXMLFileReadStream::GetOrigin() const { return AfterMark(skipped_); }

XCXMLStringWriteStream::XCXMLStringWriteStream(std::string& target)
    : target_(&target), room_(UINT64_MAX), windowStart_(0) {}

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

CXMLWindow XCXMLStringWriteStream::OpenWindow(std::uint64_t wanted) {
    if (!IsExactly<XCXMLStringWriteStream>(*this)) return {};
    windowStart_ = target_->size();
    // A string that must reallocate grows by its own factor, so the copies
    // stay linear in the output.
    const std::uint64_t room = std::min<std::uint64_t>(std::max<std::uint64_t>(wanted, kStringRoom), room_);
    target_->resize(windowStart_ + static_cast<std::size_t>(room));
    char* const begin = &(*target_)[0] + windowStart_;
    return {begin, begin + room};
}

void XCXMLStringWriteStream::CloseWindow(std::uint64_t used) noexcept {
    room_ -= used;
    // Only ever shortens the string, which cannot fail.
    target_->resize(windowStart_ + static_cast<std::size_t>(used));
}

XCXMLFileWriteStream::XCXMLFileWriteStream(std::FILE* file, std::size_t bufferSize)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, 1)), used_(0), room_(UINT64_MAX), failed_(false) {
    Require(file != nullptr, "File is null");
}

XCXMLFileWriteStream::~XCXMLFileWriteStream() { Flush(); }

std::uint64_t XCXMLFileWriteStream::Write(const char* data, std::uint64_t size) {
    if (failed_) return size == 0 ? 1 : 0;
    if (size > room_) return 0;
    room_ -= size;
    if (size <= buffer_.size() - used_) {
        std::memcpy(buffer_.data() + used_, data, size);
        used_ += size;
        return size;
    }
    if (!Drain(file_, buffer_.data(), used_, failed_)) return 0;
    if (size < buffer_.size()) {
        std::memcpy(buffer_.data(), data, size);
        used_ = size;
        return size;
    }
    const std::size_t written = std::fwrite(data, 1, size, file_);
    failed_ = written != size;
    return written;
}

CXMLWindow XCXMLFileWriteStream::OpenWindow(std::uint64_t) {
    if (failed_ || !IsExactly<XCXMLFileWriteStream>(*this)) return {};
    char* const begin = buffer_.data() + used_;
    return {begin, begin + std::min<std::uint64_t>(buffer_.size() - used_, room_)};
}

void XCXMLFileWriteStream::CloseWindow(std::uint64_t used) noexcept {
    used_ += static_cast<std::size_t>(used);
    room_ -= used;
}

bool XCXMLFileWriteStream::Flush() {
    const bool drained = Drain(file_, buffer_.data(), used_, failed_);
    return std::fflush(file_) == 0 && drained;
}

}  // namespace CorvaneXML
