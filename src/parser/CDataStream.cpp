#include <CorvaneXML/XMLParser.h>

#include "foundation/Raise.h"
#include "parser/ReaderAccess.h"

#include <cstring>

namespace CorvaneXML {

CXMLCDataStream::CXMLCDataStream(CXMLBufferedReader* reader)
    : reader(reader), current(0), brackets(0), finished(false), terminated(false) {
    ReadChar();
}

CXMLCDataStream::~CXMLCDataStream() = default;

std::uint64_t CXMLCDataStream::Read(char* buffer, std::uint64_t size) {
    if (finished) return 0;
    std::uint64_t delivered = 0;
    try {
        while (delivered < size) {
            if (current == -1) {
                finished = true;
                break;
            }
            if (current == ']') {
                if (brackets < 2) {
                    ++brackets;
                } else {
                    buffer[delivered++] = ']';
                }
                ReadChar();
            } else if (brackets == 0) {
                buffer[delivered++] = static_cast<char>(current);
                // Copy the ordinary bytes that follow in the reader's block
                // in one go; only ']' needs a decision.
                const char* from = CReaderAccess::Rest(*reader);
                std::uint64_t room = size - delivered;
                std::uint64_t left = static_cast<std::uint64_t>(CReaderAccess::End(*reader) - from);
                std::size_t span = static_cast<std::size_t>(room < left ? room : left);
                const void* bracket = std::memchr(from, ']', span);
                if (bracket != nullptr) span = static_cast<std::size_t>(static_cast<const char*>(bracket) - from);
                std::memcpy(buffer + delivered, from, span);
                delivered += span;
                CReaderAccess::MoveTo(*reader, from + span);
                ReadChar();
            } else if (current == '>' && brackets == 2) {
                terminated = true;
                finished = true;
                break;
            } else {
                buffer[delivered++] = ']';
                --brackets;
            }
        }
    } catch (...) {
        // The host's stream failed under the body: the data ends here and
        // FinishReading reports the section as broken.
        finished = true;
    }
    return delivered;
}

void CXMLCDataStream::FinishReading() {
    char byte;
    while (!finished) {
        if (Read(&byte, 1) != 1) break;
    }
    Require(terminated, "Error while reading <[CDATA[...]]>");
}

}  // namespace CorvaneXML
