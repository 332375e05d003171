#include "writer/XCXMLWriter.h"

#include "foundation/Raise.h"
#include "foundation/TextRun.h"

#include <algorithm>

namespace CorvaneXML {

XCXMLWriter::XCXMLWriter(XIXMLWriteStream* stream) noexcept
    : stream_(stream),
      window_(dynamic_cast<XIXMLWriteWindow*>(stream)),
      begin_(nullptr),
      next_(nullptr),
      end_(nullptr),
      skipNewLine_(true) {}

void XCXMLWriter::Settle() noexcept {
    if (next_ == nullptr) return;
    window_->CloseWindow(static_cast<std::uint64_t>(next_ - begin_));
    begin_ = next_ = end_ = nullptr;
}

bool XCXMLWriter::Reopen(std::uint64_t size) {
    Settle();
    if (window_ == nullptr) return false;
    const CXMLWindow window = window_->OpenWindow(size);
    if (window.begin == nullptr) return false;
    begin_ = next_ = window.begin;
    end_ = window.end;
    return size <= static_cast<std::size_t>(end_ - next_);
}

void XCXMLWriter::Refused() { Raise("Can't write character"); }

void XCXMLWriter::PutOutside(const char* data, std::uint64_t size) {
    if (Reopen(size)) {
        std::memcpy(next_, data, static_cast<std::size_t>(size));
        next_ += size;
        return;
    }
    // The stream decides: it drains its buffer, finds its file failed or
    // refuses bytes past its limit.
    Settle();
    if (stream_->Write(data, size) != size) Refused();
}

void XCXMLWriter::PutPlainOutside(const char* data, std::size_t size) {
    // Every character is a call of its own: as many as the window takes go
    // there; once it is full a new one is asked for, and a character that
    // none can take goes to Write, which decides.
    const char* const end = data + size;
    while (data != end) {
        const std::size_t room = next_ != nullptr ? static_cast<std::size_t>(end_ - next_) : 0;
        if (room != 0) {
            const std::size_t fits = std::min(room, static_cast<std::size_t>(end - data));
            std::memcpy(next_, data, fits);
            next_ += fits;
            data += fits;
        } else if (!Reopen(static_cast<std::uint64_t>(end - data)) && (next_ == nullptr || next_ == end_)) {
            Settle();
            if (stream_->Write(data, 1) != 1) Refused();
            ++data;
        }
    }
}

void XCXMLWriter::WriteString(const char* s) {
    if (s == nullptr) s = "";
    Put(s, TextLength(s));
}

void XCXMLWriter::WriteText(const char* s) {
    if (s == nullptr) return;
    for (;; ++s) {
        const char* const run = s;
        s = EndOfRun<Run::kText>(s);
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
    Require(quote == '"', "XCXMLWriter::WriteQuoted - Invalid quote");
    WriteChar(quote);
    for (; s != nullptr; ++s) {
        const char* const run = s;
        s = EndOfRun<Run::kValue>(s);
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

void XCXMLWriter::NewLineOutside(int depth) {
    if (skipNewLine_) {
        skipNewLine_ = false;
        return;
    }
    std::size_t tabs = depth > 0 ? static_cast<std::size_t>(depth) : 0;
    std::size_t piece = std::min(tabs, kLineStartTabs);
    PutPlain(kLineStart, 1 + piece);
    for (tabs -= piece; tabs != 0; tabs -= piece) {
        piece = std::min(tabs, kLineStartTabs);
        PutPlain(kLineStart + 1, piece);
    }
}

}  // namespace CorvaneXML
