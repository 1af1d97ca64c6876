#pragma once
// Time: a moment of a script, `order << 14 | row << 8 | decimals`, compared as a signed
// integer. 64 rows make an order and 256 decimals a row; one row lasts 60 / tempo seconds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirva {

using Time = std::int32_t;

// The text form order:row:decimals; the order is (t >> 14) & 0x1FFFF.
std::string timeText(Time t);
// That form read back: three whole numbers, an order below 131072, a row below 64 and
// decimals below 256; nothing for any other text.
std::optional<Time> parseTimeText(std::string_view text);

}  // namespace mirva
