#pragma once
// How a data file finds the key 0 value inside a row. Every key starts at byte 0.
#include <cstdint>

namespace gw {

enum class KeyKind : std::uint8_t {
    Int16,      // signed 16-bit at byte 0
    Int32,      // signed 32-bit at byte 0
    Int32Pair,  // (signed 32-bit at byte 0, signed 32-bit at byte 4), ordered by the first
    Text,       // bytes 0..width-1: the characters before the first zero byte, trailing blanks
                // removed, ordered byte by byte
};

struct KeySpec {
    KeyKind kind = KeyKind::Int32;
    std::uint16_t width = 4;  // bytes of the row that the key covers

    static constexpr KeySpec int16() { return {KeyKind::Int16, 2}; }
    static constexpr KeySpec int32() { return {KeyKind::Int32, 4}; }
    static constexpr KeySpec int32Pair() { return {KeyKind::Int32Pair, 8}; }
    static constexpr KeySpec text(std::uint16_t width) { return {KeyKind::Text, width}; }

    friend constexpr bool operator==(const KeySpec&, const KeySpec&) = default;
};

}  // namespace gw
