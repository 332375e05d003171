#ifndef CORVANE_TEST_STREAMS_H
#define CORVANE_TEST_STREAMS_H

// Streams, captures and small helpers shared by the tests and the fuzz
// targets. Nothing here depends on GoogleTest.

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/CorvaneXML.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Reads from a string. `chunk` caps each Read (0: no cap), which exercises the
// short-read-ends-input rule; every call's size is recorded.
class StringReadStream : public CorvaneXML::XIXMLReadStream {
public:
    explicit StringReadStream(std::string text, std::uint64_t chunk = 0)
        : text_(std::move(text)), chunk_(chunk) {}

    std::uint64_t Read(char* buffer, std::uint64_t size) override {
        calls.push_back(size);
        std::uint64_t n = std::min<std::uint64_t>(size, text_.size() - offset_);
        if (chunk_ != 0) n = std::min(n, chunk_);
        if (throwAt != 0 && (offset_ >= throwAt || offset_ + n > throwAt)) {
            throw std::runtime_error("read failure");
        }
        std::copy_n(text_.data() + offset_, n, buffer);
        offset_ += n;
        return n;
    }

    std::vector<std::uint64_t> calls;
    // When set, a Read that would deliver the byte at this offset, or any
    // byte after it, throws instead.
    std::uint64_t throwAt = 0;

private:
    std::string text_;
    std::uint64_t chunk_;
    std::uint64_t offset_ = 0;
};

// Appends everything to a string and records each call's size. Answers
// short (one byte less, or 1 for a size-0 call) from call number `failAt`
// (1-based) on, when set.
class StringWriteStream : public CorvaneXML::XIXMLWriteStream {
public:
    std::uint64_t Write(const char* data, std::uint64_t size) override {
        calls.push_back(size);
        if (failAt != 0 && calls.size() >= failAt) return size == 0 ? 1 : size - 1;
        text.append(data, size);
        return size;
    }

    std::string text;
    std::vector<std::uint64_t> calls;
    std::size_t failAt = 0;
};

// Installs a reporter sink for its lifetime and keeps every report.
class ReportCapture {
public:
    ReportCapture() { Corvane::XCReporter::SetSink(&Receive, this); }
    ~ReportCapture() { Corvane::XCReporter::SetSink(nullptr, nullptr); }
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    std::vector<std::pair<int, std::string>> reports;

private:
    static void Receive(Corvane::XIReporter::EMsgType type, const char* text, void* context) {
        static_cast<ReportCapture*>(context)->reports.emplace_back(static_cast<int>(type), text);
    }
};

// What `action` raised: "" when it returned normally.
template <class Action>
std::string Raised(Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

// The document as a host's stream receives it.
inline std::string Written(const CorvaneXML::XCXMLTree& tree) {
    StringWriteStream out;
    tree.Write(&out);
    return out.text;
}

inline std::unique_ptr<CorvaneXML::XCXMLTree> ReadTree(CorvaneXML::CXMLTreeReader& reader, const std::string& text) {
    StringReadStream stream(text);
    return std::unique_ptr<CorvaneXML::XCXMLTree>(reader.ReadTree(&stream));
}

inline std::string ReadAndWrite(CorvaneXML::CXMLTreeReader& reader, const std::string& text) {
    return Written(*ReadTree(reader, text));
}

// What ReadAndWrite gives, or "error: " and what it raised.
inline std::string Outcome(CorvaneXML::CXMLTreeReader& reader, const std::string& text) {
    std::string written;
    const std::string raised = Raised([&] { written = ReadAndWrite(reader, text); });
    return raised.empty() ? written : "error: " + raised;
}

}  // namespace testsupport

#endif
