#include <gtest/gtest.h>

#include "settings/DateTimeSamples.h"

namespace {

struct DateCase {
    int style;
    int day, month, year;
    char separator;
    const char* sample;
};

// 7 December 2026 and 25 January 2007 show where leading zeros would appear.
TEST(DateTimeSamples, EveryDateStyleWithoutLeadingZeros) {
    const DateCase cases[] = {
        {0, 7, 12, 2026, '/', "12/7/26"},  {1, 7, 12, 2026, '/', "12/7/2026"},
        {2, 7, 12, 2026, '/', "7/12/26"},  {3, 7, 12, 2026, '/', "7/12/2026"},
        {4, 7, 12, 2026, '/', "26/12/7"},  {5, 7, 12, 2026, '/', "2026/12/7"},
        {6, 7, 12, 2026, '.', "7.DEC.26"}, {7, 7, 12, 2026, '-', "7-DEC-2026"},
        {0, 25, 1, 2007, '-', "1-25-7"},   {4, 5, 3, 2009, '.', "9.3.5"},
        {6, 25, 1, 2007, '/', "25/JAN/7"}, {7, 1, 5, 2030, ' ', "1 MAY 2030"},
        {8, 7, 12, 2026, '/', ""},         {-1, 7, 12, 2026, '/', ""},
    };
    for (const DateCase& c : cases) {
        EXPECT_EQ(lumo::DateSample(c.style, c.day, c.month, c.year, c.separator), c.sample)
            << "style " << c.style;
    }
}

TEST(DateTimeSamples, EveryMonthHasItsCapitalAbbreviation) {
    const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(lumo::DateSample(7, 2, month, 2026, '-'),
                  std::string("2-") + months[month - 1] + "-2026");
    }
}

struct TimeCase {
    int hour, minute;
    bool twelveHour;
    char separator;
    const char* sample;
};

TEST(DateTimeSamples, TwelveAndTwentyFourHourTimes) {
    const TimeCase cases[] = {
        {15, 7, true, ':', "3:07 pm"},   {15, 7, false, ':', "15:07"},
        {0, 0, true, ':', "12:00 am"},   {12, 0, true, ':', "12:00 pm"},
        {0, 5, false, '.', "00.05"},     {9, 30, true, '.', "9.30 am"},
        {11, 59, true, ':', "11:59 am"}, {23, 59, true, ':', "11:59 pm"},
    };
    for (const TimeCase& c : cases) {
        EXPECT_EQ(lumo::TimeSample(c.hour, c.minute, c.twelveHour, c.separator), c.sample)
            << c.hour << ":" << c.minute;
    }
}

}  // namespace
