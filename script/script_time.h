#pragma once
// Time: a moment of a script, `order << 14 | row << 8 | decimals`, compared as a signed
// integer. 64 rows make an order and 256 decimals a row; one row lasts 60 / tempo seconds.
#include <cstdint>
#include <string>

namespace mirva {

using Time = std::int32_t;

// The text form order:row:decimals; the order is (t >> 14) & 0x1FFFF.
std::string timeText(Time t);

}  // namespace mirva
