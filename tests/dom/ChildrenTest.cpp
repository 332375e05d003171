#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"

#include <string>
#include <vector>

using namespace CorvaneXML;

namespace {

// Labels of an element's children in list order; each child is an element
// named by its label, a comment holding it, or "data".
std::string Children(const XIXMLElement* element) {
    std::string out;
    for (XIXMLNode* node = element->GetFirstNode(); node != nullptr; node = node->GetNext()) {
        EXPECT_EQ(node->GetParent(), element);
        if (!out.empty()) out += ' ';
        if (XIXMLElement* child = node->AsElement()) {
            out += static_cast<const char*>(child->GetName());
        } else if (XIXMLComment* comment = node->AsComment()) {
            out += comment->GetComment();
        } else {
            out += "data";
        }
    }
    return out;
}

class ElementChildren : public ::testing::Test {
protected:
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLElement* top = root->AddElement("top");
};

}  // namespace

TEST_F(ElementChildren, NewNodesAppendAndKnowTheirPlace) {
    XIXMLNode* p = top->AddElement("p")->AsNode();
    XIXMLNode* q = top->AddComment("q")->AsNode();
    XIXMLNode* r = top->AddElement("r")->AsNode();
    EXPECT_EQ(Children(top), "p q r");
    EXPECT_EQ(p->Index(), 0u);
    EXPECT_EQ(r->Index(), 2u);
    EXPECT_EQ(r->GetNext(), nullptr);

    q->Destroy();
    EXPECT_EQ(Children(top), "p r");
    EXPECT_EQ(p->GetNext(), r);
    EXPECT_EQ(r->Index(), 1u);
    EXPECT_EQ(top->IndexOf(q), 0xFFFFFFFFu);
    EXPECT_EQ(top->IndexOf(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(root->AsNode()->Index(), 0xFFFFFFFFu);
}

TEST_F(ElementChildren, MoveNode) {
    struct Case {
        const char* node;
        const char* before;  // null: to the end
        const char* expected;
    };
    const Case cases[] = {
        {"r", "r", "p q r"},     // before itself
        {"p", "q", "p q r"},     // already in front of it
        {"r", nullptr, "p q r"}, // last to the end
        {"r", "p", "r p q"},
        {"p", nullptr, "q r p"},
        {"q", "p", "q p r"},
        {"p", "r", "q p r"},
        {"r", "q", "p r q"},
    };
    for (const Case& c : cases) {
        XIXMLElement* parent = top->AddElement("case");
        parent->AddElement("p");
        parent->AddElement("q");
        parent->AddElement("r");
        XIXMLNode* node = parent->FindElement(c.node)->AsNode();
        XIXMLNode* before = c.before != nullptr ? parent->FindElement(c.before)->AsNode() : nullptr;
        parent->MoveNode(node, before);
        EXPECT_EQ(Children(parent), c.expected) << c.node << " before " << (c.before ? c.before : "end");
    }
}

TEST_F(ElementChildren, MoveNodeFailures) {
    XIXMLNode* p = top->AddElement("p")->AsNode();
    XIXMLNode* q = top->AddElement("q")->AsNode();
    XIXMLElement* other = root->AddElement("other");
    XIXMLNode* stranger = other->AddElement("s")->AsNode();

    // A node that is not a child: nothing changes anywhere.
    EXPECT_ANY_THROW(top->MoveNode(stranger, p));
    EXPECT_EQ(Children(top), "p q");
    EXPECT_EQ(Children(other), "s");

    // `before` that is not a child: the node is left detached, not destroyed.
    try {
        top->MoveNode(p, stranger);
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "XCXMLElement::MoveNode previous == NULL");
    }
    EXPECT_EQ(Children(top), "q");
    EXPECT_EQ(p->GetParent(), nullptr);
    EXPECT_EQ(p->GetNext(), nullptr);
    top->AddNode(p);
    EXPECT_EQ(Children(top), "q p");
    (void)q;
}

TEST_F(ElementChildren, RemoveAndAddNode) {
    XIXMLElement* p = top->AddElement("p");
    XIXMLNode* q = top->AddElement("q")->AsNode();
    top->AddElement("r");
    XIXMLElement* other = root->AddElement("other");

    EXPECT_ANY_THROW(other->AddNode(q));  // still attached
    EXPECT_EQ(Children(top), "p q r");
    EXPECT_ANY_THROW(other->RemoveNode(q));  // not its child
    EXPECT_EQ(Children(top), "p q r");

    top->RemoveNode(q);
    EXPECT_EQ(Children(top), "p r");
    EXPECT_EQ(q->GetParent(), nullptr);
    EXPECT_EQ(q->GetNext(), nullptr);
    EXPECT_EQ(q->Index(), 0xFFFFFFFFu);
    other->AddNode(q);
    EXPECT_EQ(Children(other), "q");

    // A node whose next link is set is not detached either.
    top->RemoveNode(p->AsNode());
    p->AsNode()->SetNext(q);
    EXPECT_ANY_THROW(other->AddNode(p->AsNode()));
    p->AsNode()->SetNext(nullptr);
    p->Destroy();

    // Claiming a parent without being in its list.
    XIXMLElement* loose = other->AddElement("loose");
    other->RemoveNode(loose->AsNode());
    loose->AsNode()->SetParent(top);
    try {
        top->RemoveNode(loose->AsNode());
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "XCXMLElement::RemoveNode previous == NULL");
    }
    EXPECT_EQ(Children(top), "r");
    loose->AsNode()->SetParent(nullptr);
    loose->Destroy();
}

