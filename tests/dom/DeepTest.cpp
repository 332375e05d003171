// Every operation that walks a tree must cope with nesting far deeper than
// the stack could hold as recursion.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"
#include "TestStreams.h"

using namespace CorvaneXML;

namespace {

constexpr int kDepth = 1000000;

// Builds `depth` nested elements under `parent`, every hundredth with an
// attribute and every thousandth with a comment before its child; returns
// the deepest. (Enough attributes that a copy re-interning names by climbing
// to the root for each of them would take minutes, not seconds.)
XIXMLElement* BuildChain(XIXMLElement* parent, int depth, const XCXMLKey& name,
                         const XCXMLKey& attribute) {
    XIXMLElement* element = parent;
    for (int level = 0; level < depth; ++level) {
        element = element->AddElement(name);
        if (level % 100 == 0) element->AddAttribute(attribute, "v");
        if (level % 1000 == 0) element->AddComment("c");
    }
    return element;
}

}  // namespace

TEST(DeepDocument, BuildCopyAndDestroyAMillionLevels) {
    testsupport::ReportCapture capture;
    hosttest::Log log;
    auto* source = new XCXMLTree;
    const XCXMLKey name = source->GetKey("n");
    const XCXMLKey attribute = source->GetKey("a");
    XIXMLElement* bottom = BuildChain(source->GetRoot(), kDepth, name, attribute);
    XIXMLElement* top = source->GetRoot()->FindFirstElement();
    bottom->AddData("bottom");
    bottom->AddNode(new hosttest::HostNode(&log, "leaf"));

    // The names of the deepest element still resolve through the whole chain.
    EXPECT_TRUE(bottom->GetKey("n") == name);

    XCXMLTree target;
    XIXMLNode* copy = top->AsNode()->Copy(target.GetRoot());
    EXPECT_EQ(log, hosttest::Log{"copy leaf"});

    // Walk down the copy: same depth, names of the target, data at the bottom.
    const XCXMLKey targetName = target.GetKey("n");
    int depth = 0;
    XIXMLElement* element = copy->AsElement();
    XIXMLElement* last = nullptr;
    while (element != nullptr) {
        ASSERT_TRUE(element->GetName() == targetName) << depth;
        if (depth % 100 == 0) {
            ASSERT_TRUE(element->TestAttribute(target.GetKey("a"), "v")) << depth;
        } else {
            ASSERT_EQ(element->GetFirstAttribute(), nullptr) << depth;
        }
        ++depth;
        last = element;
        element = element->FindFirstElement();
    }
    EXPECT_EQ(depth, kDepth);
    ASSERT_NE(last->GetData(), nullptr);
    EXPECT_STREQ(last->GetData()->GetData(), "bottom");
    EXPECT_EQ(last->NbElements(), 0u);

    delete source;
    EXPECT_EQ(log, (hosttest::Log{"copy leaf", "leaf"}));

    // Destroying a deep element (not the whole document) works the same way.
    copy->Destroy();
    EXPECT_EQ(log, (hosttest::Log{"copy leaf", "leaf", "leaf'"}));
    EXPECT_EQ(target.GetRoot()->GetFirstNode(), nullptr);
    EXPECT_TRUE(capture.reports.empty());
}

TEST(DeepDocument, FailureDeepDownIsReportedOnceAndDestructionGoesOn) {
    testsupport::ReportCapture capture;
    hosttest::Log log;
    auto* bad = new hosttest::HostNode(&log, "bad");
    {
        XCXMLTree tree;
        const XCXMLKey name = tree.GetKey("n");
        XIXMLElement* top = tree.GetRoot()->AddElement(name);
        XIXMLElement* middle = BuildChain(top, 5000, name, tree.GetKey("a"));
        middle->AddNode(bad);
        BuildChain(middle, 5000, name, tree.GetKey("a"));  // abandoned with bad's parent
        bad->failDestroy = true;
        // Move the abandoned part out of reach so that it can be released below.
        XIXMLNode* rest = bad->GetNext();
        middle->RemoveNode(rest);
        top->AddNode(new hosttest::HostNode(&log, "after"));
        rest->Destroy();
    }
    EXPECT_EQ(log, hosttest::Log{"after"});
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0].second,
              "XCXMLElement::~XCXMLElement: Exception in destructor (host node refuses: bad)");
    delete bad;
}
