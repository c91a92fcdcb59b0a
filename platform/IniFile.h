#pragma once
// Private-profile (INI) files with the semantics of the Windows calls of the same names:
// section and key names match without regard to ASCII case, the first match wins, blanks
// around names and values are trimmed, lines starting with ';' are comments.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Settings files are a few hundred bytes; a larger one, or anything but a regular file (a FIFO,
// a device, a link to /dev/zero), reads as absent and is never written over.
inline constexpr std::size_t kMaxProfileBytes = 1u << 20;

// One reading of a profile file, to be asked for many keys without reading it again.
class CPrivateProfile {
  public:
    explicit CPrivateProfile(const std::string& path);
    // The profile that this text would be as a file.
    static CPrivateProfile FromText(const std::string& text);
    // As GetPrivateProfileInt below, from the lines read once.
    int GetInt(std::string_view section, std::string_view key, int nDefault) const;

  private:
    CPrivateProfile() = default;
    std::vector<std::string> m_lines;
};

// The value of [section] key as a 32-bit decimal integer: optional blanks, an optional sign,
// then digits up to the first non-digit ("12abc" is 12, "abc" is 0). Larger values wrap modulo
// 2^32, as the Windows call does. An absent file, section or key, or an empty value, gives
// nDefault. Reads the file anew on each call; CPrivateProfile reads it once for many keys.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int nDefault,
                         const std::string& path);

struct CProfileEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Sets [section] key=value. The first matching key is replaced in place; a missing key goes at
// the end of its section, a missing section at the end of the file. Every other line is kept as
// it is. The file is replaced by WriteFileAtomically, so on failure (false) the old file is left
// intact; a file that reads as absent because it is no regular file or too large is not written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);
// Several writes, applied in order, in one atomic replacement of the file.
bool WritePrivateProfileEntries(const std::vector<CProfileEntry>& entries, const std::string& path);
