#ifndef CORVANE_TESTS_DOM_OUTLINE_H
#define CORVANE_TESTS_DOM_OUTLINE_H

#include <CorvaneXML/CorvaneXML.h>

#include <gtest/gtest.h>

#include "Hosts.h"
#include "TestStreams.h"

#include <string>

using namespace testsupport;

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

#endif
