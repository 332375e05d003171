#include "writer/XCXMLWriter.h"

#include "foundation/Raise.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CorvaneXML {

namespace {

// The end of the plain characters at `s`, which may be `s` itself: the NUL
// of a name, that or an escaped byte of text (& < >), or in attribute values
// the quote too.
enum class Run { kName, kText, kValue };

#if defined(__SSE2__)
// Sixteen bytes at a time, from the sixteen-byte boundary at or before `s`.
// An aligned load never reaches into another page, so reading on to the end
// of the sixteen bytes that hold the NUL is safe, though it passes the end
// of the string; the address sanitizer, which would report that, is told
// not to watch here.
template <Run kRun>
__attribute__((no_sanitize_address)) const char* EndOfRun(const char* s) {
    const unsigned skip = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(s) & 15u);
    const char* block = s - skip;
    unsigned wanted = 0xFFFFu << skip;
    for (;; block += 16, wanted = 0xFFFFu) {
        const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
        const auto same = [bytes](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
        __m128i ends = same('\0');
        if (kRun != Run::kName) ends = _mm_or_si128(_mm_or_si128(ends, same('&')), _mm_or_si128(same('<'), same('>')));
        if (kRun == Run::kValue) ends = _mm_or_si128(ends, same('"'));
        const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(ends)) & wanted;
        if (found != 0) return block + __builtin_ctz(found);
    }
}
#else
template <Run kRun>
const char* EndOfRun(const char* s) {
    if (kRun == Run::kName) return s + std::strlen(s);
    while (*s != '\0' && *s != '&' && *s != '<' && *s != '>' && (kRun != Run::kValue || *s != '"')) ++s;
    return s;
}
#endif

}  // namespace

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
    Put(s, Length(s));
}

std::size_t XCXMLWriter::Length(const char* name) {
    return static_cast<std::size_t>(EndOfRun<Run::kName>(name) - name);
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
