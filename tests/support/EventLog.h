#ifndef CORVANE_TEST_EVENTLOG_H
#define CORVANE_TEST_EVENTLOG_H

// A parser that writes each event as one line of a log, so that a test
// compares a whole parse with one expected text, or two parses with each
// other. Nothing here depends on GoogleTest.

#include <CorvaneXML/XMLParser.h>

#include "TestStreams.h"

#include <functional>
#include <set>

namespace testsupport {

enum class Mode { Parse, Fast };

class LogParser : public CorvaneXML::CXMLParser {
public:
    std::string log;
    // Asked by OpenNode, after logging, whether to answer null.
    std::function<bool(const std::string&)> skip;
    // Called with each line as it is logged, inside the handler.
    std::function<void(const std::string&)> onEvent;

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
        return true;
    }
    void DocType(const char* name, const char* pub, const char* sys, const char* subset) override {
        Line("doctype " + std::string(name) + "|" + (pub ? pub : "(null)") + "|" + (sys ? sys : "(null)") + "|" +
             subset);
    }

private:
    std::uintptr_t opened_ = 0;
};

// The log of a parse, ending in "error: <what()>" when it raised.
inline std::string Log(LogParser& parser, const std::string& xml, Mode mode = Mode::Parse) {
    StringReadStream stream(xml);
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
