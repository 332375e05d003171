#ifndef CORVANE_TESTS_DOM_HOSTOBJECTS_H
#define CORVANE_TESTS_DOM_HOSTOBJECTS_H

// Host implementations of the interfaces, which log what the library does
// with them, and the helpers shared by the DOM tests.

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace host {

using namespace CorvaneXML;
using Log = std::vector<std::string>;

// What `action` raised: "" when it returned normally.
template <class Action> std::string Raised(Action action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

// A leaf node: logs its copies and its destruction, noting when its parent
// still has attributes then. Refuses to be destroyed when `fail` is set, and
// to be copied when labelled "uncopyable".
struct Node : XIXMLNode {
    Node(Log* log, std::string label) : log(log), label(std::move(label)) {}
    ~Node() override = default;
    void Destroy() override {
        if (fail) throw std::runtime_error("host node refuses: " + label);
        const bool early = parent != nullptr && parent->GetFirstAttribute() != nullptr;
        log->push_back(early ? label + " before the attributes" : label);
        if (parent != nullptr) parent->RemoveNode(this);
        delete this;
    }
    XIXMLNode* Copy(XIXMLElement* target) const override {
        if (label == "uncopyable") throw std::runtime_error("no copy");
        log->push_back("copy " + label);
        auto* copy = new Node(log, label + "'");
        target->AddNode(copy);
        return copy;
    }
    XIXMLNode* GetNext() const override { return next; }
    void SetNext(XIXMLNode* node) override { next = node; }
    XIXMLElement* GetParent() const override { return parent; }
    void SetParent(XIXMLElement* element) override { parent = element; }
    unsigned int Index() const override { return parent ? parent->IndexOf(this) : 0xFFFFFFFFu; }
    void WriteTo(XCXMLWriter*, int) const override {}
    Log* log;
    std::string label;
    bool fail = false;
    XIXMLNode* next = nullptr;
    XIXMLElement* parent = nullptr;
};

// A provider counting what is done to it; disposal goes on to the default.
struct Counts {
    int copies = 0, destroys = 0, deletes = 0;
};
struct Provider : XIXMLData::IXMLCData {
    explicit Provider(Counts* counts) : counts(counts) {}
    ~Provider() override { ++counts->deletes; }
    bool Write(XIXMLWriteStream*, int, const XIXMLNode*) override { return true; }
    IXMLCData* Copy() override {
        ++counts->copies;
        return new Provider(counts);
    }
    void Destroy() override {
        ++counts->destroys;
        IXMLCData::Destroy();
    }
    Counts* counts;
};

// A subtree in document order: "name a=v { children }", a child element as
// its outline, data as 'text', a comment as #text, a PI as ?target, a DOCTYPE
// as !token, a host node by its label. Checks every back link on the way.
inline std::string Outline(const XIXMLElement* element) {
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
        if (XIXMLElement* child = node->AsElement()) out += " " + Outline(child);
        else if (XIXMLData* data = node->AsData()) out += " '" + std::string(data->GetData()) + "'";
        else if (XIXMLComment* comment = node->AsComment()) out += " #" + std::string(comment->GetComment());
        else if (XIXMLPI* pi = node->AsPI()) out += " ?" + std::string(pi->GetProcessor());
        else if (XIXMLDocType* doctype = node->AsDocType()) out += " !" + std::string(doctype->GetToken());
        else out += " " + static_cast<Node*>(node)->label;
    }
    return out + " }";
}

}  // namespace host

#endif
