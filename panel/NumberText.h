#pragma once
// The check the function panel applies to a typed domain bound at every keystroke.

#include <string_view>

// True for an empty text and for texts of digits with an optional leading sign and at most
// one point, unfinished ones ("-", "+", ".") included. Any other byte fails, so every byte of
// a double-byte character does: "-∞" is not a number text.
bool IsNumberText(std::string_view text);
