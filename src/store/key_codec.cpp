#include "store/key_codec.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace gw {

namespace {

// Little-endian, sign-extended from the top byte read; n is 1..8.
std::int64_t readSigned(const std::uint8_t* p, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{p[i]} << (8 * i);
    if (n < 8 && (p[n - 1] & 0x80)) v |= ~std::uint64_t{0} << (8 * n);
    return static_cast<std::int64_t>(v);
}

std::string significantText(const std::uint8_t* p, std::size_t n) {
    const auto* end = std::find(p, p + n, std::uint8_t{0});
    while (end != p && end[-1] == ' ') --end;
    return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
}

}  // namespace

StoredKey keyOfRow(const KeySpec& key, std::span<const std::uint8_t> row) {
    StoredKey k;
    switch (key.kind) {
        case KeyKind::Int16:
            k.number = readSigned(row.data(), 2);
            break;
        case KeyKind::Int32:
            k.number = readSigned(row.data(), 4);
            break;
        case KeyKind::Int32Pair:
            k.number = pairNumber(static_cast<std::int32_t>(readSigned(row.data(), 4)),
                                  static_cast<std::int32_t>(readSigned(row.data() + 4, 4)));
            break;
        case KeyKind::Text:
            k.text = significantText(row.data(), std::min<std::size_t>(key.width, row.size()));
            break;
    }
    return k;
}

Status keyOfSearch(const KeySpec& key, std::span<const std::uint8_t> buffer,
                   std::uint16_t keyLength, StoredKey& out, bool& holdable) {
    holdable = true;
    switch (key.kind) {
        case KeyKind::Int16:
        case KeyKind::Int32: {
            if (buffer.empty()) return status::kInvalidKeyBuffer;
            const std::int64_t v =
                readSigned(buffer.data(), std::min<std::size_t>(buffer.size(), 8));
            const std::int64_t lo = key.kind == KeyKind::Int16
                                        ? std::numeric_limits<std::int16_t>::min()
                                        : std::numeric_limits<std::int32_t>::min();
            const std::int64_t hi = key.kind == KeyKind::Int16
                                        ? std::numeric_limits<std::int16_t>::max()
                                        : std::numeric_limits<std::int32_t>::max();
            holdable = v >= lo && v <= hi;
            out.number = v;
            return status::kSuccess;
        }
        case KeyKind::Int32Pair:
            if (buffer.size() < 8) return status::kInvalidKeyBuffer;
            out = keyOfRow(key, buffer);
            return status::kSuccess;
        case KeyKind::Text: {
            const std::size_t n =
                std::min({std::size_t{keyLength}, buffer.size(), std::size_t{key.width}});
            out.text = significantText(buffer.data(), n);
            return status::kSuccess;
        }
    }
    return status::kInvalidKeyBuffer;
}

std::string keyText(KeyKind kind, const StoredKey& key) {
    switch (kind) {
        case KeyKind::Int32Pair: {
            // The inverse of pairNumber: the map is the floor of number / 2^32.
            const std::int64_t map = key.number >> 32;
            const std::int64_t room = (key.number & 0xFFFFFFFFLL) - 2147483648LL;
            return std::to_string(map) + ":" + std::to_string(room);
        }
        case KeyKind::Text: {
            std::string out = "\"";
            for (const char c : key.text) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
                    out += c;
                } else {
                    constexpr char kHex[] = "0123456789abcdef";
                    out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
                }
            }
            return out + "\"";
        }
        default:
            return std::to_string(key.number);
    }
}

int bindKey(sqlite3_stmt* stmt, int index, KeyKind kind, const StoredKey& key) {
    if (kind != KeyKind::Text) return sqlite3_bind_int64(stmt, index, key.number);
    // A zero-length blob must still bind as a blob, not as NULL.
    return key.text.empty() ? sqlite3_bind_zeroblob(stmt, index, 0)
                            : sqlite3_bind_blob(stmt, index, key.text.data(),
                                                static_cast<int>(key.text.size()), SQLITE_STATIC);
}

StoredKey columnKey(sqlite3_stmt* stmt, int column, KeyKind kind) {
    StoredKey k;
    if (kind != KeyKind::Text) {
        k.number = sqlite3_column_int64(stmt, column);
    } else {
        const void* p = sqlite3_column_blob(stmt, column);
        const int n = sqlite3_column_bytes(stmt, column);
        if (p && n > 0) k.text.assign(static_cast<const char*>(p), static_cast<std::size_t>(n));
    }
    return k;
}

}  // namespace gw
