#ifndef CORVANE_TEST_EVENTLOG_H
#define CORVANE_TEST_EVENTLOG_H

// A parser that writes each event as one line of a log, so that a test
// compares a whole parse with one expected text, or two parses with each
// other. Nothing here depends on GoogleTest.

#include <CorvaneXML/XMLParser.h>

#include "TestStreams.h"

#include <cstring>
#include <functional>
#include <map>
#include <set>

namespace testsupport {

enum class Mode { Parse, Fast };

class LogParser : public CorvaneXML::CXMLParser {
public:
    std::string log;
    std::function<bool(const std::string&)> skip;  // OpenNode answers null
    std::set<std::string> stopAt;                  // PI targets answered false
    std::map<std::string, std::string> entities;   // EvalEntity answers
    std::function<void(const std::string&)> onEvent;
    // When set, CDATA bodies are read with calls of these sizes in turn, at
    // most `pieces` of them, and handed on as the default handler hands them
    // on; otherwise the default handler runs.
    std::vector<std::uint64_t> chunks;
    int pieces = -1;

    // Handles number the elements opened since the log was last empty.
    void Run(Mode mode, CorvaneXML::XIXMLReadStream* stream) {
        if (log.empty()) opened_ = 0;
        mode == Mode::Parse ? Parse(stream) : FastParse(stream);
    }

protected:
    void Line(const std::string& line) {
        log += (log.empty() ? "" : "\n") + line;
        if (onEvent) onEvent(line);
    }
    const void* OpenNode(const char* name) override {
        const std::uintptr_t id = ++opened_;
        Line("open " + std::string(name));
        return skip && skip(name) ? nullptr : reinterpret_cast<const void*>(id);
    }
    void Attribute(const char* name, const char* value) override { Line("attr " + std::string(name) + "=" + value); }
    void Data(const char* text) override { Line("data " + std::string(text)); }
    void CloseNode(const void* handle) override {
        Line("close " + (handle ? std::to_string(reinterpret_cast<std::uintptr_t>(handle)) : "null"));
    }
    void Comment(const char* text) override { Line("comment " + std::string(text)); }
    bool ProcessingInstruction(const char* target, const char* text) override {
        Line("pi " + std::string(target) + "|" + text);
        return stopAt.count(target) == 0;
    }
    void DocType(const char* name, const char* pub, const char* sys, const char* subset) override {
        Line("doctype " + std::string(name) + "|" + (pub ? pub : "(null)") + "|" + (sys ? sys : "(null)") + "|" +
             subset);
    }
    bool EvalEntity(char* buffer, int size) override {
        auto found = entities.find(buffer);
        if (found == entities.end()) return CXMLParser::EvalEntity(buffer, size);
        std::strcpy(buffer, found->second.c_str());
        return true;
    }
    void CData(CorvaneXML::XIXMLReadStream* stream) override {
        if (chunks.empty()) return CXMLParser::CData(stream);
        std::string body;
        char piece[4096];
        for (int read = 0; read != pieces; ++read) {
            const std::uint64_t want = chunks[read % chunks.size()];
            const std::uint64_t n = stream->Read(piece, want);
            body.append(piece, n);
            if (n < want) break;
        }
        Data(body.c_str());  // as the default does: up to the first NUL
    }

private:
    std::uintptr_t opened_ = 0;
};

// The log of a parse, ending in "error: <what()>" when it raised. The stream
// throws instead of delivering the byte at `throwAt`, or any after it, when set.
inline std::string Log(LogParser& parser, const std::string& xml, Mode mode = Mode::Parse, std::uint64_t throwAt = 0) {
    StringReadStream stream(xml);
    stream.throwAt = throwAt;
    try {
        parser.Run(mode, &stream);
    } catch (const std::exception& error) {
        parser.log += (parser.log.empty() ? "error: " : "\nerror: ") + std::string(error.what());
    }
    return parser.log;
}

// The log of a fresh parser that skips the elements named in `skip`.
inline std::string Log(const std::string& xml, Mode mode = Mode::Parse, std::set<std::string> skip = {}) {
    LogParser parser;
    parser.skip = [skip](const std::string& name) { return skip.count(name) != 0; };
    return Log(parser, xml, mode);
}

}  // namespace testsupport

#endif
