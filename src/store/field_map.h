#pragma once
// Field maps and the conversion between stored rows and in-memory records.
//
// A stored row is a packed run of fields. The in-memory record holds one member per
// descriptor, in the same order, each at its natural alignment (text 1, byte 1, 16-bit 2,
// 32-bit 4): exactly how a C++ struct of those member types is laid out, so the record
// declarations can be ordinary structs and the conversion needs nothing but the map.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace gw {

inline constexpr std::uint8_t kTextField = 0;     // fixed-length single-byte text
inline constexpr std::uint8_t kIntegerField = 1;  // signed little-endian, 2 or 4 bytes
inline constexpr std::uint8_t kByteField = 19;    // one unsigned byte

struct FieldDescriptor {
    std::uint8_t type = kTextField;
    std::uint16_t width = 0;
};

using FieldMap = std::vector<FieldDescriptor>;

void SetField(FieldDescriptor& descriptor, std::uint8_t type, std::uint16_t width);

// Fills map[index] and advances index. An index outside the map is a programming error
// in a record declaration and throws std::out_of_range.
void AddField(FieldMap& map, std::int16_t& index, std::uint8_t type, std::uint16_t width);

// Alignment of a descriptor's in-memory member: always a power of two.
constexpr std::size_t memberAlignment(std::uint8_t type, std::uint16_t width) {
    return type == kIntegerField && (width == 2 || width == 4) ? width : 1;
}

// `alignment` is a power of two; a mask, not a division, since every conversion runs it.
constexpr std::size_t alignUp(std::size_t offset, std::size_t alignment) {
    return (offset + alignment - 1) & ~(alignment - 1);
}

// Bytes of a row that the map covers.
std::size_t mappedLength(const FieldMap& map);

// Size of the in-memory record the map describes, tail padding included.
std::size_t recordSizeOf(const FieldMap& map);

// Row -> record and record -> row, descriptor by descriptor, byte for byte (text untrimmed).
// Row bytes past the mapped length are neither read nor written. Both do nothing and return
// false when the row is shorter than the mapped length or the record smaller than the map
// needs, so a wrong call can never touch memory outside either buffer.
bool RowToStruct(std::span<const std::uint8_t> row, const FieldMap& map, void* record,
                 std::size_t recordSize);
bool StructToRow(std::span<std::uint8_t> row, const FieldMap& map, const void* record,
                 std::size_t recordSize);

}  // namespace gw
