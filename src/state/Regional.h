#pragma once
// Regional formats: decimal separator, short date and time, taken once from
// the user's locale and handed to every piece of code that formats numbers,
// dates or times for the operator or for a data file header.
#include <string>

namespace q24 {

struct Regional {
    char decimal = '.';
    std::string datePattern = "dd/MM/yyyy";  // short date, Qt pattern letters
    std::string timePattern = "HH:mm:ss";    // long time, Qt pattern letters

    // The user's locale (LC_ALL / LC_NUMERIC / LANG through Qt's system locale).
    static Regional fromSystem();
    // A named locale such as "it_IT" or "en_US"; tests use it to pin the formats.
    static Regional fromLocaleName(const std::string& name);

    std::string date(int year, int month, int day) const;
    std::string time(int hour, int minute, int second) const;
    // A number as the system's string conversion prints it, with the regional
    // decimal separator ("2,5" in a comma locale).
    std::string number(double value) const;
};

}  // namespace q24