TEST_F(ElementChildren, AppendingAfterEditsLandsAtTheEnd) {
    top->AddElement("p");
    XIXMLNode* q = top->AddElement("q")->AsNode();
    top->RemoveNode(q);
    top->AddElement("r");
    EXPECT_EQ(Children(top), "p r");
    top->MoveNode(top->GetFirstNode(), nullptr);
    top->AddComment("s");
    EXPECT_EQ(Children(top), "r p s");
    top->FindElement("p")->AsNode()->GetNext()->Destroy();
    top->AddNode(q);
    EXPECT_EQ(Children(top), "r p q");
    // Linked by hand after the last child: appending goes after it.
    XIXMLNode* t = root->AddElement("t")->AsNode();
    root->RemoveNode(t);
    q->SetNext(t);
    t->SetParent(top);
    top->AddElement("u");
    EXPECT_EQ(Children(top), "r p q t u");
}

TEST_F(ElementChildren, AppendingDoesNotWalkEarlierSiblings) {
    // A node that counts how often a list walk passes over it.
    class Counted : public hosttest::HostNode {
    public:
        using HostNode::HostNode;
        XIXMLNode* GetNext() const override {
            ++visits;
            return HostNode::GetNext();
        }
        mutable int visits = 0;
    };
    auto* counted = new Counted(nullptr, "counted");
    top->AddNode(counted);
    XIXMLNode* first = top->AddElement("first")->AsNode();
    const int afterFirstAppend = counted->visits;
    for (int i = 0; i < 50; ++i) top->AddElement("e");
    top->MoveNode(first, nullptr);
    EXPECT_EQ(counted->visits, afterFirstAppend + 1);  // the move looks for its predecessor
}

TEST_F(ElementChildren, CountingAndIndexing) {
    top->AddData("text");
    XIXMLElement* a = top->AddElement("a");
    top->AddComment("c");
    XIXMLElement* b = top->AddElement("b");

    EXPECT_EQ(top->NbElements(), 2u);
    EXPECT_EQ(top->FindFirstElement(), a);
    EXPECT_EQ(top->FindElementByIndex(0), a);
    EXPECT_EQ(top->FindElementByIndex(1), b);
    EXPECT_EQ(top->FindElementByIndex(2), nullptr);
    EXPECT_EQ(top->FindElementByIndex(0xFFFFFFFFu), nullptr);
    EXPECT_EQ(top->IndexOf(b->AsNode()), 3u);
    EXPECT_EQ(b->AsNode()->Index(), 3u);
    EXPECT_EQ(a->NbElements(), 0u);
    EXPECT_EQ(a->FindFirstElement(), nullptr);
    EXPECT_EQ(a->FindElementByIndex(0), nullptr);
}

TEST_F(ElementChildren, SiblingNavigation) {
    XIXMLElement* x1 = top->AddElement("x");
    top->AddComment("between");
    XIXMLElement* y = top->AddElement("y");
    XIXMLElement* x2 = top->AddElement("x");
    top->AddComment("after");

    EXPECT_EQ(x1->NextElement(), y);
    EXPECT_EQ(x1->NextSameElement(), x2);
    EXPECT_EQ(y->NextSameElement(), nullptr);
    EXPECT_EQ(x2->NextSameElement(), nullptr);
    EXPECT_EQ(x2->NextElement(), nullptr);
    EXPECT_EQ(root->NextElement(), nullptr);
    EXPECT_EQ(top->FindElement("y"), y);
    EXPECT_EQ(top->FindElement("x"), x1);
}

TEST_F(ElementChildren, FindElementComparesKeysNotText) {
    XCXMLTree other;
    XIXMLElement* x = top->AddElement("x");
    EXPECT_EQ(top->FindElement(other.GetKey("x")), nullptr);
    EXPECT_EQ(top->FindElement(tree.GetKey("x")), x);

    // Looking up an unknown name interns it.
    EXPECT_EQ(top->FindElement("unknown"), nullptr);
    const XCXMLKey key = top->GetKey("unknown");
    EXPECT_TRUE(key == tree.GetKey("unknown"));
}

TEST_F(ElementChildren, OneDataNodePerElement) {
    top->AddComment("first");
    XIXMLData* data = top->AddData("one");
    try {
        top->AddData("two");
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Only one data node for an element");
    }
    hosttest::ProviderCounts counts;
    auto* provider = new hosttest::CountingProvider(&counts);
    EXPECT_ANY_THROW(top->AddData(provider));
    EXPECT_EQ(counts.destroys, 0);  // refused: still the caller's
    EXPECT_EQ(Children(top), "first data");
    EXPECT_EQ(top->GetData(), data);

    data->AsNode()->Destroy();
    EXPECT_EQ(top->GetData(), nullptr);
    EXPECT_NE(top->AddData(provider), nullptr);
    EXPECT_EQ(Children(top), "first data");
    top->Destroy();
    EXPECT_EQ(counts.destroys, 1);
}
