#ifndef CORVANEXML_XMLDOCUMENT_H
#define CORVANEXML_XMLDOCUMENT_H

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLElement.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLKey.h>
#include <CorvaneXML/XMLStreams.h>

namespace CorvaneXML {

class CHashKey;

// The element at the top of a document: no name, no parent, and the owner of
// the document's key table. Its children are the document's top-level nodes.
class CORVANEXML_API XCXMLRoot : public XCXMLElement {
public:
    // Raises "Can't allocate key hash table." when the table cannot be made.
    XCXMLRoot();
    XCXMLRoot(const XCXMLRoot&) = delete;
    XCXMLRoot& operator=(const XCXMLRoot&) = delete;
    // Frees the interned names, then destroys the whole document.
    ~XCXMLRoot() override;

    // Interns in this document's table; a null name raises.
    const XCXMLKey& GetKey(const char* name) const override;
    // Writes the top-level nodes in order, then one line feed; never a tag.
    void WriteTo(XCXMLWriter* writer, int depth) const override;

private:
    friend struct CRootAccess;  // the tree reader's way to the table

    CHashKey* keys_;
};

// A document. The caller owns it and deletes it; every node, attribute and
// key obtained from it is valid only until then.
class CORVANEXML_API XCXMLTree {
public:
    XCXMLTree();
    XCXMLTree& operator=(const XCXMLTree&) = delete;
    virtual ~XCXMLTree();

    XIXMLElement* GetRoot();
    const XIXMLElement* GetRoot() const;
    // The document's key for `name` (see XIXMLElement::GetKey).
    const XCXMLKey& GetKey(const char* name) const;
    // Writes the whole document as indented XML followed by one line feed.
    // Raises "Can't write character" when the stream accepts fewer bytes
    // than asked; what was written stays.
    void Write(XIXMLWriteStream* stream) const;

private:
    XCXMLTree(const XCXMLTree&);  // documents are duplicated with Copy, not copied

    XIXMLElement* root_;
};

}  // namespace CorvaneXML

#endif
