// CDATA bodies read in odd chunk sizes must give exactly the bytes that the
// default handler gathers. The first bytes of the input choose the chunk
// sizes; the rest is the document.

#include "EventLog.h"

#include <cstdlib>

namespace {

// Reads each CDATA body with calls of the planned sizes in turn and hands it
// on as the default handler does.
class ChunkedLog : public testsupport::LogParser {
public:
    std::vector<std::uint64_t> chunks;

protected:
    void CData(CorvaneXML::XIXMLReadStream* stream) override {
        std::string body;
        char piece[16];
        for (std::size_t read = 0;; ++read) {
            const std::uint64_t want = chunks[read % chunks.size()];
            const std::uint64_t n = stream->Read(piece, want);
            body.append(piece, n);
            if (n < want) break;
        }
        Data(body.c_str());  // as the default does: up to the first NUL
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    testsupport::LogParser gathered;
    ChunkedLog chunked;
    for (std::size_t i = 0; i < 4; ++i) chunked.chunks.push_back(1 + data[i] % 16);
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    if (Log(gathered, text) != Log(chunked, text)) std::abort();
    return 0;
}
