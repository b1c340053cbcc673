#pragma once
// The program's free-format number writer and reader, and its rounding rule.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q24 {

// Integers as plain decimal digits with a leading "-" when negative.
std::string FreeFormat(long long value);
// Floats in the shortest form that reads back to the same value, "." as the
// decimal separator: 5 is "5", 2.5 is "2.5".
std::string FreeFormat(float value);
std::string FreeFormat(double value);

// A number as written by FreeFormat (or typed by hand): blanks around it are
// allowed, nothing else. Returns nothing for text that is not a number, for
// infinities and NaN.
std::optional<double> ParseNumber(std::string_view text);

// Fraction to integer: nearest, halves to the even neighbour.
double RoundHalfEven(double value);

// The value as a 16-bit or 32-bit integer after rounding, or nothing when it
// does not fit (the program treats that as an overflow and keeps the old value).
std::optional<int16_t> ToInt16(double value);
std::optional<int32_t> ToInt32(double value);

}  // namespace q24
