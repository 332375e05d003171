// Deleting a read document after each kind of change a host can make to it.
// A document as read goes in one sweep; a change that leaves something to
// undo must still have it undone: host objects destroyed once, texts set
// since reading freed, nodes taken out left alive. The sanitizer build finds
// what would leak or be freed twice.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace CorvaneXML;
using namespace testsupport;

// Host objects of each kind that count their destruction.
int destroyed = 0;

class CountedNode : public Node {
public:
    CountedNode() : Node("counted") {}
    ~CountedNode() override { ++destroyed; }
};

class CountedElement : public XCXMLElement {
public:
    using XCXMLElement::XCXMLElement;
    ~CountedElement() override { ++destroyed; }
};

class CountedAttribute : public XCXMLAttribute {
public:
    using XCXMLAttribute::XCXMLAttribute;
    ~CountedAttribute() override { ++destroyed; }
};

class CountedProvider : public Provider {
public:
    CountedProvider() : Provider("body") {}
    ~CountedProvider() override { ++destroyed; }
};

// Markup at every level, and a value and a text too long to share a chunk.
std::string Document() {
    return "<?xml version=\"1.0\"?><!DOCTYPE doc SYSTEM \"doc.dtd\"><!-- top -->"
           "<doc a=\"1\" b=\"2\"><!-- in doc --><p id=\"p\">text<!-- in p --></p><q/><r v=\"" +
           std::string(70000, 'v') + "\">" + std::string(9000, 't') + "</r></doc>";
}

XIXMLElement* Doc(XCXMLTree& tree) { return tree.GetRoot()->FindElement("doc"); }
XIXMLElement* P(XCXMLTree& tree) { return Doc(tree)->FindElement("p"); }

struct Change {
    const char* name;
    // Changes the tree; sets `out` to a node it takes out of it.
    std::function<void(XCXMLTree& tree, XIXMLNode*& out)> apply;
    int hostObjects;  // destroyed with the document
};

TEST(Deleting, EveryChangeIsUndoneOnceAndNothingElse) {
    const std::vector<Change> changes = {
        {"none", [](XCXMLTree&, XIXMLNode*&) {}, 0},
        {"host node added", [](XCXMLTree& t, XIXMLNode*&) { P(t)->AddNode(new CountedNode); }, 1},
        {"host element made under an element",
         [](XCXMLTree& t, XIXMLNode*&) { new CountedElement(P(t), t.GetKey("e")); }, 1},
        {"host node linked by hand",
         [](XCXMLTree& t, XIXMLNode*&) {
             XIXMLNode* node = new CountedNode;
             Doc(t)->FindElement("r")->AsNode()->SetNext(node);
             node->SetParent(Doc(t));
         },
         1},
        {"host attribute linked by hand",
         [](XCXMLTree& t, XIXMLNode*&) {
             XIXMLAttribute* b = Doc(t)->FindAttribute("b");
             b->SetNext(new CountedAttribute(Doc(t), t.GetKey("c"), "3"));
         },
         1},
        {"provider added", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->FindElement("q")->AddData(new CountedProvider); },
         1},
        {"value set", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->FindAttribute("a")->SetValue("new"); }, 0},
        {"text set", [](XCXMLTree& t, XIXMLNode*&) { P(t)->GetData()->SetData("new"); }, 0},
        {"comment set", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->GetFirstNode()->AsComment()->SetComment("new"); }, 0},
        {"element added", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->AddElement("new"); }, 0},
        {"attribute added", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->AddAttribute("n", "v"); }, 0},
        {"text added", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->FindElement("q")->AddData("new"); }, 0},
        {"element taken out",
         [](XCXMLTree& t, XIXMLNode*& out) {
             out = P(t)->AsNode();
             Doc(t)->RemoveNode(out);
         },
         0},
        {"text taken out",
         [](XCXMLTree& t, XIXMLNode*& out) {
             out = P(t)->GetFirstNode();
             P(t)->RemoveNode(out);
         },
         0},
        {"node moved", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->MoveNode(P(t)->AsNode(), nullptr); }, 0},
        {"comment destroyed", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->GetFirstNode()->Destroy(); }, 0},
        {"element with markup destroyed", [](XCXMLTree& t, XIXMLNode*&) { P(t)->Destroy(); }, 0},
        {"plain element destroyed", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->FindElement("r")->Destroy(); }, 0},
        {"attribute destroyed", [](XCXMLTree& t, XIXMLNode*&) { Doc(t)->FindAttribute("b")->Destroy(); }, 0},
        {"attribute taken out and destroyed",
         [](XCXMLTree& t, XIXMLNode*&) {
             XIXMLAttribute* a = Doc(t)->FindAttribute("a");
             Doc(t)->RemoveAttribute(a);
             a->Destroy();  // reported: the element no longer lists it
         },
         0},
    };
    CXMLTreeReader reader;
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        std::unique_ptr<XCXMLTree> tree = ReadTree(reader, Document());
        destroyed = 0;
        ReportCapture reports;
        XIXMLNode* out = nullptr;
        change.apply(*tree, out);
        tree.reset();
        EXPECT_EQ(destroyed, change.hostObjects);
        if (out == nullptr) continue;
        // Taken out before the document went, it is whole: its text, or its
        // element's text, is still there to be read.
        const XIXMLData* data = out->AsData() ? out->AsData() : out->AsElement()->GetData();
        EXPECT_STREQ(data->GetData(), "text");
        out->Destroy();
        EXPECT_TRUE(reports.reports.empty());
    }
}

}  // namespace
