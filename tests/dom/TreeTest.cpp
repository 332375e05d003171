#include "Outline.h"

TEST(Keys, OneKeyPerNameAndDocument) {
    XCXMLTree tree, second;
    XIXMLElement* deep = tree.GetRoot()->AddElement("a")->AddElement("b");
    const XCXMLKey key = tree.GetKey("name");
    EXPECT_TRUE(key == tree.GetRoot()->GetKey("name") && key == deep->GetKey("name"));
    EXPECT_TRUE(key == "name" && !(key == "Name") && !(key == tree.GetKey("other")));
    EXPECT_FALSE(key == second.GetKey("name"));
    EXPECT_FALSE(XCXMLKey() == "");
    EXPECT_NE(Raised([&] { deep->GetKey(nullptr); }), "");
    // Enough names that the table must grow: each keeps the key it got first.
    std::vector<XCXMLKey> keys;
    for (int i = 0; i < 3000; ++i) keys.push_back(tree.GetKey(std::to_string(i).c_str()));
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(keys[i] == tree.GetKey(std::to_string(i).c_str()) && keys[i] == std::to_string(i).c_str()) << i;
    }

    // Elements outside a document have nowhere to intern names.
    auto* loose = new XCXMLElement(nullptr, tree.GetKey("loose"));
    XIXMLElement* child = loose->AddElement(tree.GetKey("child"));
    EXPECT_EQ(Raised([&] { child->AddElement("x"); }), "XCXMLElement::GetKey - element isn't in a tree");
    EXPECT_EQ(child->GetFirstNode(), nullptr);
    tree.GetRoot()->AddNode(loose->AsNode());
    EXPECT_TRUE(child->AddElement("x")->GetName() == tree.GetKey("x"));
}

TEST(Children, MoveNode) {
    struct Case {
        const char *node, *before, *expected;  // before: null for the end; s is not a child
        bool raises;
    } const cases[] = {
        {"r", "r", "c { p q r }", false}, {"p", "q", "c { p q r }", false}, {"r", nullptr, "c { p q r }", false},
        {"r", "p", "c { r p q }", false}, {"p", nullptr, "c { q r p }", false}, {"q", "p", "c { q p r }", false},
        {"p", "r", "c { q p r }", false}, {"r", "q", "c { p r q }", false},
        {"s", "p", "c { p q r }", true},  // not a child: nothing changes
        {"p", "s", "c { q r }", true},    // before is not a child: the node is left detached
    };
    XCXMLTree tree;
    XIXMLElement* other = tree.GetRoot()->AddElement("other");
    XIXMLNode* stranger = other->AddElement("s")->AsNode();
    for (const Case& c : cases) {
        XIXMLElement* parent = tree.GetRoot()->AddElement("c");
        for (const char* name : {"p", "q", "r"}) parent->AddElement(name);
        auto find = [&](const char* name) {
            return name == nullptr ? nullptr : *name == 's' ? stranger : parent->FindElement(name)->AsNode();
        };
        XIXMLNode* node = find(c.node);
        EXPECT_EQ(Raised([&] { parent->MoveNode(node, find(c.before)); }) != "", c.raises) << c.node;
        EXPECT_EQ(Outline(parent), c.expected) << c.node << " before " << (c.before ? c.before : "end");
        EXPECT_EQ(Outline(other), "other { s }");
        if (node->GetParent() == nullptr) {
            EXPECT_EQ(node->GetNext(), nullptr);
            node->Destroy();
        }
    }
}

TEST(Children, AddAndRemoveNodeTakeOnlyDetachedNodesAndOwnChildren) {
    XCXMLTree tree;
    XIXMLElement* top = tree.GetRoot()->AddElement("top");
    XIXMLElement* other = tree.GetRoot()->AddElement("other");
    XIXMLNode* p = top->AddElement("p")->AsNode();
    XIXMLNode* q = top->AddElement("q")->AsNode();
    EXPECT_NE(Raised([&] { other->AddNode(q); }), "");     // attached
    EXPECT_NE(Raised([&] { other->RemoveNode(q); }), "");  // not its child
    top->RemoveNode(p);
    p->SetNext(q);
    EXPECT_NE(Raised([&] { other->AddNode(p); }), "");  // next link still set
    p->SetNext(nullptr);
    EXPECT_EQ(p->Index(), 0xFFFFFFFFu);
    other->AddNode(p);
    EXPECT_EQ(Outline(tree.GetRoot()), " { top { q } other { p } }");
}

