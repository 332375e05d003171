// Whole documents against their exact event logs. Every case runs in both
// modes: without skipped elements FastParse must report exactly what Parse does.

#include <gtest/gtest.h>

#include "EventLog.h"

#include <string>
#include <vector>

using parsertest::Log;
using parsertest::Mode;

namespace {

struct Case {
    const char* what;
    std::string xml;
    std::string events;
};

const std::vector<Case> kDocuments = {
    {"empty element with whitespace around", " \t<e/> \r\n", "open e\nclose 1"},
    {"declaration is a processing instruction",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a/>",
     "pi xml|version=\"1.0\" encoding=\"UTF-8\"\nopen a\nclose 1"},
    {"attributes in order, references resolved", "<e a='1' b = \"x&amp;y\"></e>",
     "open e\nattr a=1\nattr b=x&y\nclose 1"},
    {"no whitespace needed between attributes", "<e a=\"1\"b=\"2\"/>",
     "open e\nattr a=1\nattr b=2\nclose 1"},
    {"values keep quotes, markup and line ends",
     "<e a=\"it's\" b='say \"hi\"' c=\"l1\r\nl2\" d=\"<>\" e=\"&quot;q&quot;\" a=\"again\"/>",
     "open e\nattr a=it's\nattr b=say \"hi\"\nattr c=l1\\x0D\\x0Al2\nattr d=<>\nattr e=\"q\"\n"
     "attr a=again\nclose 1"},
    {"end tag names are not compared", "<a></b>", "open a\nclose 1"},
    {"whitespace before the end tag's >", "<a></a \n\t>", "open a\nclose 1"},
    {"names are any bytes but the eleven enders",
     "<x:y.z-1 \xC3\xA9[]&;'\"=\"v\"/><!-- -->",
     "open x:y.z-1\nattr \\xC3\\xA9[]&;'\"=v\nclose 1\ncomment  "},
    {"a name may start with a digit", "<1a/>", "open 1a\nclose 1"},
    {"nested handles come back innermost first", "<a><b><c/></b><d></d></a>",
     "open a\nopen b\nopen c\nclose 3\nclose 2\nopen d\nclose 4\nclose 1"},
    {"leading whitespace of a run dropped, trailing kept", "<a>  Hello  </a>",
     "open a\ndata Hello  \nclose 1"},
    {"text split by markup gives one event per run", "<a>x<b/>y<!--c-->z</a>",
     "open a\ndata x\nopen b\nclose 2\ndata y\ncomment c\ndata z\nclose 1"},
    {"whitespace-only runs give no event", "<a>\n  <b/>\n\t\r\n</a>",
     "open a\nopen b\nclose 2\nclose 1"},
    {"> and ]]> are text, CR LF kept", "<a>a > b ]]> c\r\nd </a>",
     "open a\ndata a > b ]]> c\\x0D\\x0Ad \nclose 1"},
    {"predefined entities", "<a>&lt;tag&gt;&apos;&quot;&amp;amp;</a>",
     "open a\ndata <tag>'\"&amp;\nclose 1"},
    {"character references at every UTF-8 length",
     "<a>&#65;&#x41;&#x7f;&#x80;&#xe9;&#x7ff;&#x800;&#x20ac;&#xffff;&#x10000;&#x1fffff;"
     "&#x200000;&#x3ffffff;&#x4000000;&#x7fffffff;</a>",
     "open a\ndata AA\\x7F\\xC2\\x80\\xC3\\xA9\\xDF\\xBF\\xE0\\xA0\\x80\\xE2\\x82\\xAC"
     "\\xEF\\xBF\\xBF\\xF0\\x90\\x80\\x80\\xF7\\xBF\\xBF\\xBF\\xF8\\x88\\x80\\x80\\x80"
     "\\xFB\\xBF\\xBF\\xBF\\xBF\\xFC\\x84\\x80\\x80\\x80\\x80\\xFD\\xBF\\xBF\\xBF\\xBF\\xBF\n"
     "close 1"},
    {"references to nothing, and wrapping decimal values",
     "<a>[&#;&#0;&#x;&#4294967361;]</a>", "open a\ndata [A]\nclose 1"},
    {"a run of references to nothing is an empty event", "<a>&#0;</a>",
     "open a\ndata \nclose 1"},
    {"comments keep dashes", "<!-- a -- b --><a><!----><!-- x ---></a><!--->-->",
     "comment  a -- b \nopen a\ncomment \ncomment  x -\nclose 1\ncomment ->"},
    {"processing instructions", "<?pi?><?pi  a ? b ?><?t ?\?><a/><?end x?>",
     "pi pi|\npi pi|a ? b \npi t|?\nopen a\nclose 1\npi end|x"},
    {"DOCTYPE forms",
     "<!DOCTYPE root><!DOCTYPE root SYSTEM \"root.dtd\">"
     "<!DOCTYPE root PUBLIC \"-//X//DTD Y//EN\" 'y&.dtd'>"
     "<!DOCTYPE root [ <!ENTITY e \"v\"> ]><root/>",
     "doctype root|(null)|(null)|\ndoctype root|(null)|root.dtd|\n"
     "doctype root|-//X//DTD Y//EN|y&.dtd|\ndoctype root|(null)|(null)| <!ENTITY e \"v\"> \n"
     "open root\nclose 1"},
    {"DOCTYPE inside an element", "<a><!DOCTYPE b SYSTEM 's'\n></a>",
     "open a\ndoctype b|(null)|s|\nclose 1"},
    {"CDATA in the prolog and both forms in content",
     "<![CDATA[x]]> <a><![CDATA[<&amp;>]]><[CDATA[y]]></a>",
     "data x\nopen a\ndata <&amp;>\ndata y\nclose 1"},
    {"CDATA brackets", "<a><![CDATA[]]><![CDATA[a]b]]c]]]><![CDATA[]>]]></a>",
     "open a\ndata \ndata a]b]]c]\ndata ]>\nclose 1"},
    {"first ]]> closes the section", "<a><![CDATA[x]]>]]></a>",
     "open a\ndata x\ndata ]]>\nclose 1"},
    {"epilogue comments, PIs and whitespace", "<a/>\t<!-- c -->\r\n<?p q?> \n",
     "open a\nclose 1\ncomment  c \npi p|q"},
};

class Documents : public ::testing::TestWithParam<Mode> {};

TEST_P(Documents, GiveExactEvents) {
    for (const Case& c : kDocuments) {
        EXPECT_EQ(Log(c.xml, GetParam()), c.events) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, Documents, ::testing::Values(Mode::Parse, Mode::Fast));

TEST(Documents, RunsScannedInPlaceMayCrossReadBlocks) {
    for (std::size_t pad = 1000; pad < 1030; ++pad) {
        std::string p(pad, 'p');
        EXPECT_EQ(Log("<a>" + p + "&amp;<name attr=\"v&#x41;\"/>tail</a>"),
                  "open a\ndata " + p + "&\nopen name\nattr attr=vA\nclose 2\ndata tail\nclose 1");
    }
}

}  // namespace
