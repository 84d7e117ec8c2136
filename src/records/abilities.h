#pragma once
// The one table of ability names, indexed by ability code. Every ability drop-down lists
// these in this order, so a drop-down position is the stored code.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace gw {

inline constexpr std::size_t kAbilityCount = 188;

std::span<const std::string_view, kAbilityCount> abilityNames();

// The name of a code, or an empty view for a code outside 0..187.
std::string_view abilityName(std::int64_t code);

}  // namespace gw
