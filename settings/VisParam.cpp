#include "settings/VisParam.h"

#include "platform/ExeDir.h"
#include "platform/IniFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>
#include <vector>

int UsableCellSize(int n) {
    const CVisParamKey& k = VisParamKey("Pane", "nWidth");
    return n >= k.nMin && n <= k.nMax ? n : k.nDefault;
}

std::uint32_t UsableSpeed(std::uint32_t n) {
    // Larger steps than the dialog takes are kept: the view copes with them.
    const CVisParamKey& k = VisParamKey("Scale", "nSpeed_X");
    return n < k.nMin ? static_cast<std::uint32_t>(k.nDefault) : n;
}

CVisParamLocation ChooseVisParamLocation(const std::string& exeDir, const std::string& configHome,
                                         const std::vector<std::string>& configDirs,
                                         const std::function<bool(const std::string&)>& exists) {
    const std::string beside = exeDir + kVisParamFileName;
    if (exists(exeDir + kPortableMarkerName)) return {beside, beside, false};
    const std::string tail = std::string("curvist/") + kVisParamFileName;
    const std::string user = configHome.empty() ? std::string() : configHome + tail;
    if (!user.empty() && exists(user)) return {user, user, true};
    for (const std::string& dir : configDirs)
        if (exists(dir + tail)) return {dir + tail, user, !user.empty()};
    return {beside, user, !user.empty()};
}

namespace {

std::string WithSlash(std::string s) {
    return s.back() == '/' ? s : s + '/';
}

} // namespace

std::string UserConfigHome(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return WithSlash(xdgConfigHome);
    if (home && home[0] == '/') return WithSlash(std::string(home) + "/.config");
    return {};
}

std::vector<std::string> SystemConfigDirs(const char* xdgConfigDirs) {
    std::vector<std::string> dirs;
    const std::string list = xdgConfigDirs ? xdgConfigDirs : "";
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        // Relative entries are invalid by the XDG rules and would depend on the working folder.
        if (end > start && list[start] == '/')
            dirs.push_back(WithSlash(list.substr(start, end - start)));
        start = end + 1;
    }
    if (dirs.empty()) dirs.push_back("/etc/xdg/");
    return dirs;
}

CVisParamLocation VisParamLocationIn(const std::string& exeDir, const std::string& configHome,
                                     const std::vector<std::string>& configDirs) {
    return ChooseVisParamLocation(exeDir, configHome, configDirs, [](const std::string& file) {
        return access(file.c_str(), F_OK) == 0;
    });
}

CVisParamLocation DefaultVisParamLocation() {
    return VisParamLocationIn(GetExeDir(),
                              UserConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")),
                              SystemConfigDirs(std::getenv("XDG_CONFIG_DIRS")));
}

CVisParamLocation VisParamLocationFor(const std::string& readPath) {
    const CVisParamLocation def = DefaultVisParamLocation();
    if (readPath == def.strRead) return def;
    return {readPath, readPath, false};
}

std::string DefaultVisParamPath() {
    return DefaultVisParamLocation().strRead;
}

namespace {

// Calls fn(key name, value) for each key of row k in p, the X side before the Y side.
template <class P, class F> void ForEachKey(const CVisParamKey& k, P& p, F fn) {
    if (k.pWhole) {
        fn(k.szKeyX, p.*k.pWhole);
        return;
    }
    for (auto [szKey, pSide] : {std::pair{k.szKeyX, &p.x}, std::pair{k.szKeyY, &p.y}}) {
        if (k.pStep)
            fn(szKey, (*pSide).*k.pStep);
        else
            fn(szKey, (*pSide).*k.pInt);
    }
}

} // namespace

CVisParam LoadVisParam(const std::string& path) {
    const CPrivateProfile ini(path);
    CVisParam p;
    for (const CVisParamKey& k : kVisParamKeys)
        ForEachKey(k, p, [&](const char* szKey, auto& value) {
            const int n = ini.GetInt(k.szSection, szKey, k.nDefault);
            if constexpr (std::is_same_v<std::remove_reference_t<decltype(value)>, std::uint32_t>)
                value = UsableSpeed(static_cast<std::uint32_t>(n));
            else
                value = k.kind == EVisKey::Cell ? UsableCellSize(n) : n;
        });
    return p;
}

bool SaveVisParam(const CVisParam& p, const std::string& path) {
    std::vector<CProfileEntry> entries;
    for (const CVisParamKey& k : kVisParamKeys)
        ForEachKey(k, p, [&](const char* szKey, const auto& value) {
            // The stored step is read back as unsigned, so write it as the same 32-bit pattern
            // signed.
            const long long n = static_cast<std::int32_t>(value);
            const bool bFlag = k.kind == EVisKey::Flag;
            entries.push_back({k.szSection, szKey, bFlag ? (n ? "1" : "0") : std::to_string(n)});
        });
    return WritePrivateProfileEntries(entries, path);
}

bool SaveVisParam(const CVisParam& param, const CVisParamLocation& location) {
    if (location.strWrite.empty()) return false;
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
