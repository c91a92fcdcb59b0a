#include "settings/VisParam.h"

#include "platform/ExeDir.h"
#include "platform/IniFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int ReadCellSize(const CPrivateProfile& ini, const char* key) {
    return UsableCellSize(ini.GetInt("Pane", key, 50));
}

std::uint32_t ReadSpeed(const CPrivateProfile& ini, const char* key) {
    return UsableSpeed(static_cast<std::uint32_t>(ini.GetInt("Scale", key, 100)));
}

} // namespace

int UsableCellSize(int n) {
    return n >= 1 && n <= 10000 ? n : 50;
}

std::uint32_t UsableSpeed(std::uint32_t n) {
    return n == 0 ? 100 : n;
}

CVisParamLocation ChooseVisParamLocation(const std::string& exeDir, const std::string& configHome,
                                         const std::function<bool(const std::string&)>& writable,
                                         const std::function<bool(const std::string&)>& exists) {
    const std::string beside = exeDir + kVisParamFileName;
    if (configHome.empty() || writable(exeDir.empty() ? std::string(".") : exeDir))
        return {beside, beside, false};
    const std::string user = configHome + "curvist/" + kVisParamFileName;
    return {exists(user) ? user : beside, user, true};
}

std::string UserConfigHome(const char* xdgConfigHome, const char* home) {
    auto withSlash = [](std::string s) { return s.back() == '/' ? s : s + '/'; };
    if (xdgConfigHome && xdgConfigHome[0] == '/') return withSlash(xdgConfigHome);
    if (home && home[0] == '/') return withSlash(std::string(home) + "/.config");
    return {};
}

CVisParamLocation VisParamLocationIn(const std::string& exeDir, const std::string& configHome) {
    // access() asks with the real user's rights, which is what a later write meets.
    return ChooseVisParamLocation(
        exeDir, configHome,
        [](const std::string& dir) { return access(dir.c_str(), W_OK | X_OK) == 0; },
        [](const std::string& file) { return access(file.c_str(), F_OK) == 0; });
}

CVisParamLocation DefaultVisParamLocation() {
    return VisParamLocationIn(GetExeDir(),
                              UserConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

CVisParamLocation VisParamLocationFor(const std::string& readPath) {
    const CVisParamLocation def = DefaultVisParamLocation();
    if (readPath == def.strRead) return def;
    return {readPath, readPath, false};
}

std::string DefaultVisParamPath() {
    return DefaultVisParamLocation().strRead;
}

CVisParam LoadVisParam(const std::string& path) {
    const CPrivateProfile ini(path);
    CVisParam p;
    p.bShowAxisX = ini.GetInt("Coor", "bShow_X", 1);
    p.bShowAxisY = ini.GetInt("Coor", "bShow_Y", 1);
    p.nOriginPlace = ini.GetInt("Coor", "nOriginPlace", 4);
    p.bShowGridX = ini.GetInt("Pane", "bShow_X", 1);
    p.bShowGridY = ini.GetInt("Pane", "bShow_Y", 1);
    p.nWidth = ReadCellSize(ini, "nWidth");
    p.nHeight = ReadCellSize(ini, "nHeight");
    p.bShowScaleX = ini.GetInt("Scale", "bShow_X", 1);
    p.bShowScaleY = ini.GetInt("Scale", "bShow_Y", 1);
    p.nSpeedX = ReadSpeed(ini, "nSpeed_X");
    p.nSpeedY = ReadSpeed(ini, "nSpeed_Y");
    p.nPlaceX = ini.GetInt("Scale", "nPlace_X", 2);
    p.nPlaceY = ini.GetInt("Scale", "nPlace_Y", 2);
    return p;
}

bool SaveVisParam(const CVisParam& p, const std::string& path) {
    auto flag = [](int b) { return std::string(b ? "1" : "0"); };
    auto num = [](long long n) { return std::to_string(n); };
    // The stored step is read back as unsigned, so write it as the same 32-bit pattern signed.
    auto speed = [](std::uint32_t n) { return std::to_string(static_cast<std::int32_t>(n)); };
    const std::vector<CProfileEntry> entries = {
        {"Coor", "bShow_X", flag(p.bShowAxisX)},       {"Coor", "bShow_Y", flag(p.bShowAxisY)},
        {"Coor", "nOriginPlace", num(p.nOriginPlace)}, {"Pane", "bShow_X", flag(p.bShowGridX)},
        {"Pane", "bShow_Y", flag(p.bShowGridY)},       {"Pane", "nWidth", num(p.nWidth)},
        {"Pane", "nHeight", num(p.nHeight)},           {"Scale", "bShow_X", flag(p.bShowScaleX)},
        {"Scale", "bShow_Y", flag(p.bShowScaleY)},     {"Scale", "nSpeed_X", speed(p.nSpeedX)},
        {"Scale", "nSpeed_Y", speed(p.nSpeedY)},       {"Scale", "nPlace_X", num(p.nPlaceX)},
        {"Scale", "nPlace_Y", num(p.nPlaceY)},
    };
    return WritePrivateProfileEntries(entries, path);
}

bool SaveVisParam(const CVisParam& param, const CVisParamLocation& location) {
    if (location.bMakeFolder) {
        // Each missing folder on the way, private to the user as configuration folders are.
        const std::string& path = location.strWrite;
        for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            const std::string dir = path.substr(0, slash);
            if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return SaveVisParam(param, location.strWrite);
}

double UnitFromSpeed(std::uint32_t nSpeed) {
    return nSpeed * 0.01;
}

std::int32_t SpeedFromUnit(double dUnit) {
    if (std::isnan(dUnit)) return 0;
    // Rounding, not truncation: 0.29 * 100 is 28.999999999999996 in double precision.
    const double r = std::round(dUnit * 100.0);
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(r);
}
