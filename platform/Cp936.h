#pragma once
// Record strings are code-page-936 bytes so that files round-trip byte for byte; the user
// interface and the command line speak UTF-8. These convert at that boundary.

#include <optional>
#include <string>
#include <string_view>

// Bytes that do not convert become "?" so that a damaged string still shows.
std::string Cp936ToUtf8(std::string_view cp936);
std::string Utf8ToCp936(std::string_view utf8);
// Exact conversion, or nothing when some character has no counterpart.
std::optional<std::string> Utf8ToCp936Exact(std::string_view utf8);
