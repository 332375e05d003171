// FastParse with OpenNode answering null for chosen names: what is skipped,
// where the skip ends, and what the surrounding element sees afterwards.

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

TEST(FastParse, SkipsElementsWhoseHandleIsNull) {
    const std::string end = "error: End of input inside a skipped element";
    const std::vector<Case> cases = {
        {"attributes and content skipped, no CloseNode",
         "<a><b x=\"1\"><c/>text</b><d/></a>",
         "open a\nopen b\nopen d\nclose 3\nclose 1"},
        {"an empty skipped element is still closed", "<a><b x=\"1\"/></a>",
         "open a\nopen b\nclose null\nclose 1"},
        {"the skip ends at the first end tag of that name", "<a><b><b></b>tail</b>",
         "open a\nopen b\ndata tail\nclose 1"},
        {"/> of empty elements passes", "<a><b><b/>t</b><c/></a>",
         "open a\nopen b\nopen c\nclose 3\nclose 1"},
        {"the byte after a second / is passed over", "<a><b>x//b y</b>z</a>",
         "open a\nopen b\ndata z\nclose 1"},
        {"the byte right after the start tag is not looked at", "<a><b>/b x</b><c/></a>",
         "open a\nopen b\nopen c\nclose 3\nclose 1"},
        {"a bare /name ends the skip", "<a><b>1 a/b 2</b>",
         "open a\nopen b\ndata 2\nclose 1"},
        {"other names after / go on", "<a><b>1 a/bb 2 </c></b>3</a>",
         "open a\nopen b\ndata 3\nclose 1"},
        {"> after the end tag's whitespace is left as text", "<a><b></b >x</a>",
         "open a\nopen b\ndata >x\nclose 1"},
        {"nothing inside is checked or reported",
         "<a><b>&bogus; <![CDATA[ ]]> <!-- x --><?p?><!DOCTYPE</b><c/></a>",
         "open a\nopen b\nopen c\nclose 3\nclose 1"},
        {"the root itself may be skipped", "<b><x/></b> <!--c-->", "open b\ncomment c"},
        {"attributes are still checked when skipped", "<a><b x></b></a>",
         "open a\nopen b\nerror: Attribute name must be followed by '='."},
        {"/ then whitespace needs a name", "<a><b>a / b</b></a>",
         "open a\nopen b\nerror: Must be a name here"},
        {"end of input in the content", "<a><b>xx", "open a\nopen b\n" + end},
        {"end of input after /", "<a><b>x/", "open a\nopen b\n" + end},
        {"end of input right after the start tag", "<a><b>", "open a\nopen b\n" + end},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Log(c.xml, Mode::Fast, {"b"}), c.events) << c.what;
    }
}

TEST(FastParse, SkipFindsEndTagsAcrossReadBlocks) {
    // The end tag straddles the 1024-byte boundary at every offset around it.
    for (int pad = 1000; pad < 1030; ++pad) {
        std::string xml = "<a><b>" + std::string(static_cast<std::size_t>(pad), 'p') + "</b><c/></a>";
        EXPECT_EQ(Log(xml, Mode::Fast, {"b"}), "open a\nopen b\nopen c\nclose 3\nclose 1") << pad;
    }
}

TEST(FastParse, ParseIgnoresNullHandles) {
    EXPECT_EQ(Log("<a><b x=\"1\">t</b></a>", Mode::Parse, {"b"}),
              "open a\nopen b\nattr x=1\ndata t\nclose null\nclose 1");
}

}  // namespace
