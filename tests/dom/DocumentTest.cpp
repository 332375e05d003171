#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "HostObjects.h"

#include <string>

using namespace CorvaneXML;

namespace {

// Element names and attributes of a subtree in document order, for comparing
// a copy with its source.
std::string Outline(const XIXMLElement* element) {
    const char* name = element->GetName();
    std::string out = name != nullptr ? name : "";
    for (XIXMLAttribute* a = element->GetFirstAttribute(); a != nullptr; a = a->GetNext()) {
        out += std::string(" ") + static_cast<const char*>(a->GetName()) + "=" + a->GetValue();
    }
    out += " {";
    for (XIXMLNode* node = element->GetFirstNode(); node != nullptr; node = node->GetNext()) {
        out += ' ';
        if (XIXMLElement* child = node->AsElement()) out += Outline(child);
        else if (XIXMLData* data = node->AsData()) out += std::string("'") + data->GetData() + "'";
        else if (XIXMLComment* comment = node->AsComment()) out += std::string("#") + comment->GetComment();
        else if (XIXMLPI* pi = node->AsPI()) out += std::string("?") + pi->GetProcessor();
        else if (XIXMLDocType* doctype = node->AsDocType()) out += std::string("!") + static_cast<const char*>(doctype->GetToken());
    }
    return out + " }";
}

}  // namespace

TEST(Keys, OneDocumentOneKeyPerName) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLElement* deep = root->AddElement("a")->AddElement("b");
    const XCXMLKey fromTree = tree.GetKey("name");
    EXPECT_TRUE(fromTree == root->GetKey("name"));
    EXPECT_TRUE(fromTree == deep->GetKey("name"));
    EXPECT_TRUE(fromTree == "name");
    EXPECT_FALSE(fromTree == "Name");
    EXPECT_FALSE(fromTree == tree.GetKey("other"));

    XCXMLTree second;
    const XCXMLKey foreign = second.GetKey("name");
    EXPECT_FALSE(fromTree == foreign);
    EXPECT_TRUE(foreign == "name");

    const XCXMLKey none;
    EXPECT_TRUE(none == XCXMLKey());
    EXPECT_FALSE(none == "");
    EXPECT_EQ(static_cast<const char*>(none), nullptr);
    EXPECT_TRUE(tree.GetKey("") == "");
    EXPECT_ANY_THROW(tree.GetKey(nullptr));
    EXPECT_ANY_THROW(deep->GetKey(nullptr));
}

TEST(Keys, DetachedElementsCannotIntern) {
    XCXMLTree tree;
    auto* loose = new XCXMLElement(nullptr, tree.GetKey("loose"));
    XIXMLElement* child = loose->AddElement(tree.GetKey("child"));
    for (XIXMLElement* element : {static_cast<XIXMLElement*>(loose), child}) {
        try {
            element->AddElement("x");
            FAIL() << "no raise";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), "XCXMLElement::GetKey - element isn't in a tree");
        }
    }
    EXPECT_EQ(child->GetFirstNode(), nullptr);
    tree.GetRoot()->AddNode(loose->AsNode());
    EXPECT_NE(child->AddElement("x"), nullptr);
}

TEST(Document, NewDocumentIsEmpty) {
    XCXMLTree tree;
    const XIXMLElement* root = static_cast<const XCXMLTree&>(tree).GetRoot();
    EXPECT_EQ(root, tree.GetRoot());
    EXPECT_EQ(root->GetFirstNode(), nullptr);
    EXPECT_EQ(root->GetFirstAttribute(), nullptr);
    EXPECT_TRUE(root->GetName() == XCXMLKey());
    EXPECT_EQ(root->AsNode()->GetParent(), nullptr);
    EXPECT_EQ(root->AsNode()->Index(), 0xFFFFFFFFu);
    EXPECT_EQ(root->NextElement(), nullptr);
}

