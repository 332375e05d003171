#include "writer/XCXMLWriter.h"

#include "foundation/Raise.h"

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

// The least room added to a string at a time. Small enough that the bytes it
// first sets to zero are still in the cache when the writer overwrites them,
// large enough that adding it is rare.
constexpr std::size_t kStringRoom = 4096;

}  // namespace

XCXMLWriter::XCXMLWriter(XIXMLWriteStream* stream) noexcept
    : stream_(stream), string_(nullptr), file_(nullptr), next_(nullptr), end_(nullptr), base_(0), skipNewLine_(true) {
    if (stream == nullptr) return;
    // Exact types only: a derived class may override Write and count on
    // seeing every call.
    const std::type_info& type = typeid(*stream);
    if (type == typeid(XCXMLStringWriteStream)) {
        string_ = static_cast<XCXMLStringWriteStream*>(stream);
    } else if (type == typeid(XCXMLFileWriteStream)) {
        file_ = static_cast<XCXMLFileWriteStream*>(stream);
        OpenOnFile();
    }
}

void XCXMLWriter::Settle() noexcept {
    if (next_ == nullptr) return;
    if (string_ != nullptr) {
        const std::size_t used = static_cast<std::size_t>(next_ - string_->target_->data());
        string_->room_ -= used - base_;
        // Only ever shortens the string, which cannot fail.
        string_->target_->resize(used);
    } else {
        const std::size_t used = static_cast<std::size_t>(next_ - file_->buffer_.data());
        file_->room_ -= used - base_;
        file_->used_ = used;
    }
    next_ = end_ = nullptr;
}

void XCXMLWriter::OpenOnFile() noexcept {
    if (file_->failed_) return;
    base_ = file_->used_;
    const std::size_t free = file_->buffer_.size() - base_;
    next_ = file_->buffer_.data() + base_;
    end_ = next_ + static_cast<std::size_t>(std::min<std::uint64_t>(free, file_->room_));
}

std::uint64_t XCXMLWriter::StringRoom() const {
    if (next_ == nullptr) return string_->room_;
    return string_->room_ - (static_cast<std::size_t>(next_ - string_->target_->data()) - base_);
}

void XCXMLWriter::OpenOnString(std::size_t size) {
    std::string& target = *string_->target_;
    const std::uint64_t room = StringRoom();
    if (size > room) Refused();
    const std::size_t used = next_ != nullptr ? static_cast<std::size_t>(next_ - target.data()) : target.size();
    if (next_ == nullptr) base_ = used;
    // The new room is zeroed once here; a string that must reallocate grows
    // by the string's own factor, so the copies stay linear in the output.
    target.resize(used + static_cast<std::size_t>(std::min<std::uint64_t>(std::max(size, kStringRoom), room)));
    next_ = &target[used];
    end_ = &target[0] + target.size();
}

void XCXMLWriter::Refused() { Raise("Can't write character"); }

void XCXMLWriter::PutOutside(const char* data, std::uint64_t size) {
    if (string_ != nullptr) {
        OpenOnString(static_cast<std::size_t>(size));
        std::memcpy(next_, data, static_cast<std::size_t>(size));
        next_ += size;
        return;
    }
    // The stream decides: a file stream drains its buffer or finds its file
    // failed. It may move its bytes, so the window is opened afresh.
    Settle();
    if (stream_->Write(data, size) != size) Refused();
    if (file_ != nullptr) OpenOnFile();
}

void XCXMLWriter::PutPlainOutside(const char* data, std::size_t size) {
    if (string_ != nullptr) {
        // Every character is a call of its own: those within the limit are
        // taken, the first past it is refused.
        const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(size, StringRoom()));
        if (taken != 0) PutOutside(data, taken);
        if (taken != size) Refused();
        return;
    }
    const char* const end = data + size;
    while (data != end) {
        // The bytes that fit are what one call per byte would have copied
        // into the buffer; the first that does not is a call of its own.
        if (next_ != nullptr) {
            const std::size_t fits =
                std::min(static_cast<std::size_t>(end_ - next_), static_cast<std::size_t>(end - data));
            std::memcpy(next_, data, fits);
            next_ += fits;
            data += fits;
            if (data == end) return;
        }
        PutOutside(data, 1);
        ++data;
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
    Require(quote == '"', "XCXMLWriter::WriteQuoted - Invalid quote");
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
