#pragma once

#include <string>

// Reads a decimal number made of an optional sign, digits and at most one point (".5", "12.",
// "-3.141592653589793") as the nearest double, whatever the user's locale. A text with no
// digits reads as 0 (keeping its sign); a value too large for a double reads as an infinity.
double StrToDouble(std::string text);
