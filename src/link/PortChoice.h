#pragma once
// The logic of the port dialog's text box and the code dialog's entry, apart
// from their widgets.
#include <cstdint>
#include <optional>
#include <string>

namespace q24 {

// The port box takes only the characters "0" to "9" and ":" from the
// keyboard; every other key, backspace included, is dropped.
bool PortKeyAccepted(char32_t c);
// The number the port box holds: its leading digits (0 when there are none or
// they make no 16-bit number).
int PortNumberOf(const std::string& text);

// What the code box keeps after a change: the text when it is a number of 0
// or more, else nothing (the box empties; negative numbers too).
std::string CodeBoxFilter(const std::string& text);
// The code WRITE takes from the box: rounded, capped at 1999; nothing when
// the box holds no number.
std::optional<int16_t> UnitCodeOf(const std::string& text);

// The password that opens the code dialog, compared exactly.
constexpr const char* kCodePassword = "quorvel ";

}  // namespace q24
