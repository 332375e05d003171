// Malformed documents: the events delivered before the error, then the
// exact message. Every case runs in both modes.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <string>
#include <vector>

using parsertest::Log;
using parsertest::Mode;

namespace {

class Errors : public ::testing::TestWithParam<Mode> {};

TEST_P(Errors, RaiseExactMessagesAfterTheEventsBefore) {
    const std::string none = "error: " + parsertest::NoMessage();
    const std::string onlyAfter = "open a\nclose 1\nerror: Only comments and processing instructions accepted here";
    const std::string begin = "error: XML file must begin with <";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", begin}, {" \r\n\t", begin}, {"\xEF\xBB\xBF<a/>", begin},
        {"<!-- c --> t<a/>", "comment  c \nerror: XML root must begin with '<'"},
        {"<a/>t", onlyAfter}, {"<a/><b/>", onlyAfter}, {"<a/></a>", onlyAfter}, {"<a/><!DOCTYPE a>", onlyAfter},
        {"<a/><![CDATA[x]]>", onlyAfter}, {"<a/>\f", onlyAfter}, {"<a/><!x>", onlyAfter}, {"<a/><", onlyAfter},
        {"<a/><!- x -->", "open a\nclose 1\nerror: Comment must begin with '<!--'"},
        {"<!- x --><a/>", "error: Comment must begin with '<!--'"},
        {"<e a>", "open e\nerror: Attribute name must be followed by '='."},
        {"<e a=1>", "open e\nerror: Attribute value must begin with ''' or '\"'."},
        {"<e/ >", "open e\nerror: Bad empty node closing."},
        {"<a></a x>", "open a\n" + none},
        {"<a><?pi x?></a>", "open a\nerror: Must be a name here"},
        {"<a></></a>", "open a\nerror: Must be a name here"},
        {"< e/>", "error: Must be a name here"},
        {"<?  x?><a/>", "error: Must be a name here"},
        {"<!doctype root><a/>", "error: Only !DOCTYPE is recognized."},
        {"<!DOCTYPEX root><a/>", "error: Only !DOCTYPE is recognized."},
        {"<!DOCTYPE root PUB \"x\"><a/>", "error: Only PUBLIC and SYSTEM can be specified here"},
        {"<!DOCTYPE root PUBLIC \"x\"><a/>", "error: Literal must start with ' or \"."},
        {"<!DOCTYPE root [ \"]\" ]><a/>", "error: Declaration must end with '>'."},
        {"<![cdata[x]]><a/>", "error: Must be CDATA here"},
        {"<a><[CDATA x]]></a>", "open a\nerror: Must be CDATA here"},
        {"<a>&AMP;</a>", "open a\nerror: Unrecognized entity"},
        {"<a b=\"&;\"/>", "open a\nerror: Unrecognized entity"},
        {"<a>&#x20AC;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#X41;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#1a;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#x80000000;</a>", "open a\nerror: Unicode value too big"},
        {"<a>&#2147483648;</a>", "open a\nerror: Unicode value too big"},
        {"<a>&" + std::string(256, 'x') + ";</a>", "open a\nerror: Entity too big"},
        // End of input wherever a construct is still open.
        {"<a>&lt", "open a\nerror: End of Data unexpected"},
        {"<a><b></b>text", "open a\nopen b\nclose 2\n" + none},
        {"<a x='1' ", "open a\nattr x=1\nerror: End of input inside a tag"},
        {"<a x=\"1", "open a\nerror: End of input inside an attribute value"},
        {"<a/", "open a\nerror: Bad empty node closing."},
        {"<a><", "open a\nerror: Must be a name here"},
        {"<a></a", "open a\n" + none},
        {"<?pi x?", "error: End of input inside a processing instruction"},
        {"<!DOCTYPE r [ x", "error: End of input inside a DOCTYPE internal subset"},
        {"<!DOCTYPE r SYSTEM \"x", "error: End of input inside a literal"},
        {"<!--x--", "error: Missing comment closing '-->'"},
        {"<![CDATA", "error: Must be CDATA here"},
        {"<a><![CDATA[x]]", "open a\ndata x\nerror: Error while reading <[CDATA[...]]>"},
    };
    for (const auto& c : cases) EXPECT_EQ(Log(c.first, GetParam()), c.second) << c.first;
}

INSTANTIATE_TEST_SUITE_P(BothModes, Errors, ::testing::Values(Mode::Parse, Mode::Fast));

}  // namespace
