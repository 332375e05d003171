#include <CorvaneXML/XMLParser.h>

#include <CorvaneTools/CorvaneTools.h>

#include <cstring>

namespace CorvaneXML {

CXMLBufferedReader::CXMLBufferedReader(XIXMLReadStream* stream)
    : position(0),
      count(0),
      atEnd(false),
      stream(stream),
      blockStart(0),
      linesBefore(0),
      lineStart(0) {
    Corvane::CvThrow::SiNULL(stream);
}

CXMLBufferedReader::~CXMLBufferedReader() = default;

int CXMLBufferedReader::ReadBlock() {
    if (atEnd) return -1;
    std::uint64_t n = stream->Read(block, kBlockSize);
    if (n < static_cast<std::uint64_t>(kBlockSize)) atEnd = true;
    // A stream that claims more than it was given room for is treated as
    // having filled the block; nothing past it is ever read.
    if (n > static_cast<std::uint64_t>(kBlockSize)) n = kBlockSize;
    if (n == 0) return -1;
    // The block being replaced is counted once, here, for error positions.
    const char* end = block + count;
    const char* lastFeed = nullptr;
    for (const char* p = block; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
        ++linesBefore;
        lastFeed = p;
    }
    if (lastFeed != nullptr) lineStart = blockStart + static_cast<std::uint64_t>(lastFeed - block) + 1;
    blockStart += static_cast<std::uint64_t>(count);
    count = static_cast<int>(n);
    position = 1;
    return static_cast<unsigned char>(block[0]);
}

void CXMLBufferedReader::LocateOffset(std::uint64_t offset, std::uint64_t& line,
                                      std::uint64_t& column) const {
    line = linesBefore + 1;
    std::uint64_t start = lineStart;
    const std::uint64_t inBlock = offset - blockStart;
    for (std::uint64_t i = 0; i < inBlock && i < static_cast<std::uint64_t>(count); ++i) {
        if (block[i] == '\n') {
            ++line;
            start = blockStart + i + 1;
        }
    }
    column = offset - start + 1;
}

}  // namespace CorvaneXML
