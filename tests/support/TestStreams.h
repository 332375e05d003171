#ifndef CORVANE_TEST_STREAMS_H
#define CORVANE_TEST_STREAMS_H

// Streams, captures, a host's own implementations of the library's
// interfaces (a CDATA provider, a CDATA reader that attaches providers, a
// node) and small helpers, shared by the tests and the fuzz targets. Nothing
// here depends on GoogleTest.

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

// Tests name the library's types as their own.
using namespace CorvaneXML;

// Reads from a string. `chunk` caps each Read (0: no cap), which exercises the
// short-read-ends-input rule; every call's size is recorded.
class StringReadStream : public CorvaneXML::XIXMLReadStream {
public:
    explicit StringReadStream(std::string text, std::uint64_t chunk = 0) : text_(std::move(text)), chunk_(chunk) {}

    std::uint64_t Read(char* buffer, std::uint64_t size) override {
        calls.push_back(size);
        std::uint64_t n = std::min<std::uint64_t>(size, text_.size() - offset_);
        if (chunk_ != 0) n = std::min(n, chunk_);
        if (throwAt != 0 && offset_ + n > throwAt) throw std::runtime_error("read failure");
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

    std::vector<std::pair<int, std::string>> reports;

private:
    static void Receive(Corvane::XIReporter::EMsgType type, const char* text, void* context) {
        static_cast<ReportCapture*>(context)->reports.emplace_back(static_cast<int>(type), text);
    }
};

// Calls of operator new so far, in programs that link AllocationCounter.cpp.
std::size_t AllocationCount();

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

// The document read and written back, or "error: " and what the read raised.
inline std::string Outcome(CorvaneXML::CXMLTreeReader& reader, const std::string& text) {
    std::string written;
    const std::string raised = Raised([&] { written = Written(*ReadTree(reader, text)); });
    return raised.empty() ? written : "error: " + raised;
}

// Writes `body` through the stream it is handed and answers `result`. With
// `refuse`, its Destroy deletes it and then throws.
class Provider : public XIXMLData::IXMLCData {
public:
    explicit Provider(std::string body) : body(std::move(body)) {}
    bool Write(XIXMLWriteStream* to, int, const XIXMLNode*) override {
        return to->Write(body.data(), body.size()) == body.size() && result;
    }
    IXMLCData* Copy() override { return new Provider(*this); }
    void Destroy() override {
        if (!refuse) return IXMLCData::Destroy();
        delete this;
        throw std::runtime_error("provider refuses");
    }

    std::string body;
    bool result = true;
    bool refuse = false;
};

// Reads each CDATA section in pieces of three bytes, so that the body cannot
// depend on read sizes, and attaches it as a Provider (a refusing one with
// `refuse`).
class BodyReader : public IXMLCDataReader {
public:
    bool Read(XIXMLElement* element, XIXMLReadStream* stream) override {
        std::string body;
        char piece[3];
        for (std::uint64_t n; (n = stream->Read(piece, sizeof piece)) > 0;) body.append(piece, n);
        std::unique_ptr<Provider> provider(new Provider(body));
        provider->refuse = refuse;
        element->AddData(provider.get());
        provider.release();  // the data node owns it now
        return true;
    }

    bool refuse = false;
};

// A node the library can reach only through the interface. It refuses to be
// copied, and is written as nothing.
class Node : public XIXMLNode {
public:
    explicit Node(std::string label) : label(std::move(label)) {}
    void Destroy() override {
        if (parent != nullptr) parent->RemoveNode(this);
        delete this;
    }
    XIXMLNode* Copy(XIXMLElement*) const override { throw std::runtime_error("no copy"); }
    void WriteTo(XCXMLWriter*, int) const override {}
    XIXMLNode* GetNext() const override { return next; }
    void SetNext(XIXMLNode* node) override { next = node; }
    XIXMLElement* GetParent() const override { return parent; }
    void SetParent(XIXMLElement* element) override { parent = element; }
    unsigned int Index() const override { return parent != nullptr ? parent->IndexOf(this) : XIXMLNode::kNoIndex; }

    std::string label;
    XIXMLNode* next = nullptr;
    XIXMLElement* parent = nullptr;
};

}  // namespace testsupport

#endif
