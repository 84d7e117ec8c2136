#include "store/record_type.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace gw {

std::int64_t FieldInfo::minValue() const {
    if (type == kByteField) return 0;
    return width == 2 ? std::numeric_limits<std::int16_t>::min()
                      : std::numeric_limits<std::int32_t>::min();
}

std::int64_t FieldInfo::maxValue() const {
    if (type == kByteField) return 255;
    return width == 2 ? std::numeric_limits<std::int16_t>::max()
                      : std::numeric_limits<std::int32_t>::max();
}

RecordType::RecordType(std::string_view name, std::string_view fileName, std::uint32_t dataLength,
                       KeySpec key, std::span<const FieldSpec> specs)
    : name_(name), fileName_(fileName), dataLength_(dataLength), key_(key), specs_(specs) {
    std::size_t rowOffset = 0;
    std::size_t memberOffset = 0;
    for (const auto& s : specs) {
        memberOffset = alignUp(memberOffset, memberAlignment(s.type, s.width));
        const std::size_t stride = std::size_t{s.width} * s.perEntry();
        fields_.push_back(
            {s.name, s.type, s.width, s.count, rowOffset, memberOffset, stride, descriptorCount_});
        if (!s.second.empty())
            fields_.push_back({s.second, s.type, s.width, s.count, rowOffset + s.width,
                               memberOffset + s.width, stride, descriptorCount_ + 1});
        const std::size_t bytes = stride * s.count;
        rowOffset += bytes;
        memberOffset += bytes;
        descriptorCount_ += std::size_t{s.count} * s.perEntry();
    }
    mappedLength_ = rowOffset;
    recordSize_ = recordSizeOf(specs);
}

FieldMap RecordType::buildFieldMap() const {
    FieldMap map(descriptorCount_);
    std::int16_t index = 0;
    for (const auto& s : specs_)
        for (std::uint16_t k = 0; k < s.count * s.perEntry(); ++k)
            AddField(map, index, s.type, s.width);
    return map;
}

const FieldInfo* RecordType::field(std::string_view name) const {
    for (const auto& f : fields_)
        if (f.name == name) return &f;
    return nullptr;
}

namespace {
std::size_t elementOffset(const FieldInfo& field, std::size_t element) {
    if (element >= field.count) throw std::out_of_range("field element index outside the run");
    return field.memberOffset + element * field.stride;
}
}  // namespace

std::int64_t getInt(const void* record, const FieldInfo& field, std::size_t element) {
    const auto* p = static_cast<const std::uint8_t*>(record) + elementOffset(field, element);
    if (field.type == kByteField) return *p;
    if (field.width == 2) {
        std::int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void setInt(void* record, const FieldInfo& field, std::size_t element, std::int64_t value) {
    auto* p = static_cast<std::uint8_t*>(record) + elementOffset(field, element);
    if (field.type == kByteField) {
        *p = static_cast<std::uint8_t>(value);
    } else if (field.width == 2) {
        const auto v = static_cast<std::int16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        const auto v = static_cast<std::int32_t>(value);
        std::memcpy(p, &v, 4);
    }
}

std::string_view getText(const void* record, const FieldInfo& field, std::size_t element) {
    const auto* p = static_cast<const char*>(record) + elementOffset(field, element);
    return {p, field.width};
}

void setText(void* record, const FieldInfo& field, std::size_t element, std::string_view bytes) {
    auto* p = static_cast<char*>(record) + elementOffset(field, element);
    const std::size_t n = bytes.size() < field.width ? bytes.size() : field.width;
    std::memcpy(p, bytes.data(), n);
    std::memset(p + n, ' ', field.width - n);
}

std::int64_t rowInt(std::span<const std::uint8_t> row, const FieldInfo& field) {
    if (field.rowOffset + field.width > row.size()) return 0;
    const std::uint8_t* p = row.data() + field.rowOffset;
    if (field.type == kByteField) return *p;
    if (field.width == 2) return static_cast<std::int16_t>(p[0] | p[1] << 8);
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

std::string_view rowText(std::span<const std::uint8_t> row, const FieldInfo& field) {
    if (field.rowOffset + field.width > row.size()) return {};
    return {reinterpret_cast<const char*>(row.data()) + field.rowOffset, field.width};
}

}  // namespace gw
