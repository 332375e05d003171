#include <CorvaneXML/XMLParser.h>

#include "foundation/Raise.h"
#include "parser/BufferAccess.h"
#include "parser/ParserCore.h"
#include "parser/ReaderAccess.h"
#include "parser/Scan.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace CorvaneXML {

namespace {

struct PredefinedEntity {
    const char* name;
    int length;
    char character;
};

const PredefinedEntity kPredefined[] = {
    {"lt", 2, '<'}, {"amp", 3, '&'}, {"gt", 2, '>'}, {"apos", 4, '\''}, {"quot", 4, '"'}, {nullptr, 0, 0},
};

constexpr int kEntityArea = 256;

const char kBadUnicode[] = "Bad unicode value";

}  // namespace

// Entered at the first character of a run (not whitespace, not '<'); leaves
// `current` at the '<' that ends it, or, when the run went to the handler
// where it stands, takes the tag up as NextTag does and returns true.
bool CParserCore::ReadData(CXMLParser& parser) {
    CXMLBufferedReader& reader = *parser.reader;
    TBuffer<char>& text = parser.text;
    MarkCurrent(parser);
    text.Reset();
    // Until a reference or the block's end is met, the text may go to the
    // handler where it stands.
    bool inPlace = true;
    while (parser.current != '<') {
        // An element is still open: its content cannot end here.
        Require(parser.current != -1, "End of input inside an element");
        if (parser.current == '&') {
            ReadEntity(parser);
        } else {
            // The run starts at the byte just handed out.
            const char* p = CReaderAccess::Rest(reader) - 1;
            const char* end = CReaderAccess::End(reader);
            const char* q = scan::TextEnd(p + 1, end);
            if (inPlace && q != end && *q == '<') {
                ResumeAt(parser, q, end);
                {
                    const HandedInPlace handed(reader, parser.handedText, p, q);
                    parser.Data(p);
                }
                return TakeTagAt(parser, q, end);
            }
            CBufferAccess::AddEach(text, p, static_cast<int>(q - p));
            CReaderAccess::MoveTo(reader, q);
        }
        inPlace = false;
        Read(parser);
    }
    parser.Data(text);
    return false;
}

// Entered at '&'; appends the replacement to `text` and leaves `current`
// at the ';'.
void CParserCore::ReadEntity(CXMLParser& parser) {
    CXMLBufferedReader& reader = *parser.reader;
    TBuffer<char>& text = parser.text;
    char area[kEntityArea];
    // The name as read, not NUL-terminated: inside the block when the
    // reference ends there (the usual case, read in place), else copied byte
    // by byte into `area`. Names may hold a NUL byte, where every reading of
    // them below stops as it would at the end of a C string.
    const char* name = area;
    int length = 0;
    const char* start = CReaderAccess::Rest(reader);
    const char* const limit = start + std::min<std::ptrdiff_t>(CReaderAccess::End(reader) - start, kEntityArea);
    // References are a few bytes long: a loop beats a call to memchr.
    const char* semicolon = start;
    while (semicolon != limit && *semicolon != ';') ++semicolon;
    if (semicolon != limit) {
        name = start;
        length = static_cast<int>(semicolon - start);
        CReaderAccess::MoveTo(reader, semicolon + 1);
        parser.current = ';';
    } else {
        while (Read(parser) != ';') {
            Require(parser.current != -1, "End of Data unexpected");
            Require(length < kEntityArea - 1, "Entity too big");
            area[length++] = static_cast<char>(parser.current);
        }
    }
    const char* const nameEnd = name + length;

    if (length > 0 && name[0] == '#') {
        // Wrapping arithmetic is intended: only the digits are checked.
        std::uint32_t value = 0;
        if (length > 1 && name[1] == 'x') {
            for (const char* digit = name + 2; digit != nameEnd && *digit != '\0'; ++digit) {
                std::uint32_t d;
                if (*digit >= '0' && *digit <= '9') {
                    d = static_cast<std::uint32_t>(*digit - '0');
                } else if (*digit >= 'a' && *digit <= 'f') {
                    d = static_cast<std::uint32_t>(*digit - 'a' + 10);
                } else {
                    Raise(kBadUnicode);
                }
                value = value * 16u + d;
            }
        } else {
            for (const char* digit = name + 1; digit != nameEnd && *digit != '\0'; ++digit) {
                Require(*digit >= '0' && *digit <= '9', kBadUnicode);
                value = value * 10u + static_cast<std::uint32_t>(*digit - '0');
            }
        }
        AppendCodePoint(parser, value);
        return;
    }

    for (const PredefinedEntity* entity = kPredefined; entity->name != nullptr; ++entity) {
        if (entity->length != length) continue;
        // Names of two to four bytes: a call to memcmp would cost more.
        int same = 0;
        while (same < length && entity->name[same] == name[same]) ++same;
        if (same == length) {
            text.AddChar(entity->character);
            return;
        }
    }

    // A handler gets the name NUL-terminated in an area it may rewrite.
    if (name != area) std::memcpy(area, name, static_cast<std::size_t>(length));
    area[length] = '\0';
    if (!parser.EvalEntity(area, kEntityArea)) Raise("Unrecognized entity");
    // Bounded: a handler that forgot the NUL cannot make us read past the area.
    CBufferAccess::AddEach(text, area, static_cast<int>(strnlen(area, kEntityArea)));
}

// UTF-8 in its first definition, up to six bytes for values below 2^31,
// without surrogate or range checks.
void CParserCore::AppendCodePoint(CXMLParser& parser, std::uint32_t value) {
    if (value == 0) return;
    Require(value < 0x80000000u, "Unicode value too big");
    if (value < 0x80u) {
        parser.text.AddChar(static_cast<char>(value));
        return;
    }
    // The lead byte says how many bytes follow; each of them carries six
    // bits of the value under the marker 10.
    int count;
    unsigned lead;
    if (value < 0x800u) {
        count = 2;
        lead = 0xC0u;
    } else if (value < 0x10000u) {
        count = 3;
        lead = 0xE0u;
    } else if (value < 0x200000u) {
        count = 4;
        lead = 0xF0u;
    } else if (value < 0x4000000u) {
        count = 5;
        lead = 0xF8u;
    } else {
        count = 6;
        lead = 0xFCu;
    }
    char bytes[6];
    for (int i = count - 1; i > 0; --i) {
        bytes[i] = static_cast<char>(0x80u | (value & 0x3Fu));
        value >>= 6;
    }
    bytes[0] = static_cast<char>(lead | value);
    CBufferAccess::AddEach(parser.text, bytes, count);
}

}  // namespace CorvaneXML
