#pragma once
// Numbers in the text files of the program (scripts, motion files): the one number
// syntax both scanners share and the decimal conversions behind it.
//
//   float:   optional '-', digits, '.', zero or more digits, optional exponent
//            optional '-', '.', digits, optional exponent
//   integer: optional '-', digits
//   exponent: 'E' or 'e', optional sign, digits (an integer has no exponent form)
//
// The minus sign belongs to a number only when a digit, or a point and a digit, follow at
// once. This layer knows nothing about tokens; it only measures and converts.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mirva {

struct NumberMatch {
    std::size_t length = 0;  // 0: no number starts here
    bool isFloat = false;
};

// The longest number at the very start of `text`.
NumberMatch matchNumber(std::string_view text);

// Decimal conversion to double, stored as float (out of range gives infinity or zero,
// as the C library's conversion does).
float decimalToFloat(std::string_view number);
// Decimal conversion to a 32-bit int; values beyond the range are clamped to it.
std::int32_t decimalToInt(std::string_view number);

}  // namespace mirva
