#include <CorvaneXML/XMLParser.h>

#include "foundation/Raise.h"
#include "parser/LineFeeds.h"
#include "parser/ReaderAccess.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include <string.h>

namespace CorvaneXML {

namespace {

// Just past the last line feed in [begin, end), or null when there is none.
// Text often runs for a whole block without a line end, and a byte-wise
// search backwards would then cost more than counting the block.
const char* AfterLastLineFeed(const char* begin, const char* end) {
#if defined(__GLIBC__)
    const void* feed = memrchr(begin, '\n', static_cast<std::size_t>(end - begin));
    return feed != nullptr ? static_cast<const char*>(feed) + 1 : nullptr;
#else
    const auto feed = std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(begin), '\n');
    return feed.base() != begin ? feed.base() : nullptr;
#endif
}

}  // namespace

CXMLBufferedReader::CXMLBufferedReader(XIXMLReadStream* stream)
    : position(0), count(0), atEnd(false), stream(stream), origin(nullptr), atBlock{0, 0, 0}, known{0, 0, 0}, mark(0) {
    Require(stream != nullptr, "Read stream is null");
    origin = dynamic_cast<XIXMLReadOrigin*>(stream);
}

CXMLBufferedReader::~CXMLBufferedReader() = default;

int CXMLBufferedReader::ReadBlock() {
    if (atEnd) return -1;
    // Worked out while the block being replaced is still here: the line
    // feeds of the whole block, counted once, and from there back to where
    // the construct being reported stands, usually a few bytes before.
    const std::uint64_t end = atBlock.offset + static_cast<std::uint64_t>(count);
    const LineCount next = CReaderAccess::CountTo(*this, end);
    if (known.offset != mark && mark < end) known = CReaderAccess::CountBack(*this, next, mark);
    std::uint64_t n = stream->Read(block, kBlockSize);
    if (n < static_cast<std::uint64_t>(kBlockSize)) atEnd = true;
    // A stream that claims more than it was given room for is treated as
    // having filled the block; nothing past it is ever read.
    if (n > static_cast<std::uint64_t>(kBlockSize)) n = kBlockSize;
    if (origin != nullptr) {
        // The first Read: there was no block to retire.
        CReaderAccess::TakeOrigin(*this);
    } else if (n != 0) {
        atBlock = next;
    }
    if (n == 0) return -1;
    count = static_cast<int>(n);
    position = 1;
    return static_cast<unsigned char>(block[0]);
}

void CReaderAccess::TakeOrigin(CXMLBufferedReader& reader) {
    XIXMLReadOrigin* const source = reader.origin;
    reader.origin = nullptr;
    const CXMLPosition start = source->GetOrigin();
    const std::uint64_t line = start.line > 0 ? start.line : 1;
    const std::uint64_t before = std::min(start.column > 0 ? start.column - 1 : 0, start.offset);
    reader.atBlock = reader.known = {start.offset, line - 1, start.offset - before};
    reader.mark = start.offset;
}

CReaderAccess::LineCount CReaderAccess::CountTo(const CXMLBufferedReader& reader, std::uint64_t offset) {
    const LineCount& known = reader.known;
    const LineCount& atBlock = reader.atBlock;
    if (offset == known.offset) return known;
    // From the last place worked out when it lies in this block before
    // `offset`, else from the block's start. An offset before the block is
    // on the line that reaches into it (only the mark can stand there, one
    // byte back, and it is never a line feed).
    const LineCount from = known.offset >= atBlock.offset && known.offset < offset ? known : atBlock;
    if (offset <= from.offset) return {offset, from.feeds, from.lineStart};
    const char* const begin = reader.block + (from.offset - atBlock.offset);
    const char* const stop = begin + (offset - from.offset);
    const std::uint64_t feeds = linefeeds::Count(begin, stop);
    if (feeds == 0) return {offset, from.feeds, from.lineStart};
    return {offset, from.feeds + feeds,
            from.offset + static_cast<std::uint64_t>(AfterLastLineFeed(begin, stop) - begin)};
}

CReaderAccess::LineCount CReaderAccess::CountBack(const CXMLBufferedReader& reader, const LineCount& after,
                                                  std::uint64_t offset) {
    // Most often both stand on the last line of the block, and nothing needs
    // counting.
    if (after.lineStart <= offset) return {offset, after.feeds, after.lineStart};
    const char* const block = reader.block;
    const std::uint64_t blockStart = reader.atBlock.offset;
    const char* const at = block + (offset > blockStart ? offset - blockStart : 0);
    const char* const stop = block + (after.offset - blockStart);
    const std::uint64_t feeds = linefeeds::Count(at, stop);
    const char* const lineStart = AfterLastLineFeed(block, at);
    return {
        offset, after.feeds - feeds,
        lineStart != nullptr ? blockStart + static_cast<std::uint64_t>(lineStart - block) : reader.atBlock.lineStart};
}

CXMLPosition CReaderAccess::Locate(CXMLBufferedReader& reader, std::uint64_t offset) {
    reader.known = CountTo(reader, offset);
    return {offset, reader.known.feeds + 1, offset - reader.known.lineStart + 1};
}

}  // namespace CorvaneXML
