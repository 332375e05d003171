#ifndef CORVANEXML_XMLTREEREADER_H
#define CORVANEXML_XMLTREEREADER_H

#include <CorvaneXML/Export.h>
#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLParser.h>
#include <CorvaneXML/XMLStreams.h>

#include <memory>

namespace CorvaneXML {

class CHashKey;
class CNodeArena;
class CReaderState;

// Takes charge of CDATA sections while a document is read into a tree.
class CORVANEXML_API IXMLCDataReader {
public:
    IXMLCDataReader() = default;
    IXMLCDataReader(const IXMLCDataReader&) = default;
    IXMLCDataReader& operator=(const IXMLCDataReader&) = default;

    // Called once per CDATA section with the element open at that point (the
    // root element before the document element) and a stream over the
    // section's raw body, valid only during the call. The handler may read
    // all, part or none of it; to keep the section it attaches a node to
    // `element` itself, typically a provider through AddData. Returning false
    // makes ReadTree fail.
    virtual bool Read(XIXMLElement* element, XIXMLReadStream* stream) = 0;

    virtual ~IXMLCDataReader();
};

// Told where each element that ReadTree makes starts in the source, for a
// host that reports problems found in a tree in terms of the text it came
// from.
class CORVANEXML_API IXMLPositionMap {
public:
    IXMLPositionMap() = default;
    IXMLPositionMap(const IXMLPositionMap&) = default;
    IXMLPositionMap& operator=(const IXMLPositionMap&) = default;

    // Called once for every element that ReadTree adds, right after adding
    // it and before its attributes, with the position of the '<' of its start
    // tag. `element` lives as long as its tree. Elements that a CDATA handler
    // adds itself are not reported. An exception thrown here makes ReadTree
    // fail like any other.
    virtual void MapElement(XIXMLElement* element, const CXMLPosition& start) = 0;

    virtual ~IXMLPositionMap();
};

// Reads XML text into a new document.
class CORVANEXML_API CXMLTreeReader : public CXMLParser {
public:
    // `reader` (may be null) is not owned and must outlive this object. Without
    // one, CDATA sections become ordinary text data.
    explicit CXMLTreeReader(IXMLCDataReader* reader = nullptr);
    CXMLTreeReader(const CXMLTreeReader&) = delete;
    CXMLTreeReader& operator=(const CXMLTreeReader&) = delete;
    ~CXMLTreeReader() override;

    // Reads one document and returns it; the caller owns the tree and deletes
    // it. On any failure (a syntax error, a second text node in an element, a
    // CDATA handler returning false, an exception from the stream or a
    // handler) the partial tree is deleted and the same exception leaves; the
    // reader is then ready for another document. A ReadTree started while one
    // is running on this reader raises and changes nothing.
    XCXMLTree* ReadTree(XIXMLReadStream* stream);

    // Every ReadTree from now on tells `map` (not owned, may be null) where
    // each element it makes starts. Without a map, which is the default, no
    // position is worked out.
    void SetPositionMap(IXMLPositionMap* map);

private:
    // Parser events; outside ReadTree they all raise, as there is no document.
    void Comment(const char* text) override;
    bool ProcessingInstruction(const char* target, const char* instruction) override;
    void DocType(const char* name, const char* publicId, const char* systemId, const char* internalSubset) override;
    const void* OpenNode(const char* name) override;
    void Attribute(const char* name, const char* value) override;
    void Data(const char* text) override;
    void CData(XIXMLReadStream* stream) override;
    void CloseNode(const void* handle) override;

    XCXMLTree* tree_;
    XIXMLElement* currentElement_;
    // Opaque: while ReadTree runs, currentElement_ when it is one of the
    // library's own elements, the memory the new nodes are taken from, and
    // the document's key table.
    XCXMLElement* ownElement_;
    CNodeArena* arena_;
    CHashKey* keys_;
    // Opaque: what the reader keeps from one event to the next, allocated
    // once per reader.
    std::unique_ptr<CReaderState> state_;
    IXMLCDataReader* cdataReader_;
    IXMLPositionMap* positionMap_;
};

}  // namespace CorvaneXML

#endif
