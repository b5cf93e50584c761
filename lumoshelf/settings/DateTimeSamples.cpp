#include "settings/DateTimeSamples.h"

#include <cstdio>

namespace lumo {
namespace {

// The month abbreviations of the C locale's "%b", in capitals as the reader shows them.
constexpr std::array<const char*, 12> kMonthAbbreviations = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string Joined(const std::string& a, const std::string& b, const std::string& c,
                   char separator) {
    return a + separator + b + separator + c;
}

}  // namespace

std::string TimeSample(int hour, int minute, bool twelveHour, char separator) {
    char text[32];
    if (twelveHour) {
        const int shown = hour % 12 == 0 ? 12 : hour % 12;
        std::snprintf(text, sizeof text, "%d%c%02d %s", shown, separator, minute,
                      hour < 12 ? "am" : "pm");
    } else {
        std::snprintf(text, sizeof text, "%02d%c%02d", hour, separator, minute);
    }
    return text;
}

std::string DateSample(int style, int day, int month, int year, char separator) {
    const std::string d = std::to_string(day);
    const std::string m = std::to_string(month);
    const std::string yy = std::to_string(year % 100);
    const std::string yyyy = std::to_string(year);
    const std::string mmm = month >= 1 && month <= 12 ? kMonthAbbreviations[month - 1] : "";
    switch (style) {
        case 0:
            return Joined(m, d, yy, separator);
        case 1:
            return Joined(m, d, yyyy, separator);
        case 2:
            return Joined(d, m, yy, separator);
        case 3:
            return Joined(d, m, yyyy, separator);
        case 4:
            return Joined(yy, m, d, separator);
        case 5:
            return Joined(yyyy, m, d, separator);
        case 6:
            return Joined(d, mmm, yy, separator);
        case 7:
            return Joined(d, mmm, yyyy, separator);
        default:
            return {};
    }
}

}  // namespace lumo
