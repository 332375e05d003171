// Where a failed parse stopped: byte offset, then line:column.

#include "EventLog.h"

#include <gtest/gtest.h>

using testsupport::LogParser;
using testsupport::Mode;

namespace {

std::string Where(const LogParser& parser) {
    return std::to_string(parser.GetErrorOffset()) + " " + std::to_string(parser.GetErrorLine()) + ":" +
           std::to_string(parser.GetErrorColumn());
}

}  // namespace

TEST(ErrorPosition, PointsAtTheCharacterTheParserStoppedOn) {
    std::string lines = "<r>";
    for (int i = 0; i < 500; ++i) lines += "<e/>\n";
    // Bytes that differ from a line feed only in the top bit must not count.
    std::string highBytes = "<r>";
    for (int i = 0; i < 600; ++i) highBytes += "\x8a\n";
    const std::pair<std::string, std::string> cases[] = {
        {"<a x=1/>", "5 1:6"},
        {"<r>\n  <bad attr=oops/>\n</r>", "16 2:13"},
        {"\n\n\tx", "3 3:2"},
        // End of input: just past the last byte.
        {"<r>\n<a>", "7 2:4"},
        {"", "0 1:1"},
        // Far past the first blocks of input.
        {lines + "<e x>", "2507 501:5"},
        {highBytes + "<e x>", "1207 601:5"},
        // A line feed as the very last byte of a block.
        {"<r>" + std::string(1020, 'x') + "\n<e x>", "1028 2:5"},
    };
    for (const auto& c : cases) {
        for (Mode mode : {Mode::Parse, Mode::Fast}) {
            LogParser parser;
            EXPECT_NE(testsupport::Log(parser, c.first, mode).find("error: "), std::string::npos);
            EXPECT_EQ(Where(parser), c.second) << c.first.substr(0, 40);
        }
    }
}

TEST(ErrorPosition, ClearedByASuccessfulParse) {
    LogParser parser;
    testsupport::Log(parser, "<a x=1/>");
    EXPECT_EQ(Where(parser), "5 1:6");
    parser.log.clear();
    EXPECT_EQ(testsupport::Log(parser, "<a/>"), "open a\nclose 1");
    EXPECT_EQ(Where(parser), "0 0:0");
}
