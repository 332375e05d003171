#include "EventLog.h"

#include <gtest/gtest.h>

#include <string>

using parsertest::LogParser;
using parsertest::Mode;

namespace {

struct Position {
    std::uint64_t offset, line, column;
    bool operator==(const Position& other) const {
        return offset == other.offset && line == other.line && column == other.column;
    }
};

std::ostream& operator<<(std::ostream& out, const Position& p) {
    return out << p.offset << " (" << p.line << ":" << p.column << ")";
}

Position Where(LogParser& parser) {
    return {parser.GetErrorOffset(), parser.GetErrorLine(), parser.GetErrorColumn()};
}

Position FailAt(const std::string& text, Mode mode, std::uint64_t chunk = 0) {
    LogParser parser;
    testsupport::StringReadStream stream(text, chunk);
    EXPECT_THROW(parser.Run(mode, &stream), std::exception) << text;
    return Where(parser);
}

}  // namespace

TEST(ErrorPosition, PointsAtTheCharacterTheParserStoppedOn) {
    const std::string lines = std::string("<r>") + [] {
        std::string s;
        for (int i = 0; i < 500; ++i) s += "<e/>\n";
        return s;
    }();
    struct Case {
        std::string text;
        Position where;
    };
    const Case cases[] = {
        {"<a x=1/>", {5, 1, 6}},
        {"<r>\n  <bad attr=oops/>\n</r>", {16, 2, 13}},
        {"\n\n\tx", {3, 3, 2}},
        // End of input: just past the last byte.
        {"<r>\n<a>", {7, 2, 4}},
        {"", {0, 1, 1}},
        // Far past the first blocks of input.
        {lines + "<e x>", {2507, 501, 5}},
        // A line feed as the very last byte of a block.
        {"<r>" + std::string(1020, 'x') + "\n<e x>", {1028, 2, 5}},
    };
    for (const Case& c : cases) {
        for (Mode mode : {Mode::Parse, Mode::Fast}) {
            EXPECT_EQ(FailAt(c.text, mode), c.where) << c.text.substr(0, 40);
        }
    }
}

TEST(ErrorPosition, ClearedByASuccessfulParse) {
    LogParser parser;
    testsupport::StringReadStream bad("<a x=1/>");
    EXPECT_THROW(parser.Parse(&bad), std::exception);
    EXPECT_EQ(parser.GetErrorLine(), 1u);
    testsupport::StringReadStream good("<a/>");
    parser.Parse(&good);
    EXPECT_EQ(Where(parser), (Position{0, 0, 0}));
}
