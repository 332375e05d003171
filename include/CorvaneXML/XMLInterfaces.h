#ifndef CORVANEXML_XMLINTERFACES_H
#define CORVANEXML_XMLINTERFACES_H

// The node interfaces: what a host sees of a document. Every node has two
// faces, its kind interface (element, data, DOCTYPE, comment, processing
// instruction) and XIXMLNode; AsNode() and the As...() conversions move
// between them. Nodes and attributes are deleted only through Destroy().
//
// Failures raise Corvane::XCException (see <CorvaneTools/CorvaneTools.h>);
// nothing is rolled back. Strings handed in are copied; a pointer returned by
// a getter stays valid until the same field is set again or its object is
// destroyed, and may be passed back to the matching setter.

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLKey.h>
#include <CorvaneXML/XMLStreams.h>

namespace CorvaneXML {

class XIXMLElement;
class XIXMLAttribute;
class XIXMLData;
class XIXMLDocType;
class XIXMLComment;
class XIXMLPI;

// The library's internal serialiser; hosts only ever pass it along.
class XCXMLWriter;

// ---------------------------------------------------------------------------
// Any node that can stand in an element's list of children.
class CORVANEXML_API XIXMLNode {
public:
    // What Index() and XIXMLElement::IndexOf() answer for a node that is not
    // among the children: 0xFFFFFFFF.
    static constexpr unsigned int kNoIndex = 0xFFFFFFFFu;

    XIXMLNode() = default;
    XIXMLNode(const XIXMLNode&) = default;
    XIXMLNode& operator=(const XIXMLNode&) = default;

    // Checks the node's guard, then deletes it with everything it owns; an
    // attached node leaves its parent's list. A node that is not live raises
    // and nothing is deleted.
    virtual void Destroy() = 0;
    virtual XIXMLNode* GetNext() const = 0;
    // Raw link setter for list operations: no list is updated, no check made.
    virtual void SetNext(XIXMLNode* next) = 0;
    // Kind conversions: the node's kind face, or null for another kind.
    virtual XIXMLPI* AsPI();
    virtual XIXMLComment* AsComment();
    virtual XIXMLDocType* AsDocType();
    virtual XIXMLData* AsData();
    virtual XIXMLElement* AsElement();
    // Serialises the node at the given nesting depth (see XCXMLElement::Write).
    virtual void WriteTo(XCXMLWriter* writer, int depth) const = 0;
    // The element whose list holds the node; null when detached.
    virtual XIXMLElement* GetParent() const = 0;
    // Raw link setter for list operations: no list is updated, no check made.
    virtual void SetParent(XIXMLElement* parent) = 0;
    // Zero-based position among all of the parent's children, every kind
    // counted; kNoIndex for a detached node.
    virtual unsigned int Index() const = 0;
    // Deep copy appended as the last child of `parent`, names re-interned in
    // the parent's document. Raises when `parent` is not in a document and
    // the copy needs a name; what was copied before a failure stays.
    virtual XIXMLNode* Copy(XIXMLElement* parent) const = 0;

protected:
    virtual ~XIXMLNode();
};

// ---------------------------------------------------------------------------
// Text data: owned text, or a host provider written out as a CDATA section.
class CORVANEXML_API XIXMLData {
public:
    // Data that the host holds itself and writes itself. A data node owns its
    // provider and disposes of it through Destroy() exactly once.
    class CORVANEXML_API IXMLCData {
    public:
        IXMLCData() = default;
        IXMLCData(const IXMLCData&) = default;
        IXMLCData& operator=(const IXMLCData&) = default;

        // Writes the body of the CDATA section straight to `stream` (the
        // library adds "<![CDATA[" and "]]>" and escapes nothing). `node` is
        // the data node that owns the provider, written at `depth`. Returns
        // false on failure, which makes the write raise.
        virtual bool Write(XIXMLWriteStream* stream, int depth, const XIXMLNode* node) = 0;
        // A new provider for a copy of the owning node; the copy owns it.
        virtual IXMLCData* Copy() = 0;

    protected:
        friend class XIXMLData;
        // Disposes of the provider; the default deletes it. Override to keep
        // providers alive elsewhere.
        virtual void Destroy();
        virtual ~IXMLCData();
    };

    XIXMLData() = default;
    XIXMLData(const XIXMLData&) = default;
    XIXMLData& operator=(const XIXMLData&) = default;

