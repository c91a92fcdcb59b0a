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

int ReadCellSize(const char* key, const std::string& path) {
    return UsableCellSize(GetPrivateProfileInt("Pane", key, 50, path));
}

std::uint32_t ReadSpeed(const char* key, const std::string& path) {
    return UsableSpeed(static_cast<std::uint32_t>(GetPrivateProfileInt("Scale", key, 100, path)));
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
    CVisParam p;
    p.bShowAxisX = GetPrivateProfileInt("Coor", "bShow_X", 1, path);
    p.bShowAxisY = GetPrivateProfileInt("Coor", "bShow_Y", 1, path);
    p.nOriginPlace = GetPrivateProfileInt("Coor", "nOriginPlace", 4, path);
    p.bShowGridX = GetPrivateProfileInt("Pane", "bShow_X", 1, path);
    p.bShowGridY = GetPrivateProfileInt("Pane", "bShow_Y", 1, path);
    p.nWidth = ReadCellSize("nWidth", path);
    p.nHeight = ReadCellSize("nHeight", path);
    p.bShowScaleX = GetPrivateProfileInt("Scale", "bShow_X", 1, path);
    p.bShowScaleY = GetPrivateProfileInt("Scale", "bShow_Y", 1, path);
    p.nSpeedX = ReadSpeed("nSpeed_X", path);
    p.nSpeedY = ReadSpeed("nSpeed_Y", path);
    p.nPlaceX = GetPrivateProfileInt("Scale", "nPlace_X", 2, path);
    p.nPlaceY = GetPrivateProfileInt("Scale", "nPlace_Y", 2, path);
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
