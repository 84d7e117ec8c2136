#pragma once
// The unload format: each record as its length in ASCII decimal digits, a comma, that many
// bytes and CR LF; one optional byte 0x1A ends the data.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gw::tool {

inline constexpr char kUnloadEnd = '\x1A';

struct UnloadRecord {
    std::size_t ordinal;  // 1 for the first record
    std::size_t offset;   // of its first length digit
    std::string_view bytes;
};

struct UnloadError {
    std::size_t ordinal = 0;
    std::size_t offset = 0;
    std::string reason;

    // "record 3 at byte 120: <reason>"
    std::string message() const;
};

// Splits a whole input into its records; false and the first fault when it is malformed.
// A record longer than maxLength is a fault too.
bool parseUnload(std::string_view input, std::size_t maxLength, std::vector<UnloadRecord>& out,
                 UnloadError& error);

void writeUnloadRecord(std::ostream& out, std::span<const std::uint8_t> row);

}  // namespace gw::tool
