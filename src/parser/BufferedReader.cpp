#include <CorvaneXML/XMLParser.h>

#include <CorvaneTools/CorvaneTools.h>

namespace CorvaneXML {

CXMLBufferedReader::CXMLBufferedReader(XIXMLReadStream* stream)
    : position(0), count(0), atEnd(false), stream(stream), blockStart(0) {
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
    blockStart += static_cast<std::uint64_t>(count);
    count = static_cast<int>(n);
    position = 1;
    return static_cast<unsigned char>(block[0]);
}

}  // namespace CorvaneXML
