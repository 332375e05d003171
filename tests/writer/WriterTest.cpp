// Trees built through the API against the exact bytes they are written as,
// the stream-call discipline, providers and host nodes.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "Hosts.h"
#include "TestStreams.h"

#include <numeric>

using namespace testsupport;

namespace {

// A host class derived from the library's element that writes itself: only
// a note.
struct HostElement : XCXMLElement {
    HostElement(XIXMLElement* parent, const XCXMLKey& name, Notes* log) : XCXMLElement(parent, name), log(log) {}
    void WriteTo(XCXMLWriter*, int depth) const override { log->push_back("element at " + std::to_string(depth)); }
    Notes* log;
};

TEST(Writer, TreesAreWrittenByteForByte) {
    const std::pair<void (*)(XIXMLElement*), const char*> cases[] = {
        {[](XIXMLElement*) {}, "\n"},
        // One attribute stays on the tag's line, several go one level below the
        // element; text keeps the next tag on its line, an element does not.
        {[](XIXMLElement* r) {
             XIXMLElement* a = r->AddElement("a");
             XIXMLElement* e = a->AddElement("e");
             e->AddAttribute("x", "1");
             e->AddAttribute("y", "2");
             e->AddElement("c")->AddAttribute("z", "3");
             a->AddData("t");
             a->AddElement("d");
         },
         "<a>\n\t<e\n\t\t x=\"1\"\n\t\t y=\"2\">\n\t\t<c z=\"3\"/>\n\t</e>t<d/>\n</a>\n"},
        // Values escape " & < > but not the apostrophe, text & < > only; empty text.
        {[](XIXMLElement* r) {
             XIXMLElement* e = r->AddElement("e");
             e->AddAttribute("a", "\"<>&'\t");
             e->AddData("\"'<&]]>\xC3\xA9");
             r->AddElement("f")->AddData("");
         },
         "<e a=\"&quot;&lt;&gt;&amp;'\t\">\"'&lt;&amp;]]&gt;\xC3\xA9</e>\n<f></f>\n"},
        // Markup texts are not escaped; a public id always has a system literal
        // after it; empty strings count as present.
        {[](XIXMLElement* r) {
             r->AddComment("<&>\"");
             r->AddPI("p", "a<b&c>\"");
             r->AddPI("t", "");
             const XCXMLKey d = r->GetKey("d");
             r->AddDocType(d, nullptr, "s&<", "<!ENTITY e \"&\">");
             r->AddDocType(d, "p", nullptr, nullptr);
             r->AddDocType(d, "p", "s", "x");
             r->AddDocType(d, nullptr, nullptr, "x");
             r->AddDocType(d, nullptr, "", "");
         },
         "<!--<&>\"-->\n<?p a<b&c>\"?>\n<?t ?>\n<!DOCTYPE d SYSTEM \"s&<\" [<!ENTITY e \"&\">]>\n"
         "<!DOCTYPE d PUBLIC \"p\" \"\">\n<!DOCTYPE d PUBLIC \"p\" \"s\" [x]>\n<!DOCTYPE d [x]>\n"
         "<!DOCTYPE d SYSTEM \"\" []>\n"},
        // Root attributes are never written; the document always ends with a line feed.
        {[](XIXMLElement* r) {
             r->AddAttribute("hidden", "1");
             r->AddComment("c");
             r->AddData("t");
         },
         "<!--c-->t\n"},
    };
    for (const auto& c : cases) {
        XCXMLTree tree;
        c.first(tree.GetRoot());
        EXPECT_EQ(Written(tree), c.second);
    }
}

// The provider writes its body between the section's marks, through the
// host's stream, told its depth and its node; a section ends no line.
TEST(Writer, ProvidersWriteTheirOwnBody) {
    XCXMLTree tree;
    auto* provider = new Provider("Tove");
    const XIXMLData* data = tree.GetRoot()->AddElement("note")->AddElement("to")->AddData(provider);
    StringWriteStream stream;
    tree.Write(&stream);
    EXPECT_EQ(stream.text, "<note>\n\t<to><![CDATA[Tove]]>\n\t</to>\n</note>\n");
    EXPECT_EQ(provider->stream, &stream);
    EXPECT_EQ(provider->depth, 2);
    EXPECT_EQ(provider->node, data->AsNode());
    // A provider answering false raises after its output.
    provider->result = false;
    StringWriteStream refused;
    EXPECT_EQ(Raised([&] { tree.Write(&refused); }), "CvThrow::SiFaux");
    EXPECT_EQ(refused.text, "<note>\n\t<to><![CDATA[Tove");
}

TEST(Writer, OneCallPerTokenAndAShortAnswerStopsWithTheEarlierBytes) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("ab");
    e->AddAttribute("k", "vw&");
    e->AddData("t<");
    e->AddComment("");
    StringWriteStream full;
    tree.Write(&full);
    EXPECT_EQ(full.text, "<ab k=\"vw&amp;\">t&lt;<!---->\n</ab>\n");
    // < ab ␠ k = " v w &amp; " > t &lt; <!-- (empty) --> \n </ ab > \n
    EXPECT_EQ(full.calls, (std::vector<std::uint64_t>{1, 2, 1, 1, 1, 1, 1, 1, 5, 1, 1, 1, 4, 4, 0, 3, 1, 2, 2, 1, 1}));
    // The k-th call answers one byte short, or 1 to the size-0 call.
    for (std::size_t k = 1; k <= full.calls.size(); ++k) {
        StringWriteStream stream;
        stream.failAt = k;
        EXPECT_EQ(Raised([&] { tree.Write(&stream); }), "Can't write character") << k;
        EXPECT_EQ(stream.calls.size(), k);
        EXPECT_EQ(stream.text, full.text.substr(0, std::accumulate(full.calls.begin(), full.calls.begin() + k - 1,
                                                                   std::uint64_t{0})));
    }
}

TEST(Writer, HostNodesWriteThemselvesAtTheirDepth) {
    Notes log;  // outlives the document, whose host nodes report to it
    XCXMLTree tree;
    XIXMLElement* a = tree.GetRoot()->AddElement("a");
    a->AddNode(new Node(&log, "h1"));
    XIXMLElement* b = a->AddElement("b");
    (new HostElement(b, tree.GetKey("h"), &log))->AddElement("hidden");
    b->AddNode(new Node(&log, "h2"));
    EXPECT_EQ(Written(tree), "<a><b></b>\n</a>\n");
    EXPECT_EQ(log, (Notes{"h1 at 1", "element at 2", "h2 at 2"}));
}

}  // namespace
