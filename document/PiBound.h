#pragma once
// The domain bounds that stand for -π and +π. Files keep them as digits, as they always have;
// the user reads and types them as π.

#include <string>
#include <string_view>

inline constexpr std::string_view kPiDigits = "3.141592653589793";

// The bound stored for a typed "π", "+π" or "-π" (UTF-8); empty for any other text.
inline std::string PiBoundFromTyped(std::string_view utf8) {
    if (utf8 == "π" || utf8 == "+π") return "+" + std::string(kPiDigits);
    if (utf8 == "-π") return "-" + std::string(kPiDigits);
    return {};
}

// "-π" or "+π" (UTF-8) for a stored bound that stands for one; empty for any other text.
inline std::string_view PiBoundName(std::string_view bound) {
    if (bound.size() == kPiDigits.size() + 1 && bound.substr(1) == kPiDigits) {
        if (bound[0] == '-') return "-π";
        if (bound[0] == '+') return "+π";
    }
    return {};
}
