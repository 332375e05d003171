#ifndef CORVANE_TESTS_PARSER_EVENTLOG_H
#define CORVANE_TESTS_PARSER_EVENTLOG_H

// A parser that writes each event as one line of a log, so a test compares
// a whole parse with one expected text.

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/XMLParser.h>

#include "TestStreams.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>

namespace parsertest {

// Bytes outside printable ASCII as \xHH.
inline std::string Escape(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", *p);
        out += (*p < 0x20 || *p > 0x7E) ? std::string(hex) : std::string(1, static_cast<char>(*p));
    }
    return out;
}

// The what() of a raise without a message.
inline std::string NoMessage() {
    try {
        Corvane::CvThrow::SiFaux(false);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

enum class Mode { Parse, Fast };

class LogParser : public CorvaneXML::CXMLParser {
public:
    std::string log;
    std::set<std::string> skip;                   // OpenNode answers null
    std::set<std::string> stopAt;                 // PI targets answered false
    std::map<std::string, std::string> entities;  // EvalEntity answers
    std::function<void(const std::string&)> onEvent;
    std::uintptr_t opened = 0;

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
        Line("open " + Escape(name));
        return skip.count(name) != 0 ? nullptr : reinterpret_cast<const void*>(id);
    }
    void Attribute(const char* name, const char* value) override {
        Line("attr " + Escape(name) + "=" + Escape(value));
    }
    void Data(const char* text) override { Line("data " + Escape(text)); }
    void CloseNode(const void* handle) override {
        Line("close " + (handle ? std::to_string(reinterpret_cast<std::uintptr_t>(handle)) : "null"));
    }
    void Comment(const char* text) override { Line("comment " + Escape(text)); }
    bool ProcessingInstruction(const char* target, const char* text) override {
        Line("pi " + Escape(target) + "|" + Escape(text));
        return stopAt.count(target) == 0;
    }
    void DocType(const char* name, const char* pub, const char* sys, const char* subset) override {
        Line("doctype " + Escape(name) + "|" + (pub ? Escape(pub) : "(null)") + "|" +
             (sys ? Escape(sys) : "(null)") + "|" + Escape(subset));
    }
    bool EvalEntity(char* buffer, int size) override {
        auto found = entities.find(buffer);
        if (found == entities.end()) return CXMLParser::EvalEntity(buffer, size);
        std::strcpy(buffer, found->second.c_str());
        return true;
    }
};

// The log of a parse, ending in "error: <what()>" when it raised.
inline std::string Log(LogParser& parser, const std::string& xml, Mode mode = Mode::Parse) {
    testsupport::StringReadStream stream(xml);
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
