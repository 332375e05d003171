#ifndef CORVANE_TESTS_PARSER_EVENTLOG_H
#define CORVANE_TESTS_PARSER_EVENTLOG_H

// A parser that writes every event as one line of a log, so tests compare a
// whole parse against an expected text.

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

// Bytes outside printable ASCII as \xHH, so logs stay readable and exact.
inline std::string Escape(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c > 0x7E) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// What a raise without a message says (it names the helper).
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
    std::set<std::string> skip;                     // OpenNode returns null for these
    std::map<std::string, std::string> entities;    // EvalEntity answers
    std::set<std::string> stopAt;                   // PI targets answered with false
    std::function<void(const std::string& line)> onEvent;  // runs after each line
    std::uintptr_t opened = 0;

    void Run(Mode mode, CorvaneXML::XIXMLReadStream* stream) {
        if (mode == Mode::Parse) {
            Parse(stream);
        } else {
            FastParse(stream);
        }
    }

protected:
    void Line(const std::string& line) {
        if (!log.empty()) log += '\n';
        log += line;
        if (onEvent) onEvent(line);
    }

    const void* OpenNode(const char* name) override {
        std::uintptr_t id = ++opened;
        Line("open " + Escape(name));
        if (skip.count(name) != 0) return nullptr;
        return reinterpret_cast<const void*>(id);
    }
    void Attribute(const char* name, const char* value) override {
        Line("attr " + Escape(name) + "=" + Escape(value));
    }
    void Data(const char* text) override { Line("data " + Escape(text)); }
    void CloseNode(const void* handle) override {
        Line(handle == nullptr ? std::string("close null")
                               : "close " + std::to_string(reinterpret_cast<std::uintptr_t>(handle)));
    }
    void Comment(const char* text) override { Line("comment " + Escape(text)); }
    bool ProcessingInstruction(const char* target, const char* instruction) override {
        Line("pi " + Escape(target) + "|" + Escape(instruction));
        return stopAt.count(target) == 0;
    }
    void DocType(const char* name, const char* publicId, const char* systemId,
                 const char* subset) override {
        Line("doctype " + Escape(name) + "|" + (publicId ? Escape(publicId) : "(null)") + "|" +
             (systemId ? Escape(systemId) : "(null)") + "|" + Escape(subset));
    }
    bool EvalEntity(char* buffer, int size) override {
        auto found = entities.find(buffer);
        if (found == entities.end()) return CXMLParser::EvalEntity(buffer, size);
        std::strcpy(buffer, found->second.c_str());
        return true;
    }
};

// The log of a parse, followed by "error: <what()>" when it raised.
inline std::string Log(LogParser& parser, const std::string& xml, Mode mode = Mode::Parse) {
    testsupport::StringReadStream stream(xml);
    try {
        parser.Run(mode, &stream);
    } catch (const std::exception& error) {
        parser.log += (parser.log.empty() ? "" : "\n") + std::string("error: ") + error.what();
    }
    return parser.log;
}

inline std::string Log(const std::string& xml, Mode mode = Mode::Parse,
                       std::set<std::string> skip = {}) {
    LogParser parser;
    parser.skip = std::move(skip);
    return Log(parser, xml, mode);
}

}  // namespace parsertest

#endif
