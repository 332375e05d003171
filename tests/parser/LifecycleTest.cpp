// A parse always ends idle and reusable: stops requested by a handler,
// throwing handlers and streams, parses started from inside a handler,
// input cut at every byte, and very deep nesting.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <stdexcept>
#include <string>
#include <vector>

using parsertest::Log;
using parsertest::LogParser;
using parsertest::Mode;

namespace {

struct Boom {};

TEST(Lifecycle, ProcessingInstructionHandlerCanStopTheParse) {
    LogParser parser;
    parser.stopAt = {"stop"};
    EXPECT_EQ(Log(parser, "<?stop?><a/>"), "pi stop|");
    // After the root, nothing past the stop is read, not even bad text.
    parser.log.clear();
    EXPECT_EQ(Log(parser, "<a/><?stop x?>not xml <"), "open a\nclose 1\npi stop|x");
    parser.log.clear();
    EXPECT_EQ(Log(parser, "<b/>"), "open b\nclose 2");
}

TEST(Lifecycle, HandlerExceptionsLeaveUnchangedAndTheParserIdle) {
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser parser;
        parser.onEvent = [](const std::string& line) {
            if (line == "open boom") throw Boom();
        };
        testsupport::StringReadStream bad("<a><boom/></a>");
        EXPECT_THROW(parser.Run(mode, &bad), Boom);
        parser.log.clear();
        testsupport::StringReadStream good("<a/>");
        parser.Run(mode, &good);
        EXPECT_EQ(parser.log, "open a\nclose 3");
    }
}

TEST(Lifecycle, StreamExceptionsOutsideCDataPassUnchanged) {
    LogParser parser;
    testsupport::StringReadStream stream("<a>" + std::string(2000, 't') + "</a>");
    stream.throwAt = 1024;
    try {
        parser.Parse(&stream);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "read failure");
    }
    EXPECT_EQ(Log(parser, "<b/>"), "open a\nopen b\nclose 2");
}

