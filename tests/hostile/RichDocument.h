#ifndef CORVANE_HOSTILE_RICH_DOCUMENT_H
#define CORVANE_HOSTILE_RICH_DOCUMENT_H

#include <CorvaneXML/CorvaneXML.h>

#include <cstdint>
#include <memory>
#include <string>

// A document that reaches every construct the reader knows: prolog PI,
// DOCTYPE with an internal subset, comments, attributes, entities and
// character references, CDATA, nesting, and an epilogue.
inline const char* RichDocument() {
    return "<?xml version=\"1.0\"?>\n"
           "<!DOCTYPE doc PUBLIC \"-//Corvane//doc//EN\" \"doc.dtd\" [<!ELEMENT doc ANY>]>\n"
           "<!-- prolog comment -->\n"
           "<doc a=\"1\" b=\"x &amp; y\" c=\"&#65;&#x42;\">\n"
           "  <head><title lang=\"en\">T &lt; U &gt; V</title></head>\n"
           "  <body>\n"
           "    <p id=\"p1\">quoted &quot;q&quot; &apos;s&apos; &#xe9;&#233;</p>\n"
           "    <code><![CDATA[x < y && ]] > z]]></code>\n"
           "    <list><item n=\"1\"/><item n=\"2\">two</item><!-- inner --></list>\n"
           "    <skip s=\"1\"><deep><deeper k=\"v\">gone</deeper></deep></skip>\n"
           "    <tail/>\n"
           "  </body>\n"
           "</doc>\n"
           "<!-- epilogue -->\n"
           "<?done now?>\n";
}

// CDATA kept as host data, so that copies, writes and deletions of the
// section go through a provider.
class Body : public CorvaneXML::XIXMLData::IXMLCData {
public:
    explicit Body(std::string text) : text_(std::move(text)) {}
    bool Write(CorvaneXML::XIXMLWriteStream* out, int, const CorvaneXML::XIXMLNode*) override {
        return out->Write(text_.data(), text_.size()) == text_.size();
    }
    IXMLCData* Copy() override { return new Body(text_); }

protected:
    std::string text_;
};

// Reads each CDATA section in small pieces and attaches it as a `Provider`.
template <class Provider> class BodyReader : public CorvaneXML::IXMLCDataReader {
public:
    bool Read(CorvaneXML::XIXMLElement* element, CorvaneXML::XIXMLReadStream* stream) override {
        std::string text;
        char chunk[8];
        for (std::uint64_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;) text.append(chunk, n);
        std::unique_ptr<Provider> body(new Provider(text));
        element->AddData(body.get());
        body.release();  // the data node owns it now
        return true;
    }
};

#endif
