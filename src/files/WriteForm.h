#pragma once
// The value forms of the data files: what the program writes on each line of
// a data text file, a record file or a temporary channel file, and the reader
// that takes write-form values back.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/Regional.h"

namespace q24 {

// Every line of every data file ends with CR LF.
inline constexpr const char* kLineEnd = "\r\n";

// A decimal number with at most `digits` significant digits, '.' as the
// separator, trailing zeros dropped, no point for integral values. Plain
// notation from 1E-05 up to below 1E+15 (within the digits), exponent notation
// ("1.234568E+20", "1E-06") beyond. Negative zero prints as "0".
std::string DecimalForm(double value, int digits);

// Write form of a Single: at most 7 significant digits ("5", "-12.5", "0.001").
std::string WriteFormSingle(float value);
// Write form of an integer: the digits, a leading "-" when negative.
std::string WriteFormInteger(long long value);
// Write form of a string: the text between two double quotes.
std::string WriteFormString(const std::string& text);
// Print form of an integer: a blank (or "-"), the digits, one trailing blank.
std::string PrintFormInteger(long long value);
// A number inside a header line with the regional decimal separator: up to 15
// significant digits for a Double, 7 for a Single.
std::string RegionalDouble(double value, const Regional& regional);
std::string RegionalSingle(float value, const Regional& regional);

// Reads write-form numbers one field at a time: leading blanks, tabs and line
// ends are skipped, a field ends at a comma, a blank or a line end, and any
// decimal notation is taken (leading zero or not, exponent or not, a leading
// "+"). Never reads past the text.
class WriteFormReader {
public:
    explicit WriteFormReader(std::string_view text) : text_(text) {}

    // The next field as a number; nothing at the end of the text or when the
    // field is not a finite number.
    std::optional<double> next();
    // True when only blanks and line ends remain.
    bool atEnd();

private:
    void skipSeparators();
    std::string_view text_;
    std::size_t pos_ = 0;
    bool afterField_ = false;
};

// The leading decimal number of `text` ("0.00025 s" gives 0.00025), with '.'
// as the separator; nothing when the text does not start with one.
std::optional<double> LeadingNumber(std::string_view text);

}  // namespace q24
