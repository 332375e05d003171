#ifndef CORVANEXML_XMLELEMENT_H
#define CORVANEXML_XMLELEMENT_H

#include <CorvaneTools/CorvaneTools.h>
#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLKey.h>
#include <CorvaneXML/XMLNode.h>

#include <cstddef>
#include <cstdint>

namespace CorvaneXML {

struct CDocumentHome;

// The library's element. Owns its attributes and children; destroying it
// destroys its attributes first, then its children with their subtrees.
class CORVANEXML_API XCXMLElement : public XIXMLElement, public XCXMLNode {
public:
    // Appends the new element to `parent` when it is not null.
    XCXMLElement(XIXMLElement* parent, const XCXMLKey& name);
    XCXMLElement(const XCXMLElement&) = delete;
    XCXMLElement& operator=(const XCXMLElement&) = delete;
    ~XCXMLElement() override;

    using XIXMLElement::AddAttribute;
    using XIXMLElement::AddElement;
    using XIXMLElement::FindElement;
    using XIXMLElement::FindAttribute;
    using XIXMLElement::TestAttribute;
    using XIXMLElement::Destroy;

    // XIXMLElement
    XIXMLNode* AsNode() override;
    const XIXMLNode* AsNode() const override;
    void Write(XIXMLWriteStream* stream) const override;
    const XCXMLKey& GetKey(const char* name) const override;
    void AddNode(XIXMLNode* node) override;
    void RemoveNode(XIXMLNode* node) override;
    void MoveNode(XIXMLNode* node, XIXMLNode* before) override;
    unsigned int IndexOf(const XIXMLNode* node) const override;
    XIXMLAttribute* AddAttribute(const XCXMLKey& name, const char* value) override;
    void RemoveAttribute(XIXMLAttribute* attribute) override;
    XIXMLPI* AddPI(const char* processor, const char* instruction) override;
    XIXMLComment* AddComment(const char* comment) override;
    XIXMLDocType* AddDocType(const XCXMLKey& token, const char* publicId,
                             const char* systemId, const char* local) override;
    XIXMLData* AddData(XIXMLData::IXMLCData* provider) override;
    XIXMLData* AddData(const char* text) override;
    XIXMLElement* AddElement(const XCXMLKey& name) override;
    const XCXMLKey& GetName() const override;
    void SetName(const XCXMLKey& name) override;
    XIXMLData* GetData() override;
    const XIXMLData* GetData() const override;
    XIXMLNode* GetFirstNode() const override;
    XIXMLElement* FindFirstElement() const override;
    XIXMLElement* NextElement() const override;
    XIXMLElement* FindElement(const XCXMLKey& name) const override;
    XIXMLElement* NextSameElement() const override;
    unsigned int NbElements() const override;
    XIXMLElement* FindElementByIndex(unsigned int index) const override;
    XIXMLAttribute* GetFirstAttribute() const override;
    XIXMLAttribute* FindAttribute(const XCXMLKey& name) const override;
    bool TestAttribute(const XCXMLKey& name, const char* value) const override;

    // XIXMLNode
    XIXMLElement* AsElement() override;
    void WriteTo(XCXMLWriter* writer, int depth) const override;
    XIXMLNode* Copy(XIXMLElement* parent) const override;
    void SetParent(XIXMLElement* parent) override;

private:
    friend class XCXMLRoot;
    friend const XIXMLElement* KeySource(const XIXMLElement* element);

    // The tree reader appends through the Place forms below, which put the
    // new node in the arena of the document it reads.
    friend class CXMLTreeReader;
    XCXMLElement* PlaceElement(const XCXMLKey& name, CNodeArena* arena);
    XIXMLAttribute* PlaceAttribute(const XCXMLKey& name, const char* value, CNodeArena* arena);
    XIXMLData* PlaceData(const char* text, CNodeArena* arena);

    void DestroyAttributes();
    // What RemoveNode does for the first child, for destruction, which knows
    // the child is first and of one of the library's own classes.
    void UnlinkFirstChild(XCXMLNode* child);
    // Appends a copy of this element and its attributes, without children, to
    // `parent`, interning names through `keys`.
    XIXMLElement* CopyShallow(const XIXMLElement* keys, XIXMLElement* parent) const;

