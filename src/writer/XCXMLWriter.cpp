#include "writer/XCXMLWriter.h"

#include <CorvaneTools/CorvaneTools.h>

#include <algorithm>
#include <typeinfo>

namespace CorvaneXML {

namespace {

// Bytes that end a run of plain characters: the NUL in both, the escaped
// ones of text, and the quote in attribute values too.
constexpr unsigned char kEndsText = 1;
constexpr unsigned char kEndsValue = 2;

struct RunEnds {
    unsigned char of[256];
    constexpr RunEnds() : of() {
        of[0] = kEndsText | kEndsValue;
        of[static_cast<unsigned char>('&')] = kEndsText | kEndsValue;
        of[static_cast<unsigned char>('<')] = kEndsText | kEndsValue;
        of[static_cast<unsigned char>('>')] = kEndsText | kEndsValue;
        of[static_cast<unsigned char>('"')] = kEndsValue;
    }
};
constexpr RunEnds kRunEnds;

// The end of the plain characters at `s`, which may be `s` itself.
const char* EndOfRun(const char* s, unsigned char ends) {
    while ((kRunEnds.of[static_cast<unsigned char>(*s)] & ends) == 0) ++s;
    return s;
}

// A line feed and then the tabs of most depths, so that the usual line start
// is one piece.
constexpr char kIndent[] = "\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
constexpr std::size_t kIndentTabs = sizeof kIndent - 2;

}  // namespace

XCXMLWriter::XCXMLWriter(XIXMLWriteStream* stream) noexcept
    : stream_(stream), string_(nullptr), file_(nullptr), skipNewLine_(true) {
    if (stream == nullptr) return;
    // Exact types only: a derived class may override Write and count on
    // seeing every call.
    const std::type_info& type = typeid(*stream);
    if (type == typeid(XCXMLStringWriteStream)) {
        string_ = static_cast<XCXMLStringWriteStream*>(stream);
    } else if (type == typeid(XCXMLFileWriteStream)) {
        file_ = static_cast<XCXMLFileWriteStream*>(stream);
    }
}

void XCXMLWriter::Refused() { Corvane::CvThrow::SiFaux(false, "Can't write character"); }

void XCXMLWriter::PutPlain(const char* data, std::size_t size) {
    if (string_ != nullptr) {
        if (size != 0) string_->target_->append(data, size);
        return;
    }
    const char* const end = data + size;
    while (data != end) {
        // The bytes that fit are what one call per byte would have copied
        // into the buffer; the first that does not is a call of its own,
        // which drains the buffer or finds the file failed.
        std::size_t fits = 0;
        if (file_ != nullptr && !file_->failed_) {
            fits = std::min<std::size_t>(file_->buffer_.size() - file_->used_, static_cast<std::size_t>(end - data));
            std::memcpy(file_->buffer_.data() + file_->used_, data, fits);
            file_->used_ += fits;
            data += fits;
        }
        if (fits == 0) {
            if (stream_->Write(data, 1) != 1) Refused();
            ++data;
        }
    }
}

void XCXMLWriter::WriteString(const char* s) {
    if (s == nullptr) s = "";
    Put(s, std::strlen(s));
}

void XCXMLWriter::WriteText(const char* s) {
    if (s == nullptr) return;
    for (;; ++s) {
        const char* const run = s;
        s = EndOfRun(s, kEndsText);
        PutPlain(run, static_cast<std::size_t>(s - run));
        switch (*s) {
            case '&': WriteToken("&amp;"); break;
            case '<': WriteToken("&lt;"); break;
            case '>': WriteToken("&gt;"); break;
            default: return;  // the NUL
        }
    }
}

void XCXMLWriter::WriteQuoted(char quote, const char* s) {
    Corvane::CvThrow::IfFalse(quote == '"', "XCXMLWriter::WriteQuoted - Invalid quote");
    WriteChar(quote);
    for (; s != nullptr; ++s) {
        const char* const run = s;
        s = EndOfRun(s, kEndsValue);
        PutPlain(run, static_cast<std::size_t>(s - run));
        if (*s == '\0') break;
        switch (*s) {
            case '"': WriteToken("&quot;"); break;
            case '&': WriteToken("&amp;"); break;
            case '<': WriteToken("&lt;"); break;
            default: WriteToken("&gt;"); break;
        }
    }
    WriteChar(quote);
}

void XCXMLWriter::NewLine(int depth) {
    if (skipNewLine_) {
        skipNewLine_ = false;
        return;
    }
    std::size_t tabs = depth > 0 ? static_cast<std::size_t>(depth) : 0;
    std::size_t piece = std::min(tabs, kIndentTabs);
    PutPlain(kIndent, 1 + piece);
    for (tabs -= piece; tabs != 0; tabs -= piece) {
        piece = std::min(tabs, kIndentTabs);
        PutPlain(kIndent + 1, piece);
    }
}

}  // namespace CorvaneXML
