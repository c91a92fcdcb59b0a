#include "panel/NumberText.h"

bool IsNumberText(std::string_view text) {
    bool bPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9') continue;
        if ((ch == '+' || ch == '-') && i == 0) continue;
        if (ch == '.' && !bPoint) {
            bPoint = true;
            continue;
        }
        return false;
    }
    return true;
}
