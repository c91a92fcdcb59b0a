#pragma once
// QString at the widget boundary; record strings stay code-page-936 bytes.

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

QString FromCp936(const std::string& cp936);
// Where a text is shown in a line (a list row, a tip, a status or undo name), at most this many
// characters of it, then "…": a text of megabytes would otherwise be laid out whole. Only the
// part shown is converted; a double-byte character is never cut.
inline constexpr std::size_t kShownChars = 200;
QString FromCp936Elided(std::string_view cp936, std::size_t maxChars = kShownChars);
// A UTF-8 literal of the user interface.
inline QString U(const char* szUtf8) {
    return QString::fromUtf8(szUtf8);
}
std::string ToCp936(const QString& text);
