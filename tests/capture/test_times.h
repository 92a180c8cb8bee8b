// Local times that the naming tests compose into file names.
#pragma once

#include <ctime>

// 5 October 2023, 14:22:33 local time.
inline std::tm October5th() {
    std::tm time{};
    time.tm_year = 2023 - 1900;
    time.tm_mon = 9;
    time.tm_mday = 5;
    time.tm_hour = 14;
    time.tm_min = 22;
    time.tm_sec = 33;
    time.tm_isdst = -1;
    return time;
}
