// A parse always ends idle and reusable: stops asked by a handler, throwing
// handlers and streams, a parse started from inside a handler, input cut at
// every byte, and very deep nesting.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using parsertest::Log;
using parsertest::LogParser;
using parsertest::Mode;

namespace {

TEST(Lifecycle, ProcessingInstructionHandlerCanStopTheParse) {
    LogParser parser;
    parser.stopAt = {"stop"};
    EXPECT_EQ(Log(parser, "<?stop?><a/>"), "pi stop|");
    EXPECT_EQ(Log(parser, "<a/><?stop x?>not xml <"), "pi stop|\nopen a\nclose 1\npi stop|x");
    EXPECT_EQ(Log(parser, "<b/>"), "pi stop|\nopen a\nclose 1\npi stop|x\nopen b\nclose 2");
}

TEST(Lifecycle, ExceptionsLeaveUnchangedAndTheParserIdle) {
    struct Boom {};
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser parser;
        parser.onEvent = [](const std::string& line) {
            if (line == "open boom") throw Boom();
        };
        testsupport::StringReadStream handlerThrows("<a><boom/></a>");
        EXPECT_THROW(parser.Run(mode, &handlerThrows), Boom);
        testsupport::StringReadStream streamThrows("<a>" + std::string(2000, 't') + "</a>");
        streamThrows.throwAt = 1024;
        EXPECT_THROW(parser.Run(mode, &streamThrows), std::runtime_error);
        EXPECT_THROW(parser.Run(mode, nullptr), Corvane::XCException);
        parser.log.clear();
        EXPECT_EQ(Log(parser, "<a/>", mode), "open a\nclose 4");
    }
}

TEST(Lifecycle, ParseFromInsideAHandlerIsRefused) {
    for (bool caught : {true, false}) {
        LogParser parser;
        std::string inner;
        parser.onEvent = [&](const std::string& line) {
            if (line != "open b") return;
            testsupport::StringReadStream other("<x/>");
            try {
                parser.FastParse(&other);
            } catch (const Corvane::XCException& error) {
                inner = error.what();
                if (!caught) throw;
            }
        };
        EXPECT_EQ(Log(parser, "<a><b/>t</a>"),
                  caught ? "open a\nopen b\nclose 2\ndata t\nclose 1"
                         : "open a\nopen b\nerror: " + parsertest::NoMessage());
        EXPECT_EQ(inner, parsertest::NoMessage());
        parser.onEvent = nullptr;
        parser.log.clear();
        EXPECT_EQ(Log(parser, "<c/>"), "open c\nclose 3");
    }
}

TEST(Lifecycle, EvalEntityResolvesUnknownNames) {
    LogParser parser;
    parser.entities = {{"euro", "\xE2\x82\xAC"}, {"none", ""}, {"markup", "&lt;<b/>"}};
    EXPECT_EQ(Log(parser, "<a v=\"1&euro;&none;\">&markup;&euro;&none;x</a>"),
              "open a\nattr v=1\\xE2\\x82\\xAC\ndata &lt;<b/>\\xE2\\x82\\xACx\nclose 1");

    struct Sized : LogParser {
        std::string seen;
        bool EvalEntity(char* buffer, int size) override {
            seen = buffer + std::string("|") + std::to_string(size);
            return false;
        }
    } sized;
    std::string name(255, 'n');
    EXPECT_EQ(Log(sized, "<a>&" + name + ";</a>"), "open a\nerror: Unrecognized entity");
    EXPECT_EQ(sized.seen, name + "|256");
}

TEST(Lifecycle, InputCutAtEveryByteRaisesCleanly) {
    const std::string root =
        "<?xml version=\"1.0\"?>\n<!-- head -->\n<!DOCTYPE r PUBLIC \"p\" 's' [ <!ENTITY e \"v\"> ]>\n"
        "<![CDATA[pre]]>\n<r a=\"1&amp;&#x41;\" b='2'>\n  text &lt; more\n  <s/><skip x=\"y\">"
        "<in>&bogus;</in>a/b </skip><t><![CDATA[c]]d]]><[CDATA[e]]><!--c--><!DOCTYPE q></t>\n</r>";
    const std::string full = root + "<!--e--><?p q?>";
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser reference;
        reference.skip = {"skip"};
        reference.entities = {{"bogus", "B"}};
        const std::string complete = Log(reference, full, mode);
        ASSERT_EQ(complete.find("error"), std::string::npos) << complete;
        for (std::size_t cut = 0; cut < full.size(); ++cut) {
            LogParser parser;
            parser.skip = reference.skip;
            parser.entities = reference.entities;
            std::string log = Log(parser, full.substr(0, cut), mode);
            // Only a cut after the root element or after the epilogue's
            // comment leaves a whole document.
            std::size_t error = log.find("error: ");
            bool whole = cut == root.size() || cut == root.size() + 8;
            EXPECT_EQ(error == std::string::npos, whole) << "cut at " << cut << ": " << log;
            // The events reported are the start of the full parse; the last
            // may be cut short (a cut CDATA body still reaches Data).
            std::size_t events = std::min(error, log.size());
            if (events > 0 && events != log.size()) --events;
            EXPECT_EQ(complete.compare(0, events, log, 0, events), 0) << "cut at " << cut << ": " << log;
        }
    }
}

TEST(Lifecycle, MillionLevelsOfNestingInBothModes) {
    struct Depth : CorvaneXML::CXMLParser {
        std::vector<std::uintptr_t> open;
        std::size_t opened = 0, closed = 0, deepest = 0, texts = 0;
        bool paired = true;
        const void* OpenNode(const char*) override {
            open.push_back(++opened);
            deepest = std::max(deepest, open.size());
            return reinterpret_cast<const void*>(opened);
        }
        void Attribute(const char*, const char*) override {}
        void Data(const char*) override { ++texts; }
        void CloseNode(const void* handle) override {
            paired = paired && !open.empty() && reinterpret_cast<std::uintptr_t>(handle) == open.back();
            if (!open.empty()) open.pop_back();
            ++closed;
        }
    };
    const std::size_t depth = 1000000;
    std::string xml;
    for (std::size_t i = 0; i < depth; ++i) xml += "<a>";
    xml += "x";
    for (std::size_t i = 0; i < depth; ++i) xml += "</a>";
    for (bool fast : {false, true}) {
        Depth parser;
        testsupport::StringReadStream stream(xml);
        fast ? parser.FastParse(&stream) : parser.Parse(&stream);
        EXPECT_EQ(parser.opened, depth);
        EXPECT_EQ(parser.closed, depth);
        EXPECT_EQ(parser.deepest, depth);
        EXPECT_EQ(parser.texts, 1u);
        EXPECT_TRUE(parser.paired && parser.open.empty());
    }
}

}  // namespace
