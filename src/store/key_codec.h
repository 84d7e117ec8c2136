#pragma once
// Key 0 values as the data file stores them: every integer kind as one 64-bit number whose
// order is the key's order, the text kind as its significant bytes. Internal to the store.
#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>

#include "store/key_definition.h"
#include "store/status.h"

namespace gw {

struct StoredKey {
    std::int64_t number = 0;  // integer kinds
    std::string text;         // text kind: bytes before the first zero, trailing blanks cut

    friend bool operator==(const StoredKey&, const StoredKey&) = default;
};

// A map and room pair as one number: map * 2^32 + (room + 2^31) orders by map, then room.
constexpr std::int64_t pairNumber(std::int32_t map, std::int32_t room) {
    return std::int64_t{map} * 4294967296LL + (std::int64_t{room} + 2147483648LL);
}

// The key of a row; the row holds at least key.width bytes.
StoredKey keyOfRow(const KeySpec& key, std::span<const std::uint8_t> row);

// The key a get-equal searches for. Integer keys take the whole buffer (up to 8 bytes,
// little-endian, sign-extended), whatever keyLength says; a value the key cannot hold sets
// `holdable` false. A text key takes the first keyLength bytes (within the buffer and the key
// width). Returns kInvalidKeyBuffer when the buffer cannot hold a key of this kind.
Status keyOfSearch(const KeySpec& key, std::span<const std::uint8_t> buffer,
                   std::uint16_t keyLength, StoredKey& out, bool& holdable);

// A key as people write it: 9999, 1:5 (map:room), "Wren" (bytes outside printable ASCII as \xNN).
std::string keyText(KeyKind kind, const StoredKey& key);

int bindKey(sqlite3_stmt* stmt, int index, KeyKind kind, const StoredKey& key);
StoredKey columnKey(sqlite3_stmt* stmt, int column, KeyKind kind);

}  // namespace gw
