#ifndef CORVANE_TESTS_PARSER_EVENTLOG_H
#define CORVANE_TESTS_PARSER_EVENTLOG_H

// A parser that writes each event as one line of a log, so a test compares
// a whole parse with one expected text.

#include <CorvaneXML/XMLParser.h>

#include "TestStreams.h"

#include <cstring>
#include <functional>
#include <map>
#include <set>

namespace parsertest {

enum class Mode { Parse, Fast };

class LogParser : public CorvaneXML::CXMLParser {
public:
    std::string log;
    std::set<std::string> skip;                   // OpenNode answers null
    std::set<std::string> stopAt;                 // PI targets answered false
    std::map<std::string, std::string> entities;  // EvalEntity answers
    std::function<void(const std::string&)> onEvent;
    std::uintptr_t opened = 0;
    // When set, CDATA bodies are read in pieces of this size, at most
    // `pieces` of them, and logged as data; otherwise the default handler runs.
    std::uint64_t chunk = 0;
    int pieces = -1;

    void Run(Mode mode, CorvaneXML::XIXMLReadStream* stream) {
        mode == Mode::Parse ? Parse(stream) : FastParse(stream);
    }

protected:
    void Line(const std::string& line) {
        log += (log.empty() ? "" : "\n") + line;
        if (onEvent) onEvent(line);
    }
    const void* OpenNode(const char* name) override {
        std::uintptr_t id = ++opened;
        Line("open " + std::string(name));
        return skip.count(name) != 0 ? nullptr : reinterpret_cast<const void*>(id);
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
        if (chunk == 0) return CXMLParser::CData(stream);
        std::string body, piece(chunk, '\0');
        for (int read = 0; read != pieces; ++read) {
            std::uint64_t n = stream->Read(&piece[0], chunk);
            body.append(piece, 0, n);
            if (n < chunk) break;
        }
        Line("data " + body);
    }
};

// The log of a parse, ending in "error: <what()>" when it raised. The stream
// throws instead of delivering the byte at `throwAt`, or any after it, when set.
inline std::string Log(LogParser& parser, const std::string& xml, Mode mode = Mode::Parse, std::uint64_t throwAt = 0) {
    testsupport::StringReadStream stream(xml);
    stream.throwAt = throwAt;
    try {
        parser.Run(mode, &stream);
    } catch (const std::exception& error) {
        parser.log += (parser.log.empty() ? "error: " : "\nerror: ") + std::string(error.what());
    }
    return parser.log;
}

inline std::string Log(const std::string& xml, Mode mode = Mode::Parse, std::set<std::string> skip = {}) {
    LogParser parser;
    parser.skip = std::move(skip);
    return Log(parser, xml, mode);
}

}  // namespace parsertest

#endif
