#pragma once
// Private-profile (INI) files with the semantics of the Windows calls of the same names:
// section and key names match without regard to ASCII case, the first match wins, blanks
// around names and values are trimmed, lines starting with ';' are comments.

#include <string>
#include <string_view>
#include <vector>

// The value of [section] key as a 32-bit decimal integer: optional blanks, an optional sign,
// then digits up to the first non-digit ("12abc" is 12, "abc" is 0). Larger values wrap modulo
// 2^32, as the Windows call does. An absent file, section or key, or an empty value, gives
// nDefault.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int nDefault,
                         const std::string& path);

struct CProfileEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Sets [section] key=value. The first matching key is replaced in place; a missing key goes at
// the end of its section, a missing section at the end of the file. Every other line is kept as
// it is. The file is replaced atomically (a temporary file beside it, then rename), so on
// failure (false) the old file is left intact.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);
// Several writes, applied in order, in one atomic replacement of the file.
bool WritePrivateProfileEntries(const std::vector<CProfileEntry>& entries, const std::string& path);
