#include "records/value_lists.h"

namespace gw::values {

static_assert(kDirectionNames.size() == kDirectionCount &&
              kExitRowLabels.size() == kDirectionCount);

std::size_t oppositeDirection(std::size_t slot) {
    static constexpr std::array<std::size_t, kDirectionCount> kOpposite{1, 0, 3, 2, 7,
                                                                        6, 5, 4, 9, 8};
    return slot < kDirectionCount ? kOpposite[slot] : slot;
}

std::string_view valueText(std::span<const std::string_view> list, std::int64_t value) {
    if (value < 0 || static_cast<std::uint64_t>(value) >= list.size()) return {};
    return list[static_cast<std::size_t>(value)];
}

}  // namespace gw::values
