#include "store/field_map.h"

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

bool fits(std::size_t rowSize, const FieldMap& map, std::size_t recordSize) {
    return rowSize >= mappedLength(map) && recordSize >= recordSizeOf(map);
}

// Integers are little-endian in the row whatever the host order.
void rowIntToMember(const std::uint8_t* in, std::uint16_t width, std::uint8_t* out) {
    std::uint32_t v = 0;
    for (std::uint16_t i = 0; i < width; ++i) v |= std::uint32_t{in[i]} << (8 * i);
    if (width == 2) {
        const auto x = static_cast<std::uint16_t>(v);
        std::memcpy(out, &x, 2);
    } else {
        std::memcpy(out, &v, 4);
    }
}

void memberIntToRow(const std::uint8_t* in, std::uint16_t width, std::uint8_t* out) {
    std::uint32_t v = 0;
    if (width == 2) {
        std::uint16_t x;
        std::memcpy(&x, in, 2);
        v = x;
    } else {
        std::memcpy(&v, in, 4);
    }
    for (std::uint16_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

bool RowToStruct(std::span<const std::uint8_t> row, const FieldMap& map, void* record,
                 std::size_t recordSize) {
    if (!fits(row.size(), map, recordSize)) return false;
    auto* out = static_cast<std::uint8_t*>(record);
    std::size_t rowOffset = 0;
    std::size_t memberOffset = 0;
    for (const auto& d : map) {
        memberOffset = alignUp(memberOffset, memberAlignment(d.type, d.width));
        if (d.type == kIntegerField && (d.width == 2 || d.width == 4))
            rowIntToMember(row.data() + rowOffset, d.width, out + memberOffset);
        else
            std::memcpy(out + memberOffset, row.data() + rowOffset, d.width);
        rowOffset += d.width;
        memberOffset += d.width;
    }
    return true;
}

bool StructToRow(std::span<std::uint8_t> row, const FieldMap& map, const void* record,
                 std::size_t recordSize) {
    if (!fits(row.size(), map, recordSize)) return false;
    const auto* in = static_cast<const std::uint8_t*>(record);
    std::size_t rowOffset = 0;
    std::size_t memberOffset = 0;
    for (const auto& d : map) {
        memberOffset = alignUp(memberOffset, memberAlignment(d.type, d.width));
        if (d.type == kIntegerField && (d.width == 2 || d.width == 4))
            memberIntToRow(in + memberOffset, d.width, row.data() + rowOffset);
        else
            std::memcpy(row.data() + rowOffset, in + memberOffset, d.width);
        rowOffset += d.width;
        memberOffset += d.width;
    }
    return true;
}

}  // namespace gw
