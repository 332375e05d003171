#ifndef CORVANE_FUZZ_EVENTLOG_H
#define CORVANE_FUZZ_EVENTLOG_H

// A parser that writes every event into one string, so that two parses can
// be compared byte for byte.

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <cstdint>
#include <exception>
#include <string>

namespace fuzzsupport {

class EventLog : public CorvaneXML::CXMLParser {
public:
    std::string log;
    // FastParse skips elements whose name's first byte shares a bit with this.
    unsigned skipMask = 0;
    // When set, CData reads the body in chunk sizes (1..16) taken in turn
    // from these bytes instead of gathering it the default way.
    std::string chunkPlan;

protected:
    const void* OpenNode(const char* name) override {
        Add("open", name);
        const unsigned first = static_cast<unsigned char>(name[0]);
        return (first & skipMask) != 0 ? nullptr : this;
    }
    void Attribute(const char* name, const char* value) override {
        Add("attribute", name);
        Add("=", value);
    }
    void Data(const char* text) override { Add("data", text); }
    void CloseNode(const void* handle) override { Add("close", handle == nullptr ? "skipped" : ""); }
    void Comment(const char* text) override { Add("comment", text); }
    bool ProcessingInstruction(const char* target, const char* instruction) override {
        Add("pi", target);
        Add("", instruction);
        return true;
    }
    void DocType(const char* name, const char* publicId, const char* systemId,
                 const char* subset) override {
        Add("doctype", name);
        Add("public", publicId != nullptr ? publicId : "(none)");
        Add("system", systemId != nullptr ? systemId : "(none)");
        Add("subset", subset);
    }
    void CData(CorvaneXML::XIXMLReadStream* stream) override {
        if (chunkPlan.empty()) {
            CXMLParser::CData(stream);
            return;
        }
        // Handed on as the default hands it on: cut at the first NUL byte.
        std::string body;
        char buffer[16];
        for (std::size_t i = 0;; ++i) {
            const std::uint64_t want = 1 + static_cast<unsigned char>(chunkPlan[i % chunkPlan.size()]) % 16;
            const std::uint64_t got = stream->Read(buffer, want);
            body.append(buffer, got);
            if (got < want) break;
        }
        Data(body.c_str());
    }

private:
    void Add(const char* what, const char* text) {
        log += what;
        log += ' ';
        log += text;
        log += '\n';
    }
};

// Parses `size` bytes and returns the log followed by how the parse ended.
inline std::string Outcome(EventLog& parser, const char* text, std::size_t size, bool fast) {
    CorvaneXML::XCXMLMemoryReadStream stream(text, size);
    try {
        fast ? parser.FastParse(&stream) : parser.Parse(&stream);
        return parser.log + "end\n";
    } catch (const std::exception& error) {
        return parser.log + "error " + error.what() + "\n";
    }
}

}  // namespace fuzzsupport

#endif
