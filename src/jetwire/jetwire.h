#pragma once

#include <cstdint>

// What orlu-jet-reader sends back over its pipe. A frame is its kind (1 byte), the length
// of its body (4 bytes, little-endian, at most MaxBody) and the body: values, each a tag
// byte and its data. An integer is 8 bytes little-endian, a real an 8-byte IEEE double, a
// flag 1 byte, a text (UTF-8) or bytes a 4-byte length and as many bytes.
//
// The reader first sends the catalog: File [version], one Table frame per table [name, rows,
// columns, then a name and a ColumnKind per column], End [tables]. Then, for each request
// it reads on the same socket (the table's name and the columns' names, each ended by a
// zero byte, then an empty name), one Row frame per row [a value per column asked for]
// and End [rows]. Either answer may end in a Refusal [RefusalReason, detail] instead.
namespace orlu::jetwire {

enum class Frame : std::uint8_t { File = 'F', Table = 'T', Row = 'R', End = 'E', Refusal = 'X' };
enum class Tag : std::uint8_t { Null = 0, Integer = 1, Real = 2, Text = 3, Bytes = 4, Flag = 5 };
enum class RefusalReason : std::int64_t { NotADatabase = 1, NewerFormat = 2, Damaged = 3, MissingColumn = 4 };

// The kind of a column, and so the tag of its values (null aside).
enum class ColumnKind : std::int64_t {
    Flag = 1,     // Tag::Flag, never null
    Byte = 2,     // Tag::Integer
    Int16 = 3,    // Tag::Integer
    Int32 = 4,    // Tag::Integer
    Single = 5,   // Tag::Real
    Double = 6,   // Tag::Real
    DateTime = 7, // Tag::Real, the day count
    Money = 8,    // Tag::Real
    Numeric = 9,  // Tag::Real
    Text = 10,    // Tag::Text
    Memo = 11,    // Tag::Text
    Ole = 12,     // Tag::Bytes
    Binary = 13,  // Tag::Bytes
    Other = 14,   // Tag::Bytes
};
constexpr std::int64_t LastColumnKind = std::int64_t(ColumnKind::Other);

constexpr Tag tagOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Flag:
        return Tag::Flag;
    case ColumnKind::Byte:
    case ColumnKind::Int16:
    case ColumnKind::Int32:
        return Tag::Integer;
    case ColumnKind::Single:
    case ColumnKind::Double:
    case ColumnKind::DateTime:
    case ColumnKind::Money:
    case ColumnKind::Numeric:
        return Tag::Real;
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return Tag::Text;
    case ColumnKind::Ole:
    case ColumnKind::Binary:
    case ColumnKind::Other:
        break;
    }
    return Tag::Bytes;
}

constexpr int HeaderSize = 5;
// A body at most: the largest picture or memo a register holds, with room to spare.
constexpr std::uint32_t MaxBody = 64u << 20;

// A request at most.
constexpr std::uint32_t MaxRequest = 1u << 20;

// The descriptors the reader is started with: the file, read-only, and a socket for the
// requests in and the frames out.
constexpr int FileFd = 0;
constexpr int ChannelFd = 1;

} // namespace orlu::jetwire
