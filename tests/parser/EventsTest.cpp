// Whole documents against their exact event logs: well-formed ones, malformed
// ones (the events before the error, then the exact message) and FastParse
// skips. Every case also runs behind whitespace that puts the 1024-byte block
// boundary before each of its bytes, since the parser scans runs inside a block.

#include <gtest/gtest.h>

#include "EventLog.h"

using namespace testsupport;

namespace {

using Table = std::vector<std::pair<std::string, std::string>>;  // input, exact log

void Check(const Table& table, Mode mode, const std::set<std::string>& skip = {}) {
    for (const auto& c : table) {
        EXPECT_EQ(Log(c.first, mode, skip), c.second) << c.first;
        for (std::size_t at = 1; at < c.first.size(); ++at) {
            EXPECT_EQ(Log(std::string(1024 - at, ' ') + c.first, mode, skip), c.second)
                << c.first << " with the boundary before byte " << at;
        }
    }
}

// Without skipped elements FastParse must report exactly what Parse does.
class BothModes : public ::testing::TestWithParam<Mode> {};

TEST_P(BothModes, DocumentsGiveExactEvents) {
    Check(
        {
            // Prolog and epilogue; whitespace around them is dropped.
            {" \t<?xml version=\"1.0\"?>\n<!-- a -- b -->\r\n<e/> \r\n<!--->--> <?p q?> \n",
             "pi xml|version=\"1.0\"\ncomment  a -- b \nopen e\nclose 1\ncomment ->\npi p|q"},
            // Attributes in order, even repeated; any quote; references, line ends and
            // markup kept; no whitespace needed between them; end-tag whitespace.
            {"<e a='1' b = \"x&amp;y\"c=\"l1\r\nl2\" d='say \"hi\"' e=\"it's<>&quot;\" a=\"again\"></e \n\t>",
             "open e\nattr a=1\nattr b=x&y\nattr c=l1\r\nl2\nattr d=say \"hi\"\nattr e=it's<>\"\n"
             "attr a=again\nclose 1"},
            // Names are any bytes but whitespace and ! * + / = > ?; end-tag names are not compared.
            {"<x:y.z-1 \xC3\xA9[]&;'\"=\"v\"><1a/></b>",
             "open x:y.z-1\nattr \xC3\xA9[]&;'\"=v\nopen 1a\nclose 2\nclose 1"},
            {"<e\ra\x0e\r='1'\r/>", "open e\nattr a\x0e=1\nclose 1"},
            // Leading whitespace of a run dropped, trailing kept; whitespace-only runs
            // give nothing; markup splits runs; > and ]]> are text; bytes above 127.
            {"<a>  Hello  <b><c/></b>x<!---->y<!-- x --->\n  <d>\n\t\r\n</d>a > b ]]> c\r\nd\xFF </a>",
             "open a\ndata Hello  \nopen b\nopen c\nclose 3\nclose 2\ndata x\ncomment \ndata y\n"
             "comment  x -\nopen d\nclose 4\ndata a > b ]]> c\r\nd\xFF \nclose 1"},
            // Predefined entities, references to nothing, wrapping decimal values, and
            // character references at every UTF-8 length up to six bytes.
            {"<a>&lt;tag&gt;&apos;&quot;&amp;amp;[&#;&#0;&#x;&#4294967361;]&#65;&#x41;&#x7f;&#x80;&#xe9;"
             "&#x7ff;&#x800;&#x20ac;&#xffff;&#x10000;&#x1fffff;&#x200000;&#x3ffffff;&#x4000000;"
             "&#x7fffffff;<b>&#0;</b></a>",
             "open a\ndata <tag>'\"&amp;[A]AA\x7F\xC2\x80\xC3\xA9\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF"
             "\xF0\x90\x80\x80\xF7\xBF\xBF\xBF\xF8\x88\x80\x80\x80\xFB\xBF\xBF\xBF\xBF\xFC\x84\x80\x80\x80\x80"
             "\xFD\xBF\xBF\xBF\xBF\xBF\n"
             "open b\ndata \nclose 2\nclose 1"},
            // A NUL byte ends a character reference's digits, wherever the ';' is.
            {std::string("<a>&#66\0x;&#x43\0;&\0;</a>", 25), "open a\nerror: Unrecognized entity"},
            {std::string("<a>&#66\0x;&#x43\0;</a>", 21), "open a\ndata BC\nclose 1"},
            {"<?pi?><?pi  a ? b ?><?t ?\?><a/><?end x?>", "pi pi|\npi pi|a ? b \npi t|?\nopen a\nclose 1\npi end|x"},
            // DOCTYPE forms, also inside an element.
            {"<!DOCTYPE root><!DOCTYPE root SYSTEM \"root.dtd\"><!DOCTYPE root PUBLIC \"-//X//DTD Y//EN\" "
             "'y&.dtd'><!DOCTYPE root [ <!ENTITY e \"v\"> ]><root><!DOCTYPE b SYSTEM 's'\n></root>",
             "doctype root|(null)|(null)|\ndoctype root|(null)|root.dtd|\ndoctype root|-//X//DTD Y//EN|y&.dtd|\n"
             "doctype root|(null)|(null)| <!ENTITY e \"v\"> \nopen root\ndoctype b|(null)|s|\nclose 1"},
            // CDATA in the prolog, both openings, brackets, and the first ]]> closing.
            {"<![CDATA[x]]> <a><![CDATA[<&amp;>]]><[CDATA[y]]><![CDATA[]]><![CDATA[a]b]]c]]]><![CDATA[]>]]>"
             "<![CDATA[x]]>]]></a>",
             "data x\nopen a\ndata <&amp;>\ndata y\ndata \ndata a]b]]c]\ndata ]>\ndata x\ndata ]]>\nclose 1"},
        },
        GetParam());
}

TEST_P(BothModes, MalformedDocumentsRaiseExactMessages) {
    const std::string none = "error: End tag must end with '>'";
    const std::string after = "open a\nclose 1\nerror: Only comments and processing instructions accepted here";
    const std::string begin = "error: XML file must begin with <", name = "error: Must be a name here";
    const std::string doctype = "error: Only !DOCTYPE is recognized.", cdata = "error: Must be CDATA here";
    const std::string unicode = "open a\nerror: Bad unicode value", big = "open a\nerror: Unicode value too big";
    Check(
        {
            {"", begin},
            {" \r\n\t", begin},
            {"\xEF\xBB\xBF<a/>", begin},
            {"<!-- c --> t<a/>", "comment  c \nerror: XML root must begin with '<'"},
            {"<a/>t", after},
            {"<a/><b/>", after},
            {"<a/><!DOCTYPE a>", after},
            {"<a/>\f", after},
            {"<!- x --><a/>", "error: Comment must begin with '<!--'"},
            {"<e/ >", "open e\nerror: Bad empty node closing."},
            {"<e a>", "open e\nerror: Attribute name must be followed by '='."},
            {"<e a \"x\"/>", "open e\nerror: Attribute name must be followed by '='."},
            {"<e a=1>", "open e\nerror: Attribute value must begin with ''' or '\"'."},
            {"<e a=&x&/>", "open e\nerror: Attribute value must begin with ''' or '\"'."},
            {"<a></a x>", "open a\n" + none},
            {"< e/>", name},
            {"<a><?pi x?></a>", "open a\n" + name},
            {"<a></></a>", "open a\n" + name},
            {"<!doctype root><a/>", doctype},
            {"<!DOCTYPEX root><a/>", doctype},
            {"<!DOCTYPE root PUB \"x\"><a/>", "error: Only PUBLIC and SYSTEM can be specified here"},
            {"<!DOCTYPE root PUBLIC \"x\"><a/>", "error: Literal must start with ' or \"."},
            {"<!DOCTYPE root [ \"]\" ]><a/>", "error: Declaration must end with '>'."},
            {"<![cdata[x]]><a/>", cdata},
            {"<a><[CDATA x]]></a>", "open a\n" + cdata},
            {"<a>&AMP;</a>", "open a\nerror: Unrecognized entity"},
            {"<a>&#x20AC;</a>", unicode},
            {"<a>&#X41;</a>", unicode},
            {"<a>&#1a;</a>", unicode},
            {"<a>&#x80000000;</a>", big},
            {"<a>&#2147483648;</a>", big},
            {"<a>&" + std::string(256, 'x') + ";</a>", "open a\nerror: Entity too big"},
            // End of input wherever a construct is still open.
            {"<a>&lt", "open a\nerror: End of Data unexpected"},
            {"<a></a", "open a\n" + none},
            {"<a><b></b>text", "open a\nopen b\nclose 2\nerror: End of input inside an element"},
            {"<a x='1' ", "open a\nattr x=1\nerror: End of input inside a tag"},
            {"<a x=\"1", "open a\nerror: End of input inside an attribute value"},
            {"<?pi x?", "error: End of input inside a processing instruction"},
            {"<!DOCTYPE r [ x", "error: End of input inside a DOCTYPE internal subset"},
            {"<!DOCTYPE r SYSTEM \"x", "error: End of input inside a literal"},
            {"<!--x--", "error: Missing comment closing '-->'"},
            {"<a><![CDATA[x]]", "open a\ndata x\nerror: Error while reading <[CDATA[...]]>"},
        },
        GetParam());
}

INSTANTIATE_TEST_SUITE_P(ParseAndFastParse, BothModes, ::testing::Values(Mode::Parse, Mode::Fast));

TEST(FastParse, SkipsElementsWhoseHandleIsNull) {
    const std::string ab = "open a\nopen b\n", end = ab + "error: End of input inside a skipped element";
    const std::string c = ab + "open c\nclose 3\nclose 1";
    Check(
        {
            // Attributes and content skipped, no CloseNode; an empty one is closed.
            {"<a><b x=\"1\"><c/>text</b><c/></a>", c},
            {"<a><b x=\"1\"/></a>", ab + "close null\nclose 1"},
            // The skip ends at the first end tag of that name, or a bare /name; /> passes.
            {"<a><b><b></b>tail</b>", ab + "data tail\nclose 1"},
            {"<a><b><b/>t</b><c/></a>", c},
            {"<a><b>1 a/b 2</b>", ab + "data 2\nclose 1"},
            {"<a><b>1 a/bb 2 </c></b>3</a>", ab + "data 3\nclose 1"},
            // The byte after a second / and the byte right after the start tag are
            // passed over; > after the end tag's whitespace is left as text.
            {"<a><b>x//b y</b>z</a>", ab + "data z\nclose 1"},
            {"<a><b>/b x</b><c/></a>", c},
            {"<a><b></b >x</a>", ab + "data >x\nclose 1"},
            // Nothing inside is checked or reported; the root itself may be skipped.
            {"<a><b>&bogus; <![CDATA[ ]]> <!-- x --><?p?><!DOCTYPE</b><c/></a>", c},
            {"<b><x/></b> <!--c-->", "open b\ncomment c"},
            // Attributes are still read; / then whitespace needs a name.
            {"<a><b x></b></a>", ab + "error: Attribute name must be followed by '='."},
            {"<a><b>a / b</b></a>", ab + "error: Must be a name here"},
            {"<a><b>xx", end},
            {"<a><b>x/", end},
            {"<a><b>", end},
        },
        Mode::Fast, {"b"});
    // Parse reports everything, whatever the handle.
    EXPECT_EQ(Log("<a><b x=\"1\">t</b></a>", Mode::Parse, {"b"}), ab + "attr x=1\ndata t\nclose null\nclose 1");
}

}  // namespace
