// Writing the leaf nodes: text data, DOCTYPE, comments and processing
// instructions. Their texts go out unchanged except owned text data, which is
// escaped.

#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLMarkup.h>

#include "dom/Access.h"
#include "foundation/Raise.h"
#include "writer/XCXMLWriter.h"

namespace CorvaneXML {

void XCXMLData::WriteTo(XCXMLWriter* writer, int depth) const {
    if (IXMLCData* const provider = CDataAccess::Provider(*this)) {
        // The provider writes the body itself; nothing it writes is checked.
        writer->WriteToken("<![CDATA[");
        Require(provider->Write(writer->SettledStream(), depth, this), "Data provider failed to write its section");
        writer->WriteToken("]]>");
        return;
    }
    // Text stays on the line of what precedes it, and keeps what follows
    // there too, so <a>text</a> is one line.
    writer->WriteText(CDataAccess::Text(*this));
    writer->SkipNextNewLine();
}

void XCXMLDocType::WriteTo(XCXMLWriter* writer, int depth) const {
    writer->NewLine(depth);
    writer->WriteToken("<!DOCTYPE ");
    writer->WriteString(GetToken());
    if (const char* publicId = GetPublic()) {
        // A public literal is always followed by a system literal; an absent
        // system identifier goes out as an empty one.
        writer->WriteToken(" PUBLIC \"");
        writer->WriteString(publicId);
        writer->WriteToken("\" \"");
        writer->WriteString(GetSystem());
        writer->WriteToken("\"");
    } else if (const char* systemId = GetSystem()) {
        writer->WriteToken(" SYSTEM \"");
        writer->WriteString(systemId);
        writer->WriteToken("\"");
    }
    if (const char* local = GetLocal()) {
        writer->WriteToken(" [");
        writer->WriteString(local);
        writer->WriteToken("]");
    }
    writer->WriteToken(">");
}

void XCXMLComment::WriteTo(XCXMLWriter* writer, int depth) const {
    writer->NewLine(depth);
    writer->WriteToken("<!--");
    writer->WriteString(GetComment());
    writer->WriteToken("-->");
}

void XCXMLPI::WriteTo(XCXMLWriter* writer, int depth) const {
    writer->NewLine(depth);
    writer->WriteToken("<?");
    writer->WriteString(GetProcessor());
    writer->WriteToken(" ");
    writer->WriteString(GetInstruction());
    writer->WriteToken("?>");
}

}  // namespace CorvaneXML
