#include "tools/data/record_json.h"

#include <algorithm>
#include <vector>

#include "store/field_map.h"

namespace gw::tool {

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

namespace {

std::string hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

}  // namespace

nlohmann::ordered_json rowToJson(const RecordType& type, std::span<const std::uint8_t> row) {
    // Convert through the field map like every other reader; a short row is padded for the
    // conversion only, and what it lacked shows as null.
    std::vector<std::uint8_t> padded(std::max(row.size(), type.mappedLength()), 0);
    std::copy(row.begin(), row.end(), padded.begin());
    std::vector<std::max_align_t> record(type.recordSize() / sizeof(std::max_align_t) + 1);
    RowToStruct(padded, type.buildFieldMap(), record.data(), type.recordSize());

    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const FieldInfo& f : type.fields()) {
        auto value = [&](std::size_t k) -> nlohmann::ordered_json {
            if (f.rowOffset + k * f.stride + f.width > row.size()) return nullptr;
            if (f.isText()) return latin1ToUtf8(getText(record.data(), f, k));
            return getInt(record.data(), f, k);
        };
        if (f.count == 1) {
            object[std::string(f.name)] = value(0);
        } else {
            auto array = nlohmann::ordered_json::array();
            for (std::size_t k = 0; k < f.count; ++k) array.push_back(value(k));
            object[std::string(f.name)] = std::move(array);
        }
    }
    object["_tail"] =
        row.size() > type.mappedLength() ? hex(row.subspan(type.mappedLength())) : std::string();
    return object;
}

}  // namespace gw::tool
