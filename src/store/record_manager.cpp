// Placeholder until the SQLite engine lands: every call fails.
#include "store/record_manager.h"

namespace gw {
Status BTRCALL(std::uint16_t, std::span<std::uint8_t>, std::span<std::uint8_t>, std::uint32_t&,
               std::span<std::uint8_t>, std::uint16_t, std::int16_t) {
    return status::kInvalidOperation;
}
Status createDataFile(const std::string&, const DataFileInfo&, bool) {
    return status::kInvalidOperation;
}
std::optional<DataFileInfo> openFileInfo(std::span<const std::uint8_t>) { return std::nullopt; }
Status beginTransaction(std::span<std::uint8_t>) { return status::kInvalidOperation; }
Status endTransaction(std::span<std::uint8_t>, bool) { return status::kInvalidOperation; }
}  // namespace gw
