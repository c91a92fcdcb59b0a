#include "expr/StrToDouble.h"

#include <charconv>
#include <cmath>

double StrToDouble(std::string text) {
    const char* first = text.data();
    const char* last = first + text.size();
    bool negative = false;
    if (first != last && (*first == '-' || *first == '+')) negative = *first++ == '-';

    // from_chars reads ".5" and "12." like the digits-and-point texts the callers pass.
    double v = 0.0;
    const auto result = std::from_chars(first, last, v, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: which one depends on the integer digits.
        bool bigInteger = false;
        for (const char* p = first; p != last && *p != '.'; ++p)
            if (*p >= '1' && *p <= '9') bigInteger = true;
        v = bigInteger ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc()) {
        v = 0.0;
    }
    return negative ? -v : v;
}
