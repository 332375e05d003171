#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"
#include "TestStreams.h"

#include <string>

using namespace CorvaneXML;

TEST(NodeFaces, EachKindConvertsOnlyToItself) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLElement* element = root->AddElement("e");
    XIXMLNode* nodes[] = {
        element->AsNode(),
        element->AddData("t")->AsNode(),
        root->AddDocType(tree.GetKey("e"), nullptr, nullptr, nullptr)->AsNode(),
        root->AddComment("c")->AsNode(),
        root->AddPI("p", "i")->AsNode(),
    };
    for (int kind = 0; kind < 5; ++kind) {
        XIXMLNode* node = nodes[kind];
        EXPECT_EQ(node->AsElement() != nullptr, kind == 0) << kind;
        EXPECT_EQ(node->AsData() != nullptr, kind == 1) << kind;
        EXPECT_EQ(node->AsDocType() != nullptr, kind == 2) << kind;
        EXPECT_EQ(node->AsComment() != nullptr, kind == 3) << kind;
        EXPECT_EQ(node->AsPI() != nullptr, kind == 4) << kind;
    }
    EXPECT_EQ(element->AsNode()->AsElement(), element);
    EXPECT_EQ(nodes[1]->AsData()->AsNode(), nodes[1]);
    EXPECT_EQ(nodes[2]->AsDocType()->AsNode(), nodes[2]);
    EXPECT_EQ(nodes[3]->AsComment()->AsNode(), nodes[3]);
    EXPECT_EQ(nodes[4]->AsPI()->AsNode(), nodes[4]);
    EXPECT_EQ(root->AsNode()->AsElement(), root);
}

TEST(NodeFaces, DetachedNodeHasNoLinks) {
    auto* comment = new XCXMLComment(nullptr, "alone");
    EXPECT_EQ(comment->GetParent(), nullptr);
    EXPECT_EQ(comment->GetNext(), nullptr);
    EXPECT_EQ(comment->Index(), 0xFFFFFFFFu);
    comment->AsNode()->Destroy();
}

TEST(NodeFaces, FailedConstructionLeavesTheParentAsItWas) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    e->AddComment("kept");
    EXPECT_ANY_THROW(e->AddComment(nullptr));
    EXPECT_ANY_THROW(e->AddPI("p", nullptr));
    EXPECT_ANY_THROW(e->AddPI(nullptr, "i"));
    EXPECT_ANY_THROW(e->AddData(static_cast<const char*>(nullptr)));
    EXPECT_ANY_THROW(e->AddData(static_cast<XIXMLData::IXMLCData*>(nullptr)));
    ASSERT_NE(e->GetFirstNode(), nullptr);
    EXPECT_EQ(e->GetFirstNode()->GetNext(), nullptr);
    EXPECT_EQ(e->GetData(), nullptr);
}

// Destroying a node must never throw; an unlinking failure is reported with
// the class that met it, and the node is released anyway.
TEST(DestructorReports, NodeWithAForgedParentLink) {
    testsupport::ReportCapture capture;
    XCXMLTree tree;
    XIXMLElement* a = tree.GetRoot()->AddElement("a");
    XIXMLElement* b = tree.GetRoot()->AddElement("b");
    XIXMLComment* comment = a->AddComment("c");
    a->RemoveNode(comment->AsNode());
    comment->AsNode()->SetParent(b);
    EXPECT_NO_THROW(comment->AsNode()->Destroy());
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0].first, 0);
    EXPECT_EQ(capture.reports[0].second,
              "XCXMLNode::~XCXMLNode: Exception in destructor "
              "(XCXMLElement::RemoveNode previous == NULL)");
}

TEST(DestructorReports, ChildThatFailsStopsItsParentOnly) {
    // a { x { bad, lost }, y }: bad's failure stops x's destruction (lost is
    // abandoned) but a goes on with y.
    testsupport::ReportCapture capture;
    hosttest::Log log;
    auto* bad = new hosttest::HostNode(&log, "bad");
    auto* lost = new hosttest::HostNode(&log, "lost");
    auto* y = new hosttest::HostNode(&log, "y");
    {
        XCXMLTree tree;
        XIXMLElement* a = tree.GetRoot()->AddElement("a");
        XIXMLElement* x = a->AddElement("x");
        x->AddNode(bad);
        x->AddNode(lost);
        a->AddNode(y);
        bad->failDestroy = true;
    }
    EXPECT_EQ(log, hosttest::Log{"y"});
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0].first, 0);
    EXPECT_EQ(capture.reports[0].second,
              "XCXMLElement::~XCXMLElement: Exception in destructor (host node refuses: bad)");
    delete bad;
    delete lost;
}

TEST(DestructorReports, AttributeUnlinkedByHand) {
    testsupport::ReportCapture capture;
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLAttribute* a = e->AddAttribute("a", "1");
    XIXMLAttribute* b = e->AddAttribute("b", "2");
    e->RemoveAttribute(a);
    EXPECT_EQ(e->GetFirstAttribute(), b);
    EXPECT_EQ(a->GetNext(), b);
    EXPECT_EQ(a->GetNode(), e);
    EXPECT_NO_THROW(a->Destroy());
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0].second,
              "XCXMLAttribute::~XCXMLAttribute: Exception in destructor "
              "(XCXMLElement::RemoveAttribute previous == NULL)");
    EXPECT_EQ(e->GetFirstAttribute(), b);
}
