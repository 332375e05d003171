// A parse always ends idle and reusable: stops asked by a handler, throwing
// handlers, a parse started from inside a handler and input cut at every
// byte. Also the entities a host resolves.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <algorithm>

using testsupport::Log;
using testsupport::LogParser;
using testsupport::Mode;

namespace {

TEST(Lifecycle, ProcessingInstructionAnsweringFalseEndsTheParse) {
    LogParser parser;
    parser.stopAt = {"stop"};
    EXPECT_EQ(Log(parser, "<?stop?><a/>"), "pi stop|");
    EXPECT_EQ(Log(parser, "<b/><?stop x?>not xml <"), "pi stop|\nopen b\nclose 1\npi stop|x");
}

TEST(Lifecycle, ThrowingAndNestedParsesLeaveTheParserIdle) {
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        LogParser parser;
        parser.onEvent = [&](const std::string& line) {
            if (line == "open boom") throw std::runtime_error("boom");
            if (line == "open nest") Log(parser, "<x/>", mode);  // refused; the refusal is logged
        };
        EXPECT_EQ(Log(parser, "<a><boom/></a>", mode), "open a\nopen boom\nerror: boom");
        EXPECT_THROW(parser.Run(mode, nullptr), Corvane::XCException);
        parser.log.clear();
        // The refused inner parse leaves the running one intact.
        EXPECT_EQ(Log(parser, "<a><nest/>t</a>", mode),
                  "open a\nopen nest\nerror: CvThrow::SiFaux\nclose 2\ndata t\nclose 1");
    }
}

TEST(Lifecycle, EvalEntityResolvesUnknownNames) {
    LogParser parser;
    const std::string longest(255, 'n'), filling(255, 'N');  // a replacement may fill the 256-byte area
    parser.entities = {{"euro", "\xE2\x82\xAC"}, {"none", ""}, {"markup", "&lt;<b/>"}, {longest, filling}};
    EXPECT_EQ(Log(parser, "<a v=\"1&euro;&none;\">&markup;&euro;&none;&" + longest + ";</a>"),
              "open a\nattr v=1\xE2\x82\xAC\ndata &lt;<b/>\xE2\x82\xAC" + filling + "\nclose 1");
}

TEST(Lifecycle, InputCutAtEveryByteRaisesAfterAPrefixOfTheEvents) {
    const std::string root =
        "<?xml version=\"1.0\"?>\n<!-- head -->\n<!DOCTYPE r PUBLIC \"p\" 's' [ <!ENTITY e \"v\"> ]>\n"
        "<![CDATA[pre]]>\n<r a=\"1&amp;&#x41;\" b='2'>\n  text &lt; more\n  <s/><skip x=\"y\">"
        "<in>&quot;</in>a/b </skip><t><![CDATA[c]]d]]><[CDATA[e]]><!--c--><!DOCTYPE q></t>\n</r>";
    const std::string full = root + "<!--e--><?p q?>";
    for (Mode mode : {Mode::Parse, Mode::Fast}) {
        const std::string complete = Log(full, mode, {"skip"});
        ASSERT_EQ(complete.find("error"), std::string::npos) << complete;
        for (std::size_t cut = 0; cut < full.size(); ++cut) {
            std::string log = Log(full.substr(0, cut), mode, {"skip"});
            // Only a cut after the root element or after the epilogue's
            // comment leaves a whole document.
            std::size_t error = log.find("error: ");
            EXPECT_EQ(error == std::string::npos, cut == root.size() || cut == root.size() + 8) << cut << log;
            // The events reported are the start of the full parse; the last
            // may be cut short (a cut CDATA body still reaches Data).
            std::size_t events = std::min(error, log.size());
            if (events > 0 && events != log.size()) --events;
            EXPECT_EQ(complete.compare(0, events, log, 0, events), 0) << "cut at " << cut << ": " << log;
        }
    }
}

}  // namespace