    // The last child and the last attribute, and the one before a given
    // child or attribute. The library's nodes and attributes keep the one
    // before them (the first keeps the last), so appending, removing from the
    // end and inserting before a node cost no walk; the links are hints,
    // trusted only while they still agree with the list, else the list is
    // walked. The element's own list edits keep them pointing at live
    // members.
    XIXMLNode* LastChild() const;
    XIXMLNode* ChildBefore(XIXMLNode* child) const;
    XIXMLAttribute* LastAttribute() const;
    XIXMLAttribute* AttributeBefore(XIXMLAttribute* attribute) const;
    inline static void SetPrevious(XIXMLNode* node, XIXMLNode* previous);
    static void SetPrevious(XIXMLAttribute* attribute, XIXMLAttribute* previous);

    // Where this element stands in its document (see CDocumentHome): null
    // for an element a factory did not make, or made under an element of
    // another kind; the low bit is set while the element is out of its
    // document (removed, or moved into another element that does not
    // settle it back).
    CDocumentHome* Home() const { return reinterpret_cast<CDocumentHome*>(home_ & ~std::uintptr_t{1}); }
    bool OutOfHome() const { return (home_ & 1) != 0; }
    // The home, while the document is whole and this element in it.
    inline CDocumentHome* SettledHome() const;
    // The document's root, when this element is known to be under it through
    // the library's own elements alone; null when only a climb can tell.
    const XIXMLElement* SettledRoot() const;
    // The home shared by the children a factory of this element makes.
    CDocumentHome* HomeForChildren() const;
    void Rehome(XIXMLElement* parent);
    inline void ForgetPosition() const;
    void LeaveHome();

    XCXMLKey name_;
    XIXMLNode* firstChild_;
    XIXMLAttribute* firstAttribute_;
    std::uintptr_t home_;
};

// The library's attribute: a key of the owner's document and an owned value.
class CORVANEXML_API XCXMLAttribute : public XIXMLAttribute {
public:
    // Copies the key and the value (null raises); does not link itself into
    // the owner's list (the owner's AddAttribute does).
    XCXMLAttribute(XIXMLElement* owner, const XCXMLKey& name, const char* value);
    XCXMLAttribute(const XCXMLAttribute&) = delete;
    XCXMLAttribute& operator=(const XCXMLAttribute&) = delete;
    ~XCXMLAttribute() override;

    void Destroy() override;
    XIXMLAttribute* GetNext() const override;
    void SetNext(XIXMLAttribute* next) override;
    XIXMLElement* GetNode() const override;
    const XCXMLKey& GetName() const override;
    void SetName(const XCXMLKey& name) override;
    const char* GetValue() const override;
    void SetValue(const char* value) override;
    void GetFmtValue(const char* format, void* out) const override;
    void SetFmtValue(const char* format, ...) override;
    void WriteTo(XCXMLWriter* writer) const override;
    XIXMLAttribute* Copy(XIXMLElement* target) const override;

    // Attributes made by an element keep their first value in the same block
    // as the object (one allocation instead of two); attributes share the
    // memory scheme of nodes (see XCXMLNode).
    static void* operator new(std::size_t size);
    static void operator delete(void* block) noexcept;

private:
    friend class XCXMLElement;
    static void* operator new(std::size_t size, XCXMLPlacement where) noexcept;
    static void operator delete(void* block, XCXMLPlacement where) noexcept;
    struct InlineValue {};
    XCXMLAttribute(XIXMLElement* owner, const XCXMLKey& name, const char* value, std::size_t size,
                   InlineValue);
    // The element's factory: object and value in one block, placed in
    // `arena` when one is given.
    static XCXMLAttribute* Create(XIXMLElement* owner, const XCXMLKey& name, const char* value,
                                  CNodeArena* arena);
    const char* InlineArea() const { return reinterpret_cast<const char*>(this + 1); }
    void FreeValue();

    XIXMLAttribute* next_;
    // The attribute before this one, or the last one for the first (see
    // XCXMLElement::LastAttribute).
    XIXMLAttribute* previous_;
    XIXMLElement* owner_;
    XCXMLKey name_;
    char* value_;
    Corvane::XCMine guard_;
};

}  // namespace CorvaneXML

#endif