    virtual XIXMLNode* AsNode() = 0;
    virtual const XIXMLNode* AsNode() const = 0;
    // The owned text; raises for a provider-backed node.
    virtual const char* GetData() const = 0;
    // Replaces the owned text with a copy; raises for a provider-backed node
    // or a null text, keeping the old text.
    virtual void SetData(const char* data) = 0;
    // scanf-style read of the text into `out` (exactly one assigned
    // conversion). The whole texts "nan", "inf", "+inf", "-inf" read as "1.0".
    // Raises when nothing is converted or the node is provider-backed.
    virtual void GetFmtData(const char* format, void* out) const = 0;
    // printf-style write of the text; at most 2047 characters, else raises
    // and keeps the old text.
    virtual void SetFmtData(const char* format, ...) = 0;

    int GetInt() const;          // GetFmtData("%d")
    void SetData(int value);     // SetFmtData("%d")
    double GetFloat() const;     // GetFmtData("%lf")
    void SetData(double value);  // SetFmtData("%lf")

protected:
    void DestroyProvider(IXMLCData* provider);
    virtual ~XIXMLData();
};

// ---------------------------------------------------------------------------
// A name and value pair belonging to exactly one element.
class CORVANEXML_API XIXMLAttribute {
public:
    XIXMLAttribute() = default;
    XIXMLAttribute(const XIXMLAttribute&) = default;
    XIXMLAttribute& operator=(const XIXMLAttribute&) = default;

    // Checks the guard, unlinks the attribute from its element, deletes it.
    virtual void Destroy() = 0;
    virtual XIXMLAttribute* GetNext() const = 0;
    // Raw link setter for list operations: no list is updated, no check made.
    virtual void SetNext(XIXMLAttribute* next) = 0;
    // The element the attribute belongs to.
    virtual XIXMLElement* GetNode() const = 0;
    virtual const XCXMLKey& GetName() const = 0;
    // Stores the key as given; it must be a key of the element's document.
    virtual void SetName(const XCXMLKey& name) = 0;
    // Never null.
    virtual const char* GetValue() const = 0;
    // Replaces the value with a copy; null raises and keeps the old value.
    virtual void SetValue(const char* value) = 0;
    // scanf-style read of the value into `out` (see XIXMLData::GetFmtData);
    // a null `out` raises.
    virtual void GetFmtValue(const char* format, void* out) const = 0;
    // printf-style write of the value; at most 2047 characters.
    virtual void SetFmtValue(const char* format, ...) = 0;
    virtual void WriteTo(XCXMLWriter* writer) const = 0;
    // Adds an equal attribute at the end of `target`'s list and returns it.
    virtual XIXMLAttribute* Copy(XIXMLElement* target) const = 0;

protected:
    virtual ~XIXMLAttribute();
};

// ---------------------------------------------------------------------------
// A document type declaration, kept as text. Null strings mean absent.
class CORVANEXML_API XIXMLDocType {
public:
    XIXMLDocType() = default;
    XIXMLDocType(const XIXMLDocType&) = default;
    XIXMLDocType& operator=(const XIXMLDocType&) = default;

    virtual XIXMLNode* AsNode() = 0;
    virtual const XIXMLNode* AsNode() const = 0;
    virtual const XCXMLKey& GetToken() const = 0;
    virtual void SetToken(const XCXMLKey& token) = 0;
    virtual const char* GetPublic() const = 0;
    virtual void SetPublic(const char* text) = 0;
    virtual const char* GetSystem() const = 0;
    virtual void SetSystem(const char* text) = 0;
    // The internal subset, written between square brackets.
    virtual const char* GetLocal() const = 0;
    virtual void SetLocal(const char* text) = 0;

protected:
    virtual ~XIXMLDocType();
};

// A comment; its text is never null.
class CORVANEXML_API XIXMLComment {
public:
    XIXMLComment() = default;
    XIXMLComment(const XIXMLComment&) = default;
    XIXMLComment& operator=(const XIXMLComment&) = default;

    virtual XIXMLNode* AsNode() = 0;
    virtual const XIXMLNode* AsNode() const = 0;
    virtual const char* GetComment() const = 0;
    virtual void SetComment(const char* text) = 0;

protected:
    virtual ~XIXMLComment();
};

// A processing instruction; target and instruction are never null.
class CORVANEXML_API XIXMLPI {
public:
    XIXMLPI() = default;
    XIXMLPI(const XIXMLPI&) = default;
    XIXMLPI& operator=(const XIXMLPI&) = default;

