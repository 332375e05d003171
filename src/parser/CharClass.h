#ifndef CORVANEXML_PARSER_CHARCLASS_H
#define CORVANEXML_PARSER_CHARCLASS_H

// Byte classes of the reading routines as constant tables, so that the hot
// loops test a byte with one load.

namespace CorvaneXML {
namespace charclass {

struct Table {
    bool of[256];
};

constexpr Table MakeSpaceTable() {
    Table table{};
    table.of[9] = table.of[10] = table.of[13] = table.of[32] = true;
    return table;
}

// Every byte continues a name except whitespace and ! * + / = > ?.
constexpr Table MakeNameTable() {
    Table table{};
    for (int c = 0; c < 256; ++c) table.of[c] = true;
    table.of[9] = table.of[10] = table.of[13] = table.of[32] = false;
    table.of[static_cast<unsigned char>('!')] = false;
    table.of[static_cast<unsigned char>('*')] = false;
    table.of[static_cast<unsigned char>('+')] = false;
    table.of[static_cast<unsigned char>('/')] = false;
    table.of[static_cast<unsigned char>('=')] = false;
    table.of[static_cast<unsigned char>('>')] = false;
    table.of[static_cast<unsigned char>('?')] = false;
    return table;
}

// Name bytes but NUL, which continues a name but ends the C string a
// handler sees: a name handed on where it stands must hold none.
constexpr Table MakePlainNameTable() {
    Table table = MakeNameTable();
    table.of[0] = false;
    return table;
}

inline constexpr Table kSpace = MakeSpaceTable();
inline constexpr Table kName = MakeNameTable();
inline constexpr Table kPlainName = MakePlainNameTable();

// For characters of the reading path: 0..255, or -1 at end of input.
inline bool IsName(int c) { return static_cast<unsigned>(c) < 256u && kName.of[c]; }

// For bytes of a block.
inline bool IsSpaceByte(char c) { return kSpace.of[static_cast<unsigned char>(c)]; }
inline bool IsNameByte(char c) { return kName.of[static_cast<unsigned char>(c)]; }
inline bool IsPlainNameByte(char c) { return kPlainName.of[static_cast<unsigned char>(c)]; }

}  // namespace charclass
}  // namespace CorvaneXML

#endif
