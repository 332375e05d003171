#include "writer/XCXMLWriter.h"

#include <CorvaneTools/CorvaneTools.h>

#include <cstring>

namespace CorvaneXML {

void XCXMLWriter::Refused() { Corvane::CvThrow::SiFaux(false, "Can't write character"); }

void XCXMLWriter::WriteChar(char c) { Put(&c, 1); }

void XCXMLWriter::WriteString(const char* s) {
    if (s == nullptr) s = "";
    Put(s, std::strlen(s));
}

void XCXMLWriter::WriteText(const char* s) {
    if (s == nullptr) return;
    for (; *s != '\0'; ++s) {
        switch (*s) {
            case '&': WriteToken("&amp;"); break;
            case '<': WriteToken("&lt;"); break;
            case '>': WriteToken("&gt;"); break;
            default: WriteChar(*s); break;
        }
    }
}

void XCXMLWriter::WriteQuoted(char quote, const char* s) {
    Corvane::CvThrow::IfFalse(quote == '"', "XCXMLWriter::WriteQuoted - Invalid quote");
    WriteChar(quote);
    for (; s != nullptr && *s != '\0'; ++s) {
        switch (*s) {
            case '"': WriteToken("&quot;"); break;
            case '&': WriteToken("&amp;"); break;
            case '<': WriteToken("&lt;"); break;
            case '>': WriteToken("&gt;"); break;
            default: WriteChar(*s); break;
        }
    }
    WriteChar(quote);
}

void XCXMLWriter::NewLine(int depth) {
    if (skipNewLine_) {
        skipNewLine_ = false;
        return;
    }
    WriteChar('\n');
    for (int i = 0; i < depth; ++i) WriteChar('\t');
}

}  // namespace CorvaneXML