    virtual XIXMLNode* AsNode() = 0;
    virtual const XIXMLNode* AsNode() const = 0;
    virtual const char* GetProcessor() const = 0;
    virtual void SetProcessor(const char* text) = 0;
    virtual const char* GetInstruction() const = 0;
    virtual void SetInstruction(const char* text) = 0;

protected:
    virtual ~XIXMLPI();
};

// ---------------------------------------------------------------------------
// An element: a name, ordered children of any kind and ordered attributes.
// It is also the factory of every node kind: new nodes are appended to it.
class CORVANEXML_API XIXMLElement {
public:
    XIXMLElement() = default;
    XIXMLElement(const XIXMLElement&) = default;
    XIXMLElement& operator=(const XIXMLElement&) = default;

    virtual XIXMLNode* AsNode() = 0;
    virtual const XIXMLNode* AsNode() const = 0;
    // Writes this element with its subtree as indented XML starting at depth
    // 0; on a root element, the whole document followed by one line feed.
    // Raises "Can't write character" when the stream accepts fewer bytes than
    // asked; what was written stays.
    virtual void Write(XIXMLWriteStream* stream) const = 0;
    // The document's key for `name`, interned when absent. Raises
    // "XCXMLElement::GetKey - element isn't in a tree" when the element is not
    // under a root. The reference is valid only until the next name is
    // interned: copy the key.
    virtual const XCXMLKey& GetKey(const char* name) const = 0;
    // Appends a detached node; raises (changing nothing) when it has a parent
    // or a next link.
    virtual void AddNode(XIXMLNode* node) = 0;
    // Detaches a child without destroying it; it then belongs to the caller.
    virtual void RemoveNode(XIXMLNode* node) = 0;
    // Moves a child to stand before `before`, another child, or last when
    // `before` is null. When `before` is not a child the node is left
    // detached and the call raises.
    virtual void MoveNode(XIXMLNode* node, XIXMLNode* before) = 0;
    // Position of `node` among all children, or XIXMLNode::kNoIndex.
    virtual unsigned int IndexOf(const XIXMLNode* node) const = 0;
    // Appends an attribute (no check for an existing one of that name).
    virtual XIXMLAttribute* AddAttribute(const XCXMLKey& name, const char* value) = 0;
    // Unlinks without destroying; the attribute keeps its own links.
    virtual void RemoveAttribute(XIXMLAttribute* attribute) = 0;
    virtual XIXMLPI* AddPI(const char* processor, const char* instruction) = 0;
    virtual XIXMLComment* AddComment(const char* comment) = 0;
    // Null strings mean absent.
    virtual XIXMLDocType* AddDocType(const XCXMLKey& token, const char* publicId, const char* systemId,
                                     const char* local) = 0;
    // The new node owns `provider`. Both AddData forms raise "Only one data
    // node for an element" when a data child exists (a refused provider stays
    // the caller's).
    virtual XIXMLData* AddData(XIXMLData::IXMLCData* provider) = 0;
    virtual XIXMLData* AddData(const char* text) = 0;
    virtual XIXMLElement* AddElement(const XCXMLKey& name) = 0;
    virtual const XCXMLKey& GetName() const = 0;
    virtual void SetName(const XCXMLKey& name) = 0;
    // The first data child, or null.
    virtual XIXMLData* GetData() = 0;
    virtual const XIXMLData* GetData() const = 0;
    virtual XIXMLNode* GetFirstNode() const = 0;
    virtual XIXMLElement* FindFirstElement() const = 0;
    // The next sibling element of this element.
    virtual XIXMLElement* NextElement() const = 0;
    virtual XIXMLElement* FindElement(const XCXMLKey& name) const = 0;
    // The next sibling element with the same name.
    virtual XIXMLElement* NextSameElement() const = 0;
    // Number of element children (other kinds not counted).
    virtual unsigned int NbElements() const = 0;
    // The element child at `index`, counting element children only.
    virtual XIXMLElement* FindElementByIndex(unsigned int index) const = 0;
    virtual XIXMLAttribute* GetFirstAttribute() const = 0;
    // The first attribute with that name; the key of "" finds the first
    // attribute whatever its name.
    virtual XIXMLAttribute* FindAttribute(const XCXMLKey& name) const = 0;
    // True when FindAttribute(name) has exactly this value.
    virtual bool TestAttribute(const XCXMLKey& name, const char* value) const = 0;

    // Text-taking forms: each interns `name` first (also the searching ones),
    // so they work only on an element in a document.
    XIXMLAttribute* AddAttribute(const char* name, const char* value);
    XIXMLElement* AddElement(const char* name);
    XIXMLElement* FindElement(const char* name) const;
    XIXMLAttribute* FindAttribute(const char* name) const;
    bool TestAttribute(const char* name, const char* value) const;
    // Destroys the element with its attributes and subtree (AsNode()->Destroy()).
    void Destroy();

protected:
    virtual ~XIXMLElement();
};

}  // namespace CorvaneXML

#endif
