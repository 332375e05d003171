#include "Outline.h"

#include <functional>
#include <sstream>
#include <tuple>

// Every setter copies first and frees after: a refused value keeps the old
// one, and a field's own text may be passed back in. Null means absent only
// for the DOCTYPE's parts.
TEST(Values, SettersAndTheirFailures) {
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
        {[&] {}, [&] { return dt->GetPublic(); }, false, "(null)"},
        {[&] { dt->SetPublic(""); }, [&] { return dt->GetPublic(); }, false, ""},
        {[&] { dt->SetSystem(dt->GetSystem()); }, [&] { return dt->GetSystem(); }, false, "old"},
        {[&] { dt->SetSystem(nullptr); }, [&] { return dt->GetSystem(); }, false, "(null)"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Raised(cases[i].set) != "", cases[i].raises) << "case " << i;
        EXPECT_EQ(text(cases[i].get()), cases[i].expected) << "case " << i;
    }
}

// Factories refused by the node's constructor leave the parent as it was.
TEST(Values, RefusedNodesAreNotLinked) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLComment* kept = e->AddComment("kept");
    EXPECT_NE(Raised([&] { e->AddComment(nullptr); }), "");
    EXPECT_NE(Raised([&] { e->AddPI("p", nullptr); }), "");
    EXPECT_NE(Raised([&] { e->AddData(static_cast<const char*>(nullptr)); }), "");
    EXPECT_NE(Raised([&] { e->AddData(static_cast<XIXMLData::IXMLCData*>(nullptr)); }), "");
    EXPECT_NE(Raised([&] { e->AddAttribute("a", nullptr); }), "");
    EXPECT_EQ(e->GetFirstNode(), kept->AsNode());
    EXPECT_EQ(kept->AsNode()->GetNext(), nullptr);
    EXPECT_EQ(e->GetFirstAttribute(), nullptr);
}

// How a text reads through %d, %lf and %15s ("!": the scan raises). Only the
// exact words nan, inf, +inf and -inf read as "1.0".
TEST(Values, ScanningTextAndTheNonFiniteWords) {
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLData* d = e->AddData("");
    auto show = [](auto read) {
        std::ostringstream out;
        if (Raised([&] { out << read(); }) != "") out << '!';
        return out.str();
    };
    const std::pair<const char*, const char*> cases[] = {
        {"  42 words", "42 42 42"}, {"1e3", "1 1000 1e3"}, {"3.9", "3 3.9 3.9"}, {"nan", "1 1 1.0"},
        {"inf", "1 1 1.0"}, {"+inf", "1 1 1.0"}, {"-inf", "1 1 1.0"}, {"Inf", "! inf Inf"},
        {" inf", "! inf inf"}, {"nanx", "! nan nanx"}, {"", "! ! !"}, {"   ", "! ! !"}, {"-", "! ! -"}};
    for (const auto& [text, expected] : cases) {
        d->SetData(text);
        char word[16] = "";
        EXPECT_EQ(show([&] { return d->GetInt(); }) + " " + show([&] { return d->GetFloat(); }) + " " +
                      show([&] {
                          d->GetFmtData("%15s", word);
                          return word;
                      }),
                  expected) << '"' << text << '"';
        EXPECT_STREQ(d->GetData(), text);  // reading never changes the text
    }
    XIXMLAttribute* a = e->AddAttribute("a", "-inf");
    double value = 0;
    a->GetFmtValue("%lf", &value);
    EXPECT_EQ(value, 1.0);
    EXPECT_NE(Raised([&] { a->GetFmtValue("%d", nullptr); }), "");
    EXPECT_NE(Raised([&] { a->GetFmtValue(nullptr, &value); }), "");
}

TEST(Values, OneDataNodePerElementAndProviderOwnership) {
    Counts counts;  // outlives the document that disposes of providers
    XCXMLTree tree;
    XIXMLElement* e = tree.GetRoot()->AddElement("e");
    XIXMLData* text = e->AddData("one");
    EXPECT_EQ(Raised([&] { e->AddData("two"); }), "Only one data node for an element");
    auto* provider = new Provider("", &counts);
    EXPECT_EQ(Raised([&] { e->AddData(provider); }), "Only one data node for an element");
    EXPECT_EQ(counts.destroys, 0);  // refused: still the caller's
    EXPECT_EQ(e->GetData(), text);

    text->AsNode()->Destroy();
    EXPECT_EQ(e->GetData(), nullptr);
    XIXMLData* data = e->AddData(provider);
    int out = 0;  // a provider-backed node has no text
    EXPECT_NE(Raised([&] { data->GetData(); }), "");
    EXPECT_NE(Raised([&] { data->SetData("x"); }), "");
    EXPECT_NE(Raised([&] { data->GetFmtData("%d", &out); }), "");
    XIXMLElement* other = tree.GetRoot()->AddElement("other");
    XIXMLNode* copy = data->AsNode()->Copy(other);
    EXPECT_EQ(copy->AsData(), other->GetData());
    XIXMLElement* full = tree.GetRoot()->AddElement("full");
    full->AddData("already");
    EXPECT_EQ(Raised([&] { data->AsNode()->Copy(full); }), "Only one data node for an element");
    EXPECT_EQ(std::make_tuple(counts.copies, counts.destroys, counts.deletes), std::make_tuple(2, 1, 1));
    e->Destroy();
    other->Destroy();
    EXPECT_EQ(std::make_tuple(counts.copies, counts.destroys, counts.deletes), std::make_tuple(2, 3, 3));
}