TEST(Lifecycle, NullStreamRaisesWithoutMessage) {
    LogParser parser;
    try {
        parser.Parse(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const Corvane::XCException& error) {
        EXPECT_STRNE(error.what(), "");
    }
    EXPECT_EQ(Log(parser, "<b/>"), "open b\nclose 1");
}

TEST(Lifecycle, ParseFromInsideAHandlerIsRefused) {
    LogParser parser;
    std::string inner;
    parser.onEvent = [&](const std::string& line) {
        if (line != "open b") return;
        testsupport::StringReadStream other("<x/>");
        try {
            parser.FastParse(&other);
        } catch (const Corvane::XCException& error) {
            inner = error.what();
        }
    };
    EXPECT_EQ(Log(parser, "<a><b/>t</a>"), "open a\nopen b\nclose 2\ndata t\nclose 1");
    EXPECT_EQ(inner, parsertest::NoMessage());

    // Not caught: the outer parse ends with it, and the parser is idle after.
    LogParser uncaught;
    uncaught.onEvent = [&](const std::string& line) {
        if (line != "open b") return;
        testsupport::StringReadStream other("<x/>");
        uncaught.Parse(&other);
    };
    EXPECT_EQ(Log(uncaught, "<a><b/></a>"), "open a\nopen b\nerror: " + parsertest::NoMessage());
    uncaught.onEvent = nullptr;
    uncaught.log.clear();
    EXPECT_EQ(Log(uncaught, "<c/>"), "open c\nclose 3");
}

TEST(Lifecycle, EvalEntityResolvesUnknownNames) {
    LogParser parser;
    parser.entities = {{"euro", "\xE2\x82\xAC"}, {"none", ""}, {"markup", "&lt;<b/>"}};
    EXPECT_EQ(Log(parser, "<a v=\"1&euro;&none;\">&markup;&euro;&none;x</a>"),
              "open a\nattr v=1\\xE2\\x82\\xAC\ndata &lt;<b/>\\xE2\\x82\\xACx\nclose 1");

    struct SizeParser : LogParser {
        std::string name;
        int size = 0;
        bool EvalEntity(char* buffer, int bufferSize) override {
            name = buffer;
            size = bufferSize;
            return false;
        }
    } sized;
    std::string longName(255, 'n');
    EXPECT_EQ(Log(sized, "<a>&" + longName + ";</a>"), "open a\nerror: Unrecognized entity");
    EXPECT_EQ(sized.name, longName);
    EXPECT_EQ(sized.size, 256);
}

// A document using every construct, so that cutting it anywhere lands inside
// each of them.
const std::string kRich =
    "<?xml version=\"1.0\"?>\n<!-- head -->\n"
    "<!DOCTYPE r PUBLIC \"p\" 's' [ <!ENTITY e \"v\"> ]>\n<![CDATA[pre]]>\n"
    "<r a=\"1&amp;&#x41;\" b='2'>\n  text &lt; more\n"
    "  <s/><skip x=\"y\"><in>&bogus;</in>a/b </skip>"
    "<t><![CDATA[c]]d]]><[CDATA[e]]><!--c--><!DOCTYPE q></t>\n</r>";
const std::string kEpilogue = "<!--e--><?p q?>";

TEST(Lifecycle, InputCutAtEveryByteRaisesCleanly) {
    const std::string full = kRich + kEpilogue;
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser reference;
        reference.skip = {"skip"};
        reference.entities = {{"bogus", "B"}};
        const std::string complete = Log(reference, full, mode);
        ASSERT_EQ(complete.find("error"), std::string::npos) << complete;
        for (std::size_t cut = 0; cut < full.size(); ++cut) {
            LogParser parser;
            parser.skip = {"skip"};
            parser.entities = reference.entities;
            testsupport::StringReadStream stream(full.substr(0, cut));
            bool raised = false;
            try {
                parser.Run(mode, &stream);
            } catch (const Corvane::XCException&) {
                raised = true;
            }
            // Only cuts right after the root element or the epilogue's
            // comment leave a whole document.
            bool whole = cut == kRich.size() || cut == kRich.size() + 8;
            EXPECT_EQ(raised, !whole) << "cut at " << cut;
            // Whatever was reported is the beginning of the full parse.
            EXPECT_EQ(complete.compare(0, parser.log.size(), parser.log), 0) << "cut at " << cut;
        }
    }
}

// Counts events and checks that every CloseNode gets the handle of the
// innermost open element.
class DepthParser : public CorvaneXML::CXMLParser {
public:
    std::vector<std::uintptr_t> open;
    std::size_t opened = 0;
    std::size_t closed = 0;
    std::size_t deepest = 0;
    bool paired = true;
    std::size_t texts = 0;

    void Run(Mode mode, CorvaneXML::XIXMLReadStream* stream) {
        mode == Mode::Parse ? Parse(stream) : FastParse(stream);
    }

protected:
    const void* OpenNode(const char*) override {
        open.push_back(++opened);
        if (open.size() > deepest) deepest = open.size();
        return reinterpret_cast<const void*>(opened);
    }
    void Attribute(const char*, const char*) override {}
    void Data(const char*) override { ++texts; }
    void CloseNode(const void* handle) override {
        if (open.empty() || reinterpret_cast<std::uintptr_t>(handle) != open.back()) paired = false;
        if (!open.empty()) open.pop_back();
        ++closed;
    }
};

TEST(Lifecycle, MillionLevelsOfNestingInBothModes) {
    const std::size_t depth = 1000000;
    std::string xml;
    xml.reserve(depth * 8 + 4);
    for (std::size_t i = 0; i < depth; ++i) xml += "<a>";
    xml += "x";
    for (std::size_t i = 0; i < depth; ++i) xml += "</a>";
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        DepthParser parser;
        testsupport::StringReadStream stream(xml);
        parser.Run(mode, &stream);
        EXPECT_EQ(parser.opened, depth);
        EXPECT_EQ(parser.closed, depth);
        EXPECT_EQ(parser.deepest, depth);
        EXPECT_EQ(parser.texts, 1u);
        EXPECT_TRUE(parser.paired);
        EXPECT_TRUE(parser.open.empty());
    }
}

}  // namespace
