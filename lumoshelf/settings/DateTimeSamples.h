#pragma once

#include <array>
#include <string>

// The sample lines of the date and time format page: how the reader will show the time and the
// date in the chosen format. Numbers carry no leading zeros where the reader shows none.
namespace lumo {

// The reader's date styles in the order of their numbers; the separator stands for "/" and "-".
inline constexpr std::array<const char*, 8> kDateStyleNames = {
    "m/d/yy", "m/d/yyyy", "d/m/yy", "d/m/yyyy", "yy/m/d", "yyyy/m/d", "dd-mmm-yy", "dd-mmm-yyyy"};
inline constexpr int kLastDateStyle = static_cast<int>(kDateStyleNames.size()) - 1;

// 12-hour: "3:07 pm" (hour without leading zero, "am"/"pm"); 24-hour: "15:07".
std::string TimeSample(int hour, int minute, bool twelveHour, char separator);

// The date (month 1 to 12) in a style of kDateStyleNames, e.g. style 6 with '.': "7.DEC.26".
// A style outside the list gives an empty text.
std::string DateSample(int style, int day, int month, int year, char separator);

}  // namespace lumo
