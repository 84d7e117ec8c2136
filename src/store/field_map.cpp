#include "store/field_map.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace gw {

void SetField(FieldDescriptor& descriptor, std::uint8_t type, std::uint16_t width) {
    descriptor.type = type;
    descriptor.width = width;
}

void AddField(FieldMap& map, std::int16_t& index, std::uint8_t type, std::uint16_t width) {
    if (index < 0 || static_cast<std::size_t>(index) >= map.size())
        throw std::out_of_range("field map index outside the map");
    SetField(map[static_cast<std::size_t>(index)], type, width);
    ++index;
}

std::size_t mappedLength(const FieldMap& map) {
    std::size_t length = 0;
    for (const auto& d : map) length += d.width;
    return length;
}

std::size_t recordSizeOf(const FieldMap& map) {
    std::size_t offset = 0;
    std::size_t maxAlign = 1;
    for (const auto& d : map) {
        const std::size_t align = memberAlignment(d.type, d.width);
        offset = alignUp(offset, align) + d.width;
        if (align > maxAlign) maxAlign = align;
    }
    return alignUp(offset, maxAlign);
}

namespace {

bool isInteger(const FieldDescriptor& d) {
    return d.type == kIntegerField && (d.width == 2 || d.width == 4);
}

// Integers are little-endian in the row; on a little-endian host the bytes are the member's.
void swapToOtherOrder(std::uint8_t* p, std::uint16_t width) {
    if constexpr (std::endian::native != std::endian::little) std::reverse(p, p + width);
}

// Calls copy(rowOffset, memberOffset, descriptor) for every descriptor, once the whole map is
// known to fit both buffers; false, and no call, when it does not.
template <class Copy>
bool forEachField(const FieldMap& map, std::size_t rowSize, std::size_t recordSize, Copy copy) {
    if (rowSize < mappedLength(map) || recordSize < recordSizeOf(map)) return false;
    std::size_t rowOffset = 0;
    std::size_t memberOffset = 0;
    for (const auto& d : map) {
        memberOffset = alignUp(memberOffset, memberAlignment(d.type, d.width));
        copy(rowOffset, memberOffset, d);
        rowOffset += d.width;
        memberOffset += d.width;
    }
    return true;
}

}  // namespace

bool RowToStruct(std::span<const std::uint8_t> row, const FieldMap& map, void* record,
                 std::size_t recordSize) {
    auto* out = static_cast<std::uint8_t*>(record);
    return forEachField(map, row.size(), recordSize,
                        [&](std::size_t r, std::size_t m, const FieldDescriptor& d) {
                            std::memcpy(out + m, row.data() + r, d.width);
                            if (isInteger(d)) swapToOtherOrder(out + m, d.width);
                        });
}

bool StructToRow(std::span<std::uint8_t> row, const FieldMap& map, const void* record,
                 std::size_t recordSize) {
    const auto* in = static_cast<const std::uint8_t*>(record);
    return forEachField(map, row.size(), recordSize,
                        [&](std::size_t r, std::size_t m, const FieldDescriptor& d) {
                            std::memcpy(row.data() + r, in + m, d.width);
                            if (isInteger(d)) swapToOtherOrder(row.data() + r, d.width);
                        });
}

}  // namespace gw
