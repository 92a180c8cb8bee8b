#include "check/check_units.h"

#include <cstdio>

std::string QuantityText(const Quantity& quantity) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", quantity.value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') {
        number.pop_back();
    }
    return number + " " + quantity.unit;
}
