#include "Outline.h"

TEST(Copy, IntoAnotherDocumentReinternsEveryName) {
    Notes log;  // outlives the documents
    XCXMLTree source, target;
    XIXMLElement* root = source.GetRoot();
    root->AddDocType(source.GetKey("top"), "pub", "sys", nullptr);
    XIXMLElement* top = root->AddElement("top");
    top->AddAttribute("z", "1");
    top->AddData("text");
    XIXMLElement* mid = top->AddElement("mid");
    mid->AddComment("note");
    mid->AddElement("leaf")->AddAttribute("k", "v");
    mid->AddNode(new Node(&log, "n"));
    mid->AddPI("pi", "go");
    top->AddElement("mid");
    for (XIXMLNode* node = root->GetFirstNode(); node != nullptr; node = node->GetNext()) {
        node->Copy(target.GetRoot());
    }
    EXPECT_EQ(Outline(target.GetRoot()),
              " { !top top z=1 { 'text' mid { #note leaf k=v n' ?pi } mid } }");
    XIXMLElement* copy = target.GetRoot()->FindElement("top");
    EXPECT_TRUE(copy->GetName() == target.GetKey("top") && !(copy->GetName() == source.GetKey("top")));
    EXPECT_TRUE(copy->FindElement("mid")->FindFirstElement()->GetFirstAttribute()->GetName() == target.GetKey("k"));
    EXPECT_TRUE(target.GetRoot()->GetFirstNode()->AsDocType()->GetToken() == target.GetKey("top"));
    top->Destroy();  // the copy stands on its own
    EXPECT_STREQ(copy->GetData()->GetData(), "text");
    EXPECT_EQ(log, (Notes{"copy n", "n"}));
}

TEST(Copy, RefusalsAndPartialCopies) {
    Notes log;  // outlives the document
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLElement* a = root->AddElement("a");
    XIXMLElement* b = a->AddElement("b");
    auto* loose = new XCXMLElement(nullptr, tree.GetKey("loose"));
    const std::string before = Outline(root);
    // The root has no name; an element cannot go into its own subtree.
    for (auto [node, into] : {std::pair{root, a}, {a, a}, {a, b}, {a, nullptr}}) {
        EXPECT_NE(Raised([&] { node->AsNode()->Copy(into); }), "");
    }
    for (XIXMLNode* node : {b->AddData("d")->AsNode(), b->AddComment("c")->AsNode(), b->AddPI("p", "")->AsNode(),
                            b->AddDocType(tree.GetKey("t"), nullptr, nullptr, nullptr)->AsNode()}) {
        EXPECT_NE(Raised([&] { node->Copy(nullptr); }), "");
        node->Destroy();
    }
    EXPECT_EQ(Raised([&] { a->AsNode()->Copy(loose); }), "XCXMLElement::GetKey - element isn't in a tree");
    EXPECT_EQ(loose->GetFirstNode(), nullptr);
    loose->Destroy();
    EXPECT_EQ(Outline(root), before);

    // What was copied before a failure stays.
    a->AddAttribute("x", "1");
    b->AddElement("inner");
    a->AddData("d");
    a->AddNode(new Node(&log, "uncopyable"));
    a->AddElement("never");
    XIXMLElement* dest = root->AddElement("dest");
    EXPECT_EQ(Raised([&] { a->AsNode()->Copy(dest); }), "no copy");
    EXPECT_EQ(Outline(dest), "dest { a x=1 { b { inner } 'd' } }");
}

// Attributes go before children, and each child is taken apart completely
// before its next sibling. A child that fails to go abandons the rest of its
// parent only, and is reported; destruction goes on.
TEST(Destruction, OrderAndFailuresReported) {
    testsupport::ReportCapture capture;
    Notes log;
    auto* bad = new Node(&log, "bad");
    auto* lost = new Node(&log, "lost");
    {
        XCXMLTree tree;
        XIXMLElement* a = tree.GetRoot()->AddElement("a");
        a->AddNode(new Node(&log, "1"));
        XIXMLElement* b = a->AddElement("b");
        b->AddNode(new Node(&log, "2"));
        XIXMLElement* c = b->AddElement("c");
        for (XIXMLNode* node : {new Node(&log, "3"), bad, lost}) c->AddNode(node);
        b->AddNode(new Node(&log, "4"));
        a->AddNode(new Node(&log, "5"));
        tree.GetRoot()->AddNode(new Node(&log, "6"));
        for (XIXMLElement* element : {tree.GetRoot(), a, b, c}) element->AddAttribute("x", "");
        bad->fail = true;
    }
    EXPECT_EQ(log, (Notes{"1", "2", "3", "4", "5", "6"}));
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0], std::make_pair(0, std::string("XCXMLElement::~XCXMLElement: "
                                                                "Exception in destructor (host node refuses: bad)")));
    delete bad;
    delete lost;
}

// Broken links found while destroying are reported, never thrown.
TEST(Destruction, BrokenLinksAreReported) {
    testsupport::ReportCapture capture;
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLNode* comment = e->AddComment("c")->AsNode();
    e->RemoveNode(comment);
    comment->SetParent(tree.GetRoot());  // claims a parent whose list does not hold it
    EXPECT_EQ(Raised([&] { comment->Destroy(); }), "");
    XIXMLAttribute* a = e->AddAttribute("a", "1");
    XIXMLAttribute* b = e->AddAttribute("b", "2");
    e->RemoveAttribute(a);  // unlinks it but leaves its own links alone
    EXPECT_EQ(e->GetFirstAttribute(), b);
    EXPECT_TRUE(a->GetNext() == b && a->GetNode() == e);
    EXPECT_EQ(Raised([&] { a->Destroy(); }), "");
    EXPECT_EQ(e->GetFirstAttribute(), b);
    const std::vector<std::pair<int, std::string>> expected = {
        {0, "XCXMLNode::~XCXMLNode: Exception in destructor (XCXMLElement::RemoveNode previous == NULL)"},
        {0, "XCXMLAttribute::~XCXMLAttribute: Exception in destructor "
            "(XCXMLElement::RemoveAttribute previous == NULL)"}};
    EXPECT_EQ(capture.reports, expected);
}
