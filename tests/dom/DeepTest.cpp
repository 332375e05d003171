// Walking a tree must cope with nesting far deeper than the stack could hold
// as recursion.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"
#include "TestStreams.h"

using namespace host;

TEST(DeepDocument, BuildCopyAndDestroyAMillionLevels) {
    constexpr int kDepth = 1000000;
    testsupport::ReportCapture capture;
    Log log;
    auto* source = new XCXMLTree;
    const XCXMLKey name = source->GetKey("n"), attribute = source->GetKey("a");
    // Every hundredth level has an attribute (enough that re-interning by
    // climbing to the root for each would take minutes), every thousandth a comment.
    XIXMLElement* bottom = source->GetRoot();
    for (int level = 0; level < kDepth; ++level) {
        bottom = bottom->AddElement(name);
        if (level % 100 == 0) bottom->AddAttribute(attribute, "v");
        if (level % 1000 == 0) bottom->AddComment("c");
    }
    bottom->AddData("bottom");
    bottom->AddNode(new Node(&log, "leaf"));
    EXPECT_TRUE(bottom->GetKey("n") == name);

    XCXMLTree target;
    XIXMLNode* copy = source->GetRoot()->GetFirstNode()->Copy(target.GetRoot());
    EXPECT_EQ(log, Log{"copy leaf"});
    const XCXMLKey targetName = target.GetKey("n"), targetAttribute = target.GetKey("a");
    int depth = 0;
    XIXMLElement* last = nullptr;
    for (XIXMLElement* element = copy->AsElement(); element != nullptr; element = element->FindFirstElement()) {
        ASSERT_TRUE(element->GetName() == targetName) << depth;
        ASSERT_EQ(element->TestAttribute(targetAttribute, "v"), depth % 100 == 0) << depth;
        ASSERT_EQ(element->GetFirstNode()->AsComment() != nullptr, depth % 1000 == 0) << depth;
        ++depth;
        last = element;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_STREQ(last->GetData()->GetData(), "bottom");

    delete source;
    copy->Destroy();  // a deep element, not the whole document
    EXPECT_EQ(log, (Log{"copy leaf", "leaf", "leaf'"}));
    EXPECT_EQ(target.GetRoot()->GetFirstNode(), nullptr);
    EXPECT_TRUE(capture.reports.empty());
}
