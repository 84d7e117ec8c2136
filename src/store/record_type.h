#pragma once
// A record type: one table of named fields from which the field map, the in-memory layout,
// the names used by the data tool and the by-name access of the editors all come.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/field_map.h"
#include "store/key_definition.h"

namespace gw {

// One entry of a record's field table: a field, or a run of `count` like fields. A run
// with a `second` name is a run of pairs (name[k], second[k]) stored one after the other.
struct FieldSpec {
    std::string_view name;
    std::uint8_t type;
    std::uint16_t width;
    std::uint16_t count = 1;
    std::string_view second = {};

    constexpr std::uint16_t perEntry() const { return second.empty() ? 1 : 2; }
};

// Where one named field (or each element of a named run) lives in the row and the record.
struct FieldInfo {
    std::string_view name;
    std::uint8_t type;
    std::uint16_t width;
    std::uint16_t count;
    std::size_t rowOffset;     // of element 0
    std::size_t memberOffset;  // of element 0 in the in-memory record
    std::size_t stride;        // bytes from one element to the next, row and record alike
    std::size_t firstDescriptor;

    bool isText() const { return type == kTextField; }
    std::int64_t minValue() const;
    std::int64_t maxValue() const;
};

// Offset of the in-memory member that holds field `name`, by the layout rule of field_map.h.
// constexpr so that record declarations can check their structs at compile time.
constexpr std::size_t memberOffsetOf(std::span<const FieldSpec> specs, std::string_view name) {
    std::size_t offset = 0;
    for (const auto& s : specs) {
        const std::size_t align = memberAlignment(s.type, s.width);
        offset = alignUp(offset, align);
        if (s.name == name || s.second == name) return offset + (s.name == name ? 0 : s.width);
        offset += std::size_t{s.width} * s.count * s.perEntry();
    }
    return static_cast<std::size_t>(-1);
}

constexpr std::size_t recordSizeOf(std::span<const FieldSpec> specs) {
    std::size_t offset = 0;
    std::size_t maxAlign = 1;
    for (const auto& s : specs) {
        const std::size_t align = memberAlignment(s.type, s.width);
        offset = alignUp(offset, align) + std::size_t{s.width} * s.count * s.perEntry();
        if (align > maxAlign) maxAlign = align;
    }
    return alignUp(offset, maxAlign);
}

class RecordType {
public:
    RecordType(std::string_view name, std::string_view fileName, std::uint32_t dataLength,
               KeySpec key, std::span<const FieldSpec> specs);

    std::string_view name() const { return name_; }
    std::string_view fileName() const { return fileName_; }
    std::uint32_t dataLength() const { return dataLength_; }  // bytes passed on every call
    KeySpec key() const { return key_; }
    std::span<const FieldSpec> specs() const { return specs_; }
    const std::vector<FieldInfo>& fields() const { return fields_; }
    std::size_t descriptorCount() const { return descriptorCount_; }
    std::size_t mappedLength() const { return mappedLength_; }
    std::size_t recordSize() const { return recordSize_; }

    // The field map, built entry by entry with AddField.
    FieldMap buildFieldMap() const;

    // nullptr when the record has no such field.
    const FieldInfo* field(std::string_view name) const;

private:
    std::string_view name_;
    std::string_view fileName_;
    std::uint32_t dataLength_;
    KeySpec key_;
    std::span<const FieldSpec> specs_;
    std::vector<FieldInfo> fields_;
    std::size_t descriptorCount_ = 0;
    std::size_t mappedLength_ = 0;
    std::size_t recordSize_ = 0;
};

// By-name access to an in-memory record. Integers read as their field types them
// (type 1 signed, type 19 unsigned); setInt stores the low bytes of a value the caller has
// range-checked against minValue()..maxValue(); setText copies the bytes cut to the field's
// width and fills the rest with blanks. Element indexes are checked and throw
// std::out_of_range.
std::int64_t getInt(const void* record, const FieldInfo& field, std::size_t element = 0);
void setInt(void* record, const FieldInfo& field, std::size_t element, std::int64_t value);
std::string_view getText(const void* record, const FieldInfo& field, std::size_t element = 0);
void setText(void* record, const FieldInfo& field, std::size_t element, std::string_view bytes);

// The same reads straight from a stored row (little-endian integers); element 0 of the field.
// A row too short for the field gives 0 or the empty text.
std::int64_t rowInt(std::span<const std::uint8_t> row, const FieldInfo& field);
std::string_view rowText(std::span<const std::uint8_t> row, const FieldInfo& field);

}  // namespace gw
