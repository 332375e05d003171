// The document tree through its interfaces: list edits and the hints that
// keep appending cheap, copies and their refusals, destruction that meets
// broken links, and the values nodes hold.

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <functional>
#include <sstream>

using namespace testsupport;

namespace {

// A subtree in document order: "name a=v { children }", a child element as
// its outline, data as 'text', a comment as #text, a PI as ?target, a DOCTYPE
// as !token, a host node by its label. Checks every back link on the way.
std::string Outline(const XIXMLElement* element) {
    const char* name = element->GetName();
    std::string out = name != nullptr ? name : "";
    for (XIXMLAttribute* a = element->GetFirstAttribute(); a != nullptr; a = a->GetNext()) {
        EXPECT_EQ(a->GetNode(), element);
        out += " " + std::string(a->GetName()) + "=" + a->GetValue();
    }
    if (element->GetFirstNode() == nullptr) return out;
    out += " {";
    for (XIXMLNode* node = element->GetFirstNode(); node != nullptr; node = node->GetNext()) {
        EXPECT_EQ(node->GetParent(), element);
        if (XIXMLElement* child = node->AsElement())
            out += " " + Outline(child);
        else if (XIXMLData* data = node->AsData())
            out += " '" + std::string(data->GetData()) + "'";
        else if (XIXMLComment* comment = node->AsComment())
            out += " #" + std::string(comment->GetComment());
        else if (XIXMLPI* pi = node->AsPI())
            out += " ?" + std::string(pi->GetProcessor());
        else if (XIXMLDocType* doctype = node->AsDocType())
            out += " !" + std::string(doctype->GetToken());
        else
            out += " " + static_cast<Node*>(node)->label;
    }
    return out + " }";
}

}  // namespace

// Appending remembers where the lists end; every edit must keep that right,
// including links set by hand, and appending must not walk earlier siblings.
TEST(Children, AppendingAfterEditsLandsAtTheEnd) {
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
    XIXMLAttribute* d = top->AddAttribute("d", "4");
    EXPECT_EQ(Outline(top), "top a=1 c=3 b=2 d=4 { r p q t u }");
    // One that names no element, linked and unlinked by hand, is never the last.
    auto* loose = new XCXMLAttribute(nullptr, tree.GetKey("l"), "0");
    d->SetNext(loose);
    top->AddAttribute("e", "5")->Destroy();
    d->SetNext(nullptr);
    top->AddAttribute("f", "6");
    loose->Destroy();
    // Nor is the one before a removed attribute, once unlinked by hand.
    top->RemoveAttribute(b);
    top->GetFirstAttribute()->SetNext(b);
    c->SetNext(nullptr);
    top->AddAttribute("g", "7")->SetNext(c);
    EXPECT_EQ(Outline(top), "top a=1 b=2 d=4 f=6 g=7 c=3 { r p q t u }");
    // A host's attribute first, once the one before it is removed.
    struct HostAttribute : XCXMLAttribute {
        using XCXMLAttribute::XCXMLAttribute;
    };
    XIXMLElement* hosted = tree.GetRoot()->AddElement("hosted");
    XIXMLAttribute* gone = hosted->AddAttribute("a", "1");
    gone->SetNext(new HostAttribute(hosted, tree.GetKey("h"), "2"));
    hosted->RemoveAttribute(gone);
    hosted->AddAttribute("x", "3")->SetNext(gone);  // back in, by hand, to go with the tree
    gone->SetNext(nullptr);
    EXPECT_EQ(Outline(hosted), "hosted h=2 x=3 a=1");

    struct Counted : Node {
        using Node::Node;
        XIXMLNode* GetNext() const override {
            ++visits;
            return Node::GetNext();
        }
        mutable int visits = 0;
    };
    auto* counted = new Counted("counted");
    top->AddNode(counted);
    top->AddElement("v");
    XIXMLNode* last = top->AddElement("w")->AsNode();
    top->RemoveNode(last);  // finding it walks the list; appending after it must not
    last->Destroy();
    const int visits = counted->visits;
    for (int i = 0; i < 50; ++i) top->AddElement("w");
    EXPECT_EQ(counted->visits, visits);
    // Counting and indexing see the host node in the list, and skip it.
    EXPECT_EQ(top->NbElements(), 56u);
    EXPECT_EQ(counted->Index(), 5u);
    EXPECT_EQ(top->FindElementByIndex(5), top->FindElement("v"));
    EXPECT_EQ(top->FindElementByIndex(56), nullptr);
    EXPECT_EQ(top->FindElement("w")->NextSameElement(), top->FindElementByIndex(7));
    // An element a host constructs belongs to no document, and indexes all
    // the same.
    auto* lone = new XCXMLElement(nullptr, tree.GetKey("lone"));
    lone->AddElement(tree.GetKey("a"));
    lone->AddElement(tree.GetKey("b"));
    EXPECT_EQ(lone->FindElementByIndex(1), lone->FindElement(tree.GetKey("b")));
    EXPECT_EQ(lone->FindElementByIndex(0), lone->FindElement(tree.GetKey("a")));
    lone->Destroy();
}

TEST(Copy, RefusalsLeaveTheTreeAsItWas) {
    XCXMLTree tree;
    XIXMLElement* root = tree.GetRoot();
    XIXMLElement* a = root->AddElement("a");
    XIXMLElement* b = a->AddElement("b");
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
    EXPECT_EQ(Outline(root), before);
}

