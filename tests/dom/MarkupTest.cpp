#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

using namespace CorvaneXML;

TEST(DocType, AbsentAndEmptyParts) {
    XCXMLTree tree;
    XIXMLDocType* doctype = tree.GetRoot()->AddDocType(tree.GetKey("html"), nullptr, nullptr, nullptr);
    EXPECT_EQ(doctype->GetPublic(), nullptr);
    EXPECT_EQ(doctype->GetSystem(), nullptr);
    EXPECT_EQ(doctype->GetLocal(), nullptr);
    EXPECT_TRUE(doctype->GetToken() == tree.GetKey("html"));

    doctype->SetPublic("");
    doctype->SetSystem("s");
    doctype->SetLocal("<!ENTITY x 'y'>");
    ASSERT_NE(doctype->GetPublic(), nullptr);
    EXPECT_STREQ(doctype->GetPublic(), "");
    doctype->SetSystem(doctype->GetSystem());
    EXPECT_STREQ(doctype->GetSystem(), "s");
    doctype->SetPublic(nullptr);
    EXPECT_EQ(doctype->GetPublic(), nullptr);

    XIXMLDocType* full = tree.GetRoot()->AddDocType(tree.GetKey("x"), "p", "", "l");
    EXPECT_STREQ(full->GetPublic(), "p");
    EXPECT_STREQ(full->GetSystem(), "");
    EXPECT_STREQ(full->GetLocal(), "l");
}

TEST(DocType, CopyInternsTheTokenInTheTarget) {
    XCXMLTree source;
    XIXMLDocType* doctype = source.GetRoot()->AddDocType(source.GetKey("doc"), nullptr, "sys", nullptr);
    XCXMLTree target;
    XIXMLNode* copy = doctype->AsNode()->Copy(target.GetRoot());
    XIXMLDocType* copied = copy->AsDocType();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->GetToken() == target.GetKey("doc"));
    EXPECT_FALSE(copied->GetToken() == doctype->GetToken());
    EXPECT_EQ(copied->GetPublic(), nullptr);
    EXPECT_STREQ(copied->GetSystem(), "sys");
    EXPECT_NE(copied->GetSystem(), doctype->GetSystem());

    auto* loose = new XCXMLElement(nullptr, source.GetKey("loose"));
    try {
        doctype->AsNode()->Copy(loose);
        FAIL() << "no raise";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "XCXMLElement::GetKey - element isn't in a tree");
    }
    EXPECT_EQ(loose->GetFirstNode(), nullptr);
    loose->Destroy();
}

TEST(CommentAndPI, TextsAreNeverNull) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLComment* comment = root->AddComment("");
    EXPECT_STREQ(comment->GetComment(), "");
    comment->SetComment("c");
    EXPECT_ANY_THROW(comment->SetComment(nullptr));
    EXPECT_STREQ(comment->GetComment(), "c");
    comment->SetComment(comment->GetComment());
    EXPECT_STREQ(comment->GetComment(), "c");

    XIXMLPI* pi = root->AddPI("target", "");
    EXPECT_STREQ(pi->GetInstruction(), "");
    EXPECT_ANY_THROW(pi->SetProcessor(nullptr));
    EXPECT_ANY_THROW(pi->SetInstruction(nullptr));
    EXPECT_STREQ(pi->GetProcessor(), "target");
    pi->SetInstruction(pi->GetProcessor());
    EXPECT_STREQ(pi->GetInstruction(), "target");
}
