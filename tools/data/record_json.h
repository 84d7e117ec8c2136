#pragma once
// One stored row as a JSON object for `dump`: every mapped field under its name, runs as
// arrays, text as all its stored bytes (Latin-1), the bytes past the map as "_tail" in hex.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "store/record_type.h"

namespace gw::tool {

// Fields whose bytes lie beyond a short stored row are null.
nlohmann::ordered_json rowToJson(const RecordType& type, std::span<const std::uint8_t> row);

std::string latin1ToUtf8(std::string_view bytes);

}  // namespace gw::tool
