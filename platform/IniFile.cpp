#include "platform/IniFile.h"

int GetPrivateProfileInt(std::string_view, std::string_view, int nDefault, const std::string&) {
    return nDefault;
}
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
    return WritePrivateProfileEntries(
        {{std::string(section), std::string(key), std::string(value)}}, path);
}
bool WritePrivateProfileEntries(const std::vector<CProfileEntry>&, const std::string&) {
    return false;
}
