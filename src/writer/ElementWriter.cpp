// Writing elements, attributes and whole documents.
//
// Documents can nest far deeper than the call stack allows, so the library's
// own elements are not written by recursion: the walk descends into the first
// child, and on the way back up writes the end tag and continues with the
// next sibling, using the tree's parent links instead of a stack. Every other
// node (data, markup, nodes a host implements, and classes derived from
// XCXMLElement, which may write themselves differently) is written through its
// own WriteTo.

#include <CorvaneXML/XMLAttribute.h>
#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLElement.h>

#include "dom/Access.h"
#include "foundation/Raise.h"
#include "writer/XCXMLWriter.h"

namespace CorvaneXML {

namespace {

// The node when it is exactly the library's element, otherwise null.
const XCXMLElement* OwnElement(const XIXMLNode* node) {
    return IsPlainElement(node) ? static_cast<const XCXMLElement*>(node) : nullptr;
}

// The element whose children the walk has been writing. The walk only ever
// descends through the library's own elements, so the parent is one.
const XCXMLElement* ParentOf(const XCXMLElement* element) {
    const XIXMLElement* parent = element->GetParent();
    Require(parent != nullptr, "Tree changed while it was being written");
    return static_cast<const XCXMLElement*>(parent);
}

// Start tag with its attributes, closed by "/>" for an element without
// children and by ">" otherwise. Returns the first child.
const XIXMLNode* WriteStartTag(XCXMLWriter* writer, const XCXMLElement& element, int depth) {
    writer->NewLine(depth);
    writer->WriteNamed("<", element.GetName(), "");
    const XIXMLAttribute* first = element.GetFirstAttribute();
    const bool several = first != nullptr && first->GetNext() != nullptr;
    for (const XIXMLAttribute* attribute = first; attribute != nullptr; attribute = attribute->GetNext()) {
        if (several) writer->NewLine(depth + 1);
        attribute->WriteTo(writer);
    }
    const XIXMLNode* child = element.GetFirstNode();
    if (child == nullptr) {
        writer->WriteToken("/>");
    } else {
        writer->WriteToken(">");
    }
    return child;
}

void WriteEndTag(XCXMLWriter* writer, const XCXMLElement& element, int depth) {
    writer->NewLine(depth);
    writer->WriteNamed("</", element.GetName(), ">");
}

}  // namespace

void XCXMLElement::WriteTo(XCXMLWriter* writer, int depth) const {
    const XCXMLElement* element = this;  // the element to open next
    int level = depth;                   // its depth
    for (;;) {
        const XIXMLNode* cursor = WriteStartTag(writer, *element, level);
        if (cursor != nullptr) {
            ++level;  // now walking element's children
        } else {
            if (level == depth) return;
            cursor = element->GetNext();
            element = ParentOf(element);
        }
        // `element` holds `cursor`, which stands at `level`.
        const XCXMLElement* next = nullptr;
        for (;;) {
            while (cursor != nullptr && (next = OwnElement(cursor)) == nullptr) {
                cursor->WriteTo(writer, level);
                cursor = cursor->GetNext();
            }
            if (cursor != nullptr) break;
            --level;
            WriteEndTag(writer, *element, level);
            if (level == depth) return;
            cursor = element->GetNext();
            element = ParentOf(element);
        }
        element = next;
    }
}

void XCXMLElement::Write(XIXMLWriteStream* stream) const {
    Require(stream != nullptr, "Write stream is null");
    XCXMLWriter writer(stream);
    // Virtual, so that a root writes the document rather than a tag.
    AsNode()->WriteTo(&writer, 0);
}

void XCXMLRoot::WriteTo(XCXMLWriter* writer, int depth) const {
    for (const XIXMLNode* node = GetFirstNode(); node != nullptr; node = node->GetNext()) {
        node->WriteTo(writer, depth);
    }
    // The document always ends with a line end, whatever the last node asked.
    writer->WriteChar('\n');
}

void XCXMLTree::Write(XIXMLWriteStream* stream) const { GetRoot()->Write(stream); }

void XCXMLAttribute::WriteTo(XCXMLWriter* writer) const {
    writer->WriteNamed(" ", GetName(), "=");
    writer->WriteQuoted('"', GetValue());
}

}  // namespace CorvaneXML
