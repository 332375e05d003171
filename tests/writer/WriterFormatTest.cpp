// Trees built through the API and the exact bytes they must be written as.

#include "WriterFixtures.h"

#include <TestStreams.h>
#include <gtest/gtest.h>

namespace writertest {
namespace {

struct FormatCase {
    const char* label;
    void (*build)(XIXMLElement* root);
    const char* expected;  // what XCXMLTree::Write sends
};

const FormatCase kDocuments[] = {
    {"no top-level node", [](XIXMLElement*) {}, "\n"},
    {"empty element", [](XIXMLElement* r) { r->AddElement("a"); }, "<a/>\n"},
    {"one attribute stays on the tag's line",
     [](XIXMLElement* r) { r->AddElement("e")->AddAttribute("x", "1"); }, "<e x=\"1\"/>\n"},
    {"two attributes one level below the element",
     [](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("a")->AddElement("e");
         e->AddAttribute("x", "1");
         e->AddAttribute("y", "2");
         e->AddElement("c");
     },
     "<a>\n\t<e\n\t\t x=\"1\"\n\t\t y=\"2\">\n\t\t<c/>\n\t</e>\n</a>\n"},
    {"comment child", [](XIXMLElement* r) { r->AddElement("e")->AddComment("c"); },
     "<e>\n\t<!--c-->\n</e>\n"},
    {"text then element",
     [](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("e");
         e->AddData("t");
         e->AddElement("c");
     },
     "<e>t<c/>\n</e>\n"},
    {"element then text",
     [](XIXMLElement* r) {
         XIXMLElement* e = r->AddElement("e");
         e->AddElement("c");
         e->AddData("t");
     },
     "<e>\n\t<c/>t</e>\n"},
    {"empty text", [](XIXMLElement* r) { r->AddElement("e")->AddData(""); }, "<e></e>\n"},
    {"text escapes & < > only",
     [](XIXMLElement* r) { r->AddElement("e")->AddData("\"'<&]]>"); },
     "<e>\"'&lt;&amp;]]&gt;</e>\n"},
    {"text bytes pass unchanged",
     [](XIXMLElement* r) { r->AddElement("e")->AddData("\t\r\n\x01\xC3\xA9\xFF"); },
     "<e>\t\r\n\x01\xC3\xA9\xFF</e>\n"},
    {"attribute value escapes \" & < > but not the apostrophe",
     [](XIXMLElement* r) { r->AddElement("e")->AddAttribute("a", "\"<>&'\t"); },
     "<e a=\"&quot;&lt;&gt;&amp;'\t\"/>\n"},
    {"markup texts are not escaped",
     [](XIXMLElement* r) {
         r->AddComment("<&>\"");
         r->AddPI("p", "a<b&c>\"");
         r->AddDocType(r->GetKey("d"), nullptr, "s&<", "<!ENTITY e \"&\">");
     },
     "<!--<&>\"-->\n<?p a<b&c>\"?>\n<!DOCTYPE d SYSTEM \"s&<\" [<!ENTITY e \"&\">]>\n"},
    {"doctype public without system gets an empty system literal",
     [](XIXMLElement* r) { r->AddDocType(r->GetKey("d"), "p", nullptr, nullptr); },
     "<!DOCTYPE d PUBLIC \"p\" \"\">\n"},
    {"doctype with everything",
     [](XIXMLElement* r) { r->AddDocType(r->GetKey("d"), "p", "s", "x"); },
     "<!DOCTYPE d PUBLIC \"p\" \"s\" [x]>\n"},
    {"doctype subset only",
     [](XIXMLElement* r) { r->AddDocType(r->GetKey("d"), nullptr, nullptr, "x"); },
     "<!DOCTYPE d [x]>\n"},
    {"doctype name only",
     [](XIXMLElement* r) { r->AddDocType(r->GetKey("d"), nullptr, nullptr, nullptr); },
     "<!DOCTYPE d>\n"},
    {"doctype empty strings count as present",
     [](XIXMLElement* r) { r->AddDocType(r->GetKey("d"), nullptr, "", ""); },
     "<!DOCTYPE d SYSTEM \"\" []>\n"},
    {"processing instruction with empty data",
     [](XIXMLElement* r) { r->AddPI("t", ""); }, "<?t ?>\n"},
    {"only a comment", [](XIXMLElement* r) { r->AddComment(" x "); }, "<!-- x -->\n"},
    {"root attributes are never written",
     [](XIXMLElement* r) {
         r->AddAttribute("hidden", "1");
         r->AddElement("a");
     },
     "<a/>\n"},
    {"document ends with a line feed even after text",
     [](XIXMLElement* r) {
         r->AddComment("c");
         r->AddData("t");
     },
     "<!--c-->t\n"},
    {"note example", [](XIXMLElement* r) { BuildNote(r); }, kNoteText},
};

TEST(WriterFormat, DocumentsAreWrittenByteForByte) {
    for (const FormatCase& c : kDocuments) {
        SCOPED_TRACE(c.label);
        XCXMLTree tree;
        c.build(tree.GetRoot());
        testsupport::StringWriteStream stream;
        tree.Write(&stream);
        EXPECT_EQ(stream.text, c.expected);

        // The root element writes the same document, and writing changes
        // nothing: a second write gives the same bytes.
        testsupport::StringWriteStream again;
        tree.GetRoot()->Write(&again);
        EXPECT_EQ(again.text, c.expected);
    }
}

TEST(WriterFormat, NoteExampleWithCDataSection) {
    XCXMLTree tree;
    BuildNote(tree.GetRoot(), new BodyProvider("Tove", true, nullptr));
    testsupport::StringWriteStream stream;
    tree.Write(&stream);
    std::string expected = kNoteText;
    const std::string line7 = "\t<to>Tove</to>\n";
    expected.replace(expected.find(line7), line7.size(), "\t<to><![CDATA[Tove]]>\n\t</to>\n");
    EXPECT_EQ(stream.text, expected);
}

TEST(WriterFormat, ElementWriteStartsAtDepthZeroWithoutFinalLineFeed) {
    XCXMLTree tree;
    BuildNote(tree.GetRoot());
    XIXMLElement* note = tree.GetRoot()->FindElement("note");
    ASSERT_NE(note, nullptr);

    struct {
        const XIXMLElement* element;
        const char* expected;
    } const cases[] = {
        {note->FindElement("list"), "<list>\n\t<item/>\n</list>"},
        {note->FindElement("list")->FindElement("item"), "<item/>"},
        {note->FindElement("to"), "<to>Tove</to>"},
        {note->FindElement("empty"), "<empty x=\"1\"/>"},
        {note,
         "<note\n\t id=\"7\"\n\t lang=\"en\">\n\t<to>Tove</to>\n"
         "\t<body>a &lt; b &amp; \"c\"</body>\n\t<empty x=\"1\"/>\n"
         "\t<list>\n\t\t<item/>\n\t</list>\n</note>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        ASSERT_NE(c.element, nullptr);
        testsupport::StringWriteStream stream;
        c.element->Write(&stream);
        EXPECT_EQ(stream.text, c.expected);
    }
}

// A node the host implements itself, standing among the library's nodes:
// it writes nothing and notes the depth and the output length at its turn.
struct Visit {
    int depth;
    std::size_t offset;
};

class HostNode : public XCXMLNode {
public:
    HostNode(XIXMLElement* parent, const std::string* output, std::vector<Visit>* visits)
        : XCXMLNode(parent), output_(output), visits_(visits) {}
    void WriteTo(XCXMLWriter* writer, int depth) const override {
        EXPECT_NE(writer, nullptr);
        visits_->push_back({depth, output_->size()});
    }
    XIXMLNode* Copy(XIXMLElement*) const override { return nullptr; }

private:
    const std::string* output_;
    std::vector<Visit>* visits_;
};

// A host class derived from the library's element that writes itself its
// own way: its override must be the one that runs.
class HostElement : public XCXMLElement {
public:
    HostElement(XIXMLElement* parent, const XCXMLKey& name, const std::string* output,
                std::vector<Visit>* visits)
        : XCXMLElement(parent, name), output_(output), visits_(visits) {}
    void WriteTo(XCXMLWriter*, int depth) const override {
        visits_->push_back({depth, output_->size()});
    }

private:
    const std::string* output_;
    std::vector<Visit>* visits_;
};

TEST(WriterFormat, HostNodesWriteThemselvesAtTheirDepth) {
    XCXMLTree tree;
    testsupport::StringWriteStream stream;
    std::vector<Visit> visits;
    XIXMLElement* a = tree.GetRoot()->AddElement("a");
    new HostNode(a, &stream.text, &visits);
    XIXMLElement* b = a->AddElement("b");
    auto* hostElement = new HostElement(b, tree.GetKey("h"), &stream.text, &visits);
    hostElement->AddElement("hidden");
    new HostNode(b, &stream.text, &visits);

    tree.Write(&stream);
    EXPECT_EQ(stream.text, "<a>\n\t<b>\n\t</b>\n</a>\n");
    ASSERT_EQ(visits.size(), 3u);
    EXPECT_EQ(visits[0].depth, 1);
    EXPECT_EQ(visits[0].offset, 3u);
    EXPECT_EQ(visits[1].depth, 2);
    EXPECT_EQ(visits[1].offset, 8u);
    EXPECT_EQ(visits[2].depth, 2);
    EXPECT_EQ(visits[2].offset, 8u);
}

}  // namespace
}  // namespace writertest