// Broken links found while destroying are reported, never thrown; so is a
// key table that must double twice, for names that crowd one probe run of
// the doubled table in the order they are moved into it.
TEST(Reports, BrokenLinksAndADoubleGrow) {
    ReportCapture capture;
    XCXMLTree tree;
    for (const char* name : {"aaavxyz", "aaqfxyz", "aaynxyz", "abauxyz", "abqexyz", "abymxyz", "acatxyz", "acqdxyz",
                             "aadoxyz", "aalgxyz", "abdlxyz", "abldxyz", "acdmxyz", "aagpxyz"}) {
        tree.GetKey(name);
    }
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
        {Corvane::XIReporter::eWarning, "CHashKey::Grow - Double grow needed"},
        {0, "XCXMLNode::~XCXMLNode: Exception in destructor (XCXMLElement::RemoveNode previous == NULL)"},
        {0,
         "XCXMLAttribute::~XCXMLAttribute: Exception in destructor "
         "(XCXMLElement::RemoveAttribute previous == NULL)"}};
    EXPECT_EQ(capture.reports, expected);
}

// Every setter copies first and frees after: a refused value keeps the old
// one, and a field's own text may be passed back in. Null means absent only
// for the DOCTYPE's parts.
TEST(Values, SettersFactoriesAndTheirFailures) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLAttribute* a = e->AddAttribute("a", "old");
    XIXMLData* d = e->AddData("old");
    XIXMLComment* c = e->AddComment("old");
    XIXMLPI* pi = e->AddPI("old", "old");
    XIXMLDocType* dt = e->AddDocType(tree.GetKey("t"), nullptr, "old", nullptr);
    const std::string longest(2047, 'x');
    auto text = [](const char* value) { return value != nullptr ? std::string(value) : "(null)"; };
    struct Case {
        std::function<void()> set;
        std::function<const char*()> get;
        bool raises;
        std::string expected;
    } const cases[] = {
        {[&] { a->SetValue(a->GetValue()); }, [&] { return a->GetValue(); }, false, "old"},
        {[&] { a->SetValue(nullptr); }, [&] { return a->GetValue(); }, true, "old"},
        {[&] { a->SetFmtValue("%s", longest.c_str()); }, [&] { return a->GetValue(); }, false, longest},
        {[&] { a->SetFmtValue("%2048s", ""); }, [&] { return a->GetValue(); }, true, longest},
        {[&] { d->SetData(d->GetData()); }, [&] { return d->GetData(); }, false, "old"},
        {[&] { d->SetData(static_cast<const char*>(nullptr)); }, [&] { return d->GetData(); }, true, "old"},
        {[&] { d->SetFmtData("%s", longest.c_str()); }, [&] { return d->GetData(); }, false, longest},
        {[&] { d->SetFmtData("%s%2047s", "y", ""); }, [&] { return d->GetData(); }, true, longest},
        {[&] { d->SetData(2.5); }, [&] { return d->GetData(); }, false, "2.500000"},
        {[&] { c->SetComment(nullptr); }, [&] { return c->GetComment(); }, true, "old"},
        {[&] { pi->SetProcessor(nullptr); }, [&] { return pi->GetProcessor(); }, true, "old"},
        {[&] { pi->SetInstruction(nullptr); }, [&] { return pi->GetInstruction(); }, true, "old"},
        {[&] { dt->SetPublic(""); }, [&] { return dt->GetPublic(); }, false, ""},
        {[&] { dt->SetSystem(nullptr); }, [&] { return dt->GetSystem(); }, false, "(null)"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Raised(cases[i].set) != "", cases[i].raises) << "case " << i;
        EXPECT_EQ(text(cases[i].get()), cases[i].expected) << "case " << i;
    }
    // A factory refused by the node's constructor leaves the parent as it was.
    XIXMLElement* f = tree.GetRoot()->AddElement("f");
    EXPECT_NE(Raised([&] { f->AddData(static_cast<XIXMLData::IXMLCData*>(nullptr)); }), "");
    EXPECT_NE(Raised([&] { f->AddComment(nullptr); }), "");
    EXPECT_EQ(f->GetFirstNode(), nullptr);
}

// How a text reads through %d and %lf ("!": the scan raises). Only the exact
// words nan, inf, +inf and -inf read as "1.0".
TEST(Values, ScanningTextAndTheNonFiniteWords) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLData* d = e->AddData("");
    auto show = [](auto read) {
        std::ostringstream out;
        if (Raised([&] { out << read(); }) != "") out << '!';
        return out.str();
    };
    const std::pair<const char*, const char*> cases[] = {{"  42 words", "42 42"},
                                                         {"1e3", "1 1000"},
                                                         {"3.9", "3 3.9"},
                                                         {"nan", "1 1"},
                                                         {"inf", "1 1"},
                                                         {"+inf", "1 1"},
                                                         {"-inf", "1 1"},
                                                         {"Inf", "! inf"},
                                                         {" inf", "! inf"},
                                                         {"nanx", "! nan"},
                                                         {"", "! !"},
                                                         {"   ", "! !"},
                                                         {"-", "! !"}};
    for (const auto& [text, expected] : cases) {
        d->SetData(text);
        EXPECT_EQ(show([&] { return d->GetInt(); }) + " " + show([&] { return d->GetFloat(); }), expected)
            << '"' << text << '"';
        EXPECT_STREQ(d->GetData(), text);  // reading never changes the text
    }
    XIXMLAttribute* a = e->AddAttribute("a", "1");
    EXPECT_NE(Raised([&] { a->GetFmtValue("%d", nullptr); }), "");
    EXPECT_EQ(Raised([&] { a->GetFmtValue(nullptr, &a); }), "Format is null");
}
