// Malformed documents against the events delivered before the error and the
// exact message.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <string>
#include <vector>

using parsertest::Log;
using parsertest::Mode;
using parsertest::NoMessage;

namespace {

struct Case {
    std::string xml;
    std::string events;  // "error: " + message ends every expected log
};

std::vector<Case> ErrorCases() {
    const std::string none = "error: " + NoMessage();
    const std::string epilogue = "error: Only comments and processing instructions accepted here";
    return {
        {"", "error: XML file must begin with <"},
        {" \r\n\t", "error: XML file must begin with <"},
        {"\xEF\xBB\xBF<a/>", "error: XML file must begin with <"},
        {"<!-- c --> t<a/>", "comment  c \nerror: XML root must begin with '<'"},
        {"<a/>t", "open a\nclose 1\n" + epilogue},
        {"<a/><b/>", "open a\nclose 1\n" + epilogue},
        {"<a/></a>", "open a\nclose 1\n" + epilogue},
        {"<a/><!DOCTYPE a>", "open a\nclose 1\n" + epilogue},
        {"<a/><![CDATA[x]]>", "open a\nclose 1\n" + epilogue},
        {"<a/>\f", "open a\nclose 1\n" + epilogue},
        {"<e a>", "open e\nerror: Attribute name must be followed by '='."},
        {"<e a=1>", "open e\nerror: Attribute value must begin with ''' or '\"'."},
        {"<e/ >", "open e\nerror: Bad empty node closing."},
        {"<a></a x>", "open a\n" + none},
        {"<a><?pi x?></a>", "open a\nerror: Must be a name here"},
        {"<a></></a>", "open a\nerror: Must be a name here"},
        {"< e/>", "error: Must be a name here"},
        {"<?  x?><a/>", "error: Must be a name here"},
        {"<!-- x -", "error: Missing comment closing '-->'"},
        {"<!- x --><a/>", "error: Comment must begin with '<!--'"},
        {"<a/><!- x -->", "open a\nclose 1\nerror: Comment must begin with '<!--'"},
        {"<a/><!x>", "open a\nclose 1\n" + epilogue},
        {"<!DOC root><a/>", "error: Only !DOCTYPE is recognized."},
        {"<!doctype root><a/>", "error: Only !DOCTYPE is recognized."},
        {"<!DOCTYPEX root><a/>", "error: Only !DOCTYPE is recognized."},
        {"<!DOCTYPE root PUB \"x\"><a/>", "error: Only PUBLIC and SYSTEM can be specified here"},
        {"<!DOCTYPE root system \"x\"><a/>", "error: Only PUBLIC and SYSTEM can be specified here"},
        {"<!DOCTYPE root PUBLIC \"x\"><a/>", "error: Literal must start with ' or \"."},
        {"<!DOCTYPE root SYSTEM x><a/>", "error: Literal must start with ' or \"."},
        {"<!DOCTYPE root [ \"]\" ]><a/>", "error: Declaration must end with '>'."},
        {"<!DOCTYPE root SYSTEM 'x' y><a/>", "error: Declaration must end with '>'."},
        {"<![cdata[x]]><a/>", "error: Must be CDATA here"},
        {"<a><[CDATA x]]></a>", "open a\nerror: Must be CDATA here"},
        {"<a><![CDATA[x]]", "open a\ndata x\nerror: Error while reading <[CDATA[...]]>"},
        {"<a>&AMP;</a>", "open a\nerror: Unrecognized entity"},
        {"<a>&;</a>", "open a\nerror: Unrecognized entity"},
        {"<a b=\"&e;\"/>", "open a\nerror: Unrecognized entity"},
        {"<a>&#x20AC;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#X41;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#1a;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#x7FFFFFFF;</a>", "open a\nerror: Bad unicode value"},
        {"<a>&#x80000000;</a>", "open a\nerror: Unicode value too big"},
        {"<a>&#2147483648;</a>", "open a\nerror: Unicode value too big"},
        {"<a>&lt", "open a\nerror: End of Data unexpected"},
        {"<a>& b <c/></a>", "open a\nerror: End of Data unexpected"},
        {"<a>&" + std::string(255, 'x') + ";</a>", "open a\nerror: Unrecognized entity"},
        {"<a>&" + std::string(256, 'x') + ";</a>", "open a\nerror: Entity too big"},
        // End of input wherever a construct is still open.
        {"<a>text", "open a\n" + none},
        {"<a>", "open a\n" + none},
        {"<a><b></b>", "open a\nopen b\nclose 2\n" + none},
        {"<a", "open a\nerror: End of input inside a tag"},
        {"<a x='1' ", "open a\nattr x=1\nerror: End of input inside a tag"},
        {"<a x", "open a\nerror: Attribute name must be followed by '='."},
        {"<a x=", "open a\nerror: Attribute value must begin with ''' or '\"'."},
        {"<a x=\"1", "open a\nerror: End of input inside an attribute value"},
        {"<a x=\"&amp", "open a\nerror: End of Data unexpected"},
        {"<a/", "open a\nerror: Bad empty node closing."},
        {"<a><", "open a\nerror: Must be a name here"},
        {"<a></a", "open a\n" + none},
        {"<a></", "open a\nerror: Must be a name here"},
        {"<", "error: Must be a name here"},
        {"<?pi x", "error: End of input inside a processing instruction"},
        {"<?pi x?", "error: End of input inside a processing instruction"},
        {"<?pi", "error: End of input inside a processing instruction"},
        {"<!DOCTYPE r [ x", "error: End of input inside a DOCTYPE internal subset"},
        {"<!DOCTYPE r SYSTEM \"x", "error: End of input inside a literal"},
        {"<!DOCTYPE r", "error: Must be a name here"},
        {"<!DOCTYPE", "error: Must be a name here"},
        {"<!", "error: Must be a name here"},
        {"<!-", "error: Comment must begin with '<!--'"},
        {"<![CDATA", "error: Must be CDATA here"},
        {"<!--x--", "error: Missing comment closing '-->'"},
        {"<a/><!--", "open a\nclose 1\nerror: Missing comment closing '-->'"},
        {"<a/><", "open a\nclose 1\n" + epilogue},
    };
}

class Errors : public ::testing::TestWithParam<Mode> {};

TEST_P(Errors, RaiseExactMessagesAfterTheEventsBefore) {
    for (const Case& c : ErrorCases()) {
        EXPECT_EQ(Log(c.xml, GetParam()), c.events) << c.xml;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, Errors, ::testing::Values(Mode::Parse, Mode::Fast));

}  // namespace