// Host nodes stand in the lists too: the library may use nothing but the interfaces.
TEST(Children, CountingIndexingAndNavigation) {
    Notes log;  // outlives the document
    XCXMLTree tree;
    XIXMLElement* top = tree.GetRoot()->AddElement("top");
    top->AddNode(new Node(&log, "h"));
    XIXMLElement* x1 = top->AddElement("x");
    XIXMLNode* c = top->AddComment("c")->AsNode();
    XIXMLElement* y = top->AddElement("y");
    top->AddData("d");
    XIXMLElement* x2 = top->AddElement("x");
    top->AddNode(new Node(&log, "h2"));

    EXPECT_EQ(top->NbElements(), 3u);
    const XIXMLElement* byIndex[] = {x1, y, x2, nullptr};
    for (unsigned int i = 0; i < 4; ++i) EXPECT_EQ(top->FindElementByIndex(i), byIndex[i]) << i;
    EXPECT_EQ(y->FindElementByIndex(0), nullptr);
    const std::pair<const XIXMLElement*, const XIXMLElement*> found[] = {
        {top->FindFirstElement(), x1}, {top->FindElement("x"), x1}, {top->FindElement("y"), y},
        {x1->NextElement(), y}, {x1->NextSameElement(), x2}, {y->NextSameElement(), nullptr},
        {x2->NextElement(), nullptr}};
    for (std::size_t i = 0; i < std::size(found); ++i) EXPECT_EQ(found[i].first, found[i].second) << i;
    EXPECT_EQ(x2->AsNode()->Index(), 5u);

    c->Destroy();
    top->GetFirstNode()->Destroy();
    EXPECT_EQ(Outline(top), "top { x y 'd' x h2 }");
    EXPECT_EQ(x2->AsNode()->Index(), 3u);
    EXPECT_EQ(top->IndexOf(c), 0xFFFFFFFFu);
    EXPECT_EQ(log, Notes{"h"});
}

TEST(Attributes, OrderLookupAndRemoval) {
    XCXMLTree tree, other;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    EXPECT_EQ(e->FindAttribute(""), nullptr);
    XIXMLAttribute* a1 = e->AddAttribute("a", "1");
    e->AddAttribute("b", "2");
    e->AddAttribute("a", "3");
    EXPECT_EQ(e->FindAttribute("a"), a1);
    EXPECT_EQ(e->FindAttribute(""), a1);  // the key of "" stands for the first attribute
    EXPECT_EQ(e->FindAttribute(XCXMLKey()), nullptr);  // the default key does not
    EXPECT_EQ(e->FindAttribute(other.GetKey("a")), nullptr);
    struct Case {
        const char *name, *value;
        bool equal;
    } const cases[] = {{"a", "1", true}, {"", "1", true}, {"b", "2", true}, {"a", "3", false},
                       {"a", "1 ", false}, {"A", "1", false}, {"missing", "1", false}, {"a", nullptr, false}};
    for (const Case& c : cases) EXPECT_EQ(e->TestAttribute(c.name, c.value), c.equal) << c.name;

    XIXMLAttribute* foreign = other.GetRoot()->AddAttribute("f", "0");
    EXPECT_NE(Raised([&] { e->RemoveAttribute(foreign); }), "");
    EXPECT_EQ(Outline(e), "e a=1 b=2 a=3");
    const std::pair<int, const char*> steps[] = {{1, "e a=1 a=3"}, {0, "e a=3"}, {0, "e"}};
    for (const auto& [position, expected] : steps) {
        XIXMLAttribute* victim = e->GetFirstAttribute();
        if (position == 1) victim = victim->GetNext();
        victim->Destroy();
        EXPECT_EQ(Outline(e), expected);
    }
}

// Appending remembers where the lists end; every edit must keep that right,
// including links set by hand, and appending must not walk earlier siblings.
TEST(Children, AppendingAfterEditsLandsAtTheEnd) {
    Notes log;  // outlives the tree, whose host node reports to it when destroyed
    XCXMLTree tree;
    XIXMLElement* top = tree.GetRoot()->AddElement("top");
    top->AddElement("p");
    XIXMLNode* q = top->AddElement("q")->AsNode();
    top->RemoveNode(q);
    top->AddElement("r");
    top->MoveNode(top->GetFirstNode(), nullptr);
    top->AddComment("s");
    EXPECT_EQ(Outline(top), "top { r p #s }");
    top->FindElement("p")->AsNode()->GetNext()->Destroy();
    top->AddNode(q);
    XIXMLNode* t = tree.GetRoot()->AddElement("t")->AsNode();
    tree.GetRoot()->RemoveNode(t);
    q->SetNext(t);  // linked by hand after the last child
    t->SetParent(top);
    top->AddElement("u");
    EXPECT_EQ(Outline(top), "top { r p q t u }");

    XIXMLAttribute* b = top->AddAttribute("a", "1")->GetNode()->AddAttribute("b", "2");
    top->RemoveAttribute(b);  // still names top and has no next
    XIXMLAttribute* c = top->AddAttribute("c", "3");
    c->SetNext(b);  // linked back by hand
    top->AddAttribute("d", "4");
    EXPECT_EQ(Outline(top), "top a=1 c=3 b=2 d=4 { r p q t u }");

    struct Counted : Node {
        using Node::Node;
        XIXMLNode* GetNext() const override {
            ++visits;
            return Node::GetNext();
        }
        mutable int visits = 0;
    };
    auto* counted = new Counted(&log, "counted");
    top->AddNode(counted);
    top->AddElement("v");
    XIXMLNode* last = top->AddElement("w")->AsNode();
    top->RemoveNode(last);  // finding it walks the list; appending after it must not
    last->Destroy();
    const int visits = counted->visits;
    for (int i = 0; i < 50; ++i) top->AddElement("w");
    EXPECT_EQ(counted->visits, visits);
}
