#ifndef CORVANE_TEST_HOSTS_H
#define CORVANE_TEST_HOSTS_H

// A host's own implementations of the library's interfaces: a CDATA provider,
// a CDATA reader that attaches providers, and a node. Each notes what the
// library does with it. Nothing here depends on GoogleTest.

#include <CorvaneXML/CorvaneXML.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

using namespace CorvaneXML;

struct Counts {
    int copies = 0;
    int destroys = 0;
    int deletes = 0;
};

// Writes `body` through the stream it is handed and answers `result`; notes
// where it was written. Counts its copies, Destroy calls and deletions when
// given `counts`. With `refuse`, its Destroy deletes it and then throws.
class Provider : public XIXMLData::IXMLCData {
public:
    explicit Provider(std::string body, Counts* counts = nullptr) : body(std::move(body)), counts(counts) {}
    ~Provider() override {
        if (counts != nullptr) ++counts->deletes;
    }
    bool Write(XIXMLWriteStream* to, int at, const XIXMLNode* owner) override {
        stream = to;
        depth = at;
        node = owner;
        return to->Write(body.data(), body.size()) == body.size() && result;
    }
    IXMLCData* Copy() override {
        if (counts != nullptr) ++counts->copies;
        return new Provider(*this);
    }
    void Destroy() override {
        if (counts != nullptr) ++counts->destroys;
        if (!refuse) return IXMLCData::Destroy();
        delete this;
        throw std::runtime_error("provider refuses");
    }

    std::string body;
    Counts* counts;
    bool result = true;
    bool refuse = false;
    XIXMLWriteStream* stream = nullptr;
    int depth = -1;
    const XIXMLNode* node = nullptr;
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

using Notes = std::vector<std::string>;

// A node the library can reach only through the interface. It logs its
// copies, its destruction (noting when its parent still has attributes then)
// and the depth it is written at; it is written as an empty text, which keeps
// the next tag on the line. It refuses to be destroyed when `fail` is set,
// and to be copied when labelled "uncopyable".
class Node : public XIXMLNode {
public:
    Node(Notes* log, std::string label) : log(log), label(std::move(label)) {}
    void Destroy() override {
        if (fail) throw std::runtime_error("host node refuses: " + label);
        const bool early = parent != nullptr && parent->GetFirstAttribute() != nullptr;
        log->push_back(early ? label + " before the attributes" : label);
        if (parent != nullptr) parent->RemoveNode(this);
        delete this;
    }
    XIXMLNode* Copy(XIXMLElement* target) const override {
        if (label == "uncopyable") throw std::runtime_error("no copy");
        log->push_back("copy " + label);
        auto* copy = new Node(log, label + "'");
        target->AddNode(copy);
        return copy;
    }
    void WriteTo(XCXMLWriter* writer, int at) const override {
        log->push_back(label + " at " + std::to_string(at));
        static const XCXMLData empty(nullptr, "");
        empty.AsNode()->WriteTo(writer, at);
    }
    XIXMLNode* GetNext() const override { return next; }
    void SetNext(XIXMLNode* node) override { next = node; }
    XIXMLElement* GetParent() const override { return parent; }
    void SetParent(XIXMLElement* element) override { parent = element; }
    unsigned int Index() const override { return parent != nullptr ? parent->IndexOf(this) : 0xFFFFFFFFu; }

    Notes* log;
    std::string label;
    bool fail = false;
    XIXMLNode* next = nullptr;
    XIXMLElement* parent = nullptr;
};

}  // namespace testsupport

#endif