TEST(Document, CopyIntoAnotherDocument) {
    XCXMLTree source;
    XIXMLElement* root = source.GetRoot();
    root->AddDocType(source.GetKey("top"), "pub", "sys", nullptr);
    XIXMLElement* top = root->AddElement("top");
    top->AddAttribute("z", "1");
    top->AddAttribute("a", "2");
    top->AddData("text");
    XIXMLElement* mid = top->AddElement("mid");
    mid->AddComment("note");
    mid->AddElement("leaf")->AddAttribute("k", "v");
    mid->AddPI("pi", "go");
    top->AddElement("mid");

    XCXMLTree target;
    XIXMLElement* dest = target.GetRoot();
    for (XIXMLNode* node = root->GetFirstNode(); node != nullptr; node = node->GetNext()) {
        node->Copy(dest);
    }
    EXPECT_EQ(Outline(dest), Outline(root));
    XIXMLElement* copy = dest->FindElement("top");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->GetName() == target.GetKey("top"));
    EXPECT_FALSE(copy->GetName() == source.GetKey("top"));
    EXPECT_TRUE(copy->FindElement("mid")->FindElement("leaf")->GetFirstAttribute()->GetName() ==
                target.GetKey("k"));
    EXPECT_TRUE(copy->FindElement("mid")->NextSameElement() != nullptr);
    EXPECT_TRUE(dest->GetFirstNode()->AsDocType()->GetToken() == target.GetKey("top"));

    // The copy stands on its own.
    source.GetRoot()->FindElement("top")->Destroy();
    EXPECT_STREQ(copy->GetData()->GetData(), "text");
}

TEST(Document, CopyRefusals) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLElement* a = root->AddElement("a");
    XIXMLElement* b = a->AddElement("b");
    const std::string before = Outline(root);

    EXPECT_ANY_THROW(root->AsNode()->Copy(a));  // the root has no name
    EXPECT_ANY_THROW(a->AsNode()->Copy(a));     // into itself
    EXPECT_ANY_THROW(a->AsNode()->Copy(b));     // into its own subtree
    EXPECT_ANY_THROW(a->AsNode()->Copy(nullptr));
    auto* loose = new XCXMLElement(nullptr, tree.GetKey("loose"));
    EXPECT_ANY_THROW(a->AsNode()->Copy(loose));
    EXPECT_EQ(loose->GetFirstNode(), nullptr);
    loose->Destroy();
    EXPECT_EQ(Outline(root), before);

    // Into a sibling's subtree is fine.
    XIXMLElement* c = root->AddElement("c");
    b->AsNode()->Copy(c);
    EXPECT_EQ(Outline(c), "c { b { } }");
}

TEST(Document, FailedCopyKeepsWhatWasCopied) {
    struct Uncopyable : hosttest::HostNode {
        Uncopyable() : HostNode(nullptr, "u") {}
        XIXMLNode* Copy(XIXMLElement*) const override { throw std::runtime_error("no copy"); }
    };
    XCXMLTree source;
    XIXMLElement* top = source.GetRoot()->AddElement("top");
    top->AddAttribute("a", "1");
    top->AddElement("first")->AddElement("inner");
    top->AddData("second");
    top->AddNode(new Uncopyable);
    top->AddElement("third");

    XCXMLTree target;
    XIXMLElement* dest = target.GetRoot()->AddElement("dest");
    EXPECT_ANY_THROW(top->AsNode()->Copy(dest));
    XIXMLElement* copy = dest->FindElement("top");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Outline(copy), "top a=1 { first { inner { } } 'second' }");
}

TEST(Document, DestructionOrderMatchesTheTree) {
    // Attributes of an element go before its children; each child element
    // is taken apart completely before its next sibling.
    using hosttest::HostAttribute;
    using hosttest::HostNode;
    hosttest::Log log;
    {
        XCXMLTree tree;
        XIXMLElement* a = tree.GetRoot()->AddElement("a");
        a->AddAttribute("x", "")->SetNext(new HostAttribute(&log, "a@", a));
        a->AddNode(new HostNode(&log, "1"));
        XIXMLElement* b = a->AddElement("b");
        b->AddNode(new HostNode(&log, "2"));
        XIXMLElement* c = b->AddElement("c");
        c->AddAttribute("x", "")->SetNext(new HostAttribute(&log, "c@", c));
        c->AddNode(new HostNode(&log, "3"));
        b->AddNode(new HostNode(&log, "4"));
        b->AddAttribute("x", "")->SetNext(new HostAttribute(&log, "b@", b));
        a->AddNode(new HostNode(&log, "5"));
        tree.GetRoot()->AddNode(new HostNode(&log, "6"));
    }
    EXPECT_EQ(log, (hosttest::Log{"a@", "1", "b@", "2", "c@", "3", "4", "5", "6"}));
}

TEST(Document, DestroyingAnElementLeavesItsParentIntact) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    root->AddElement("before");
    XIXMLElement* doomed = root->AddElement("doomed");
    doomed->AddAttribute("a", "1");
    doomed->AddElement("x")->AddElement("y")->AddData("z");
    root->AddElement("after");
    doomed->Destroy();
    EXPECT_EQ(Outline(root), " { before { } after { } }");
}
