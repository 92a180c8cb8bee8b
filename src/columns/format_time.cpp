#include "columns/column_text.h"
#include "pd/text_format.h"

std::string FormatTime(int64_t microseconds) {
    const char sign = microseconds < 0 ? '-' : ' ';
    // The magnitude as unsigned, so that the most negative value has one too.
    const uint64_t magnitude = microseconds < 0 ? 0 - static_cast<uint64_t>(microseconds)
                                                : static_cast<uint64_t>(microseconds);
    // Split without first scaling to nanoseconds, which would overflow for long times; the
    // parts are the same.
    const uint64_t seconds = magnitude / 1000000;
    const int hours = static_cast<uint16_t>(seconds / 3600);
    const int minutes = static_cast<int>((seconds / 60) % 60);
    const int secs = static_cast<int>(seconds % 60);
    const int ms = static_cast<int>((magnitude % 1000000) / 1000);
    const int us = static_cast<int>(magnitude % 1000);
    if (hours != 0) {
        return FormatText("%c%dh %2dmin %2ds %03dms %03dus", sign, hours, minutes, secs, ms, us);
    }
    if (minutes != 0) {
        return FormatText("%c%2dmin %2ds %03dms %03dus", sign, minutes, secs, ms, us);
    }
    return FormatText("%c%2ds %3dms %3dus", sign, secs, ms, us);
}
