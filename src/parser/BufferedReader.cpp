#include <CorvaneXML/XMLParser.h>

#include <CorvaneTools/CorvaneTools.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CorvaneXML {

namespace {

// The line feeds in [begin, end), many bytes at a time: a byte-wise count
// costs a fifth of a parse. Sixteen-byte vectors where the machine has them,
// then words of eight, then single bytes.
std::uint64_t CountLineFeeds(const char* begin, const char* end) {
    std::uint64_t feeds = 0;
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (end - begin >= 16) {
        // Each lane counts up to 255 matches before the lanes are summed.
        __m128i lanes = zero;
        for (int round = 0; round < 255 && end - begin >= 16; ++round, begin += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(bytes, feed));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        feeds += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fu;
    for (; end - begin >= 8; begin += 8) {
        std::uint64_t word;
        std::memcpy(&word, begin, sizeof word);
        word ^= kOnes * '\n';  // line feeds become zero bytes
        // The top bit of each byte is set when that byte is not zero, exactly.
        const std::uint64_t nonZero = (((word & kLow7) + kLow7) | word) & ~kLow7;
        // One per zero byte, summed into the top byte.
        feeds += (((~nonZero & ~kLow7) >> 7) * kOnes) >> 56;
    }
    return feeds + static_cast<std::uint64_t>(std::count(begin, end, '\n'));
}

}  // namespace

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
    // Counting over the whole block at once is far cheaper than stopping at
    // each line feed, and line feeds can be every few bytes.
    const char* const end = block + count;
    const char* const begin = block;
    const std::uint64_t feeds = CountLineFeeds(begin, end);
    if (feeds != 0) {
        linesBefore += feeds;
        const auto lastFeed = std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(begin), '\n');
        lineStart = blockStart + static_cast<std::uint64_t>(lastFeed.base() - begin);
    }
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
