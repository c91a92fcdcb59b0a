#pragma once
// The thirteen display keys of "VisParam.ini": which decoration the plot view draws, where
// the tick values stand, the cell size at 100 % and the world units per cell; all but the
// origin preset come as one record per side of the plane.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kVisParamFileName[] = "VisParam.ini";

// One side of the plane, as the file, the view's style and the dialog all hold it: X is the
// x axis with the horizontal grid lines, the cell width and the values along it, Y the other.
struct CVisAxis {
    int bShowAxis = 1;          // "Coor" "bShow_X"
    int bShowGrid = 1;          // "Pane" "bShow_X": horizontal grid lines for X
    int nCell = 50;             // "Pane" "nWidth" / "nHeight": cell size in pixels at 100 %
    int bShowScale = 1;         // "Scale" "bShow_X"
    std::uint32_t nSpeed = 100; // "Scale" "nSpeed_X": world units per cell, in hundredths
    int nPlace = 2;             // "Scale" "nPlace_X": 0..3
    friend bool operator==(const CVisAxis&, const CVisAxis&) = default;
};

struct CVisParam {
    CVisAxis x;
    CVisAxis y;
    int nOriginPlace = 4; // "Coor" "nOriginPlace": 0..8 row by row over a 3x3 grid
    friend bool operator==(const CVisParam&, const CVisParam&) = default;
};

// Flags are written "1" or "0"; codes, cells and steps as decimal numbers.
enum class EVisKey { Flag, Code, Cell, Step };

// One row of the file: a key of each side (szKeyX, then szKeyY) or of the whole plane (szKeyY
// null). The range is what the program offers or accepts: flags 0..1, the codes of their table,
// cells and steps (in hundredths) as the dialog takes them. Reading keeps what the view can
// use: a cell outside its range and a step below its minimum take the default.
struct CVisParamKey {
    const char* szSection;
    const char* szKeyX;
    const char* szKeyY;
    EVisKey kind;
    int nDefault;
    std::int64_t nMin;
    std::int64_t nMax;
    int CVisAxis::*pInt = nullptr;            // the sides' keys but the steps
    std::uint32_t CVisAxis::*pStep = nullptr; // the steps
    int CVisParam::*pWhole = nullptr;         // the whole plane's
};

// The rows in the order they are written, each side's X key before its Y key; reading and
// writing both follow it.
inline constexpr auto kVisParamKeys = std::to_array<CVisParamKey>({
    {"Coor", "bShow_X", "bShow_Y", EVisKey::Flag, 1, 0, 1, &CVisAxis::bShowAxis},
    {"Coor", "nOriginPlace", nullptr, EVisKey::Code, 4, 0, 8, nullptr, nullptr,
     &CVisParam::nOriginPlace},
    {"Pane", "bShow_X", "bShow_Y", EVisKey::Flag, 1, 0, 1, &CVisAxis::bShowGrid},
    {"Pane", "nWidth", "nHeight", EVisKey::Cell, 50, 1, 10000, &CVisAxis::nCell},
    {"Scale", "bShow_X", "bShow_Y", EVisKey::Flag, 1, 0, 1, &CVisAxis::bShowScale},
    {"Scale", "nSpeed_X", "nSpeed_Y", EVisKey::Step, 100, 1, 100000000, nullptr, &CVisAxis::nSpeed},
    {"Scale", "nPlace_X", "nPlace_Y", EVisKey::Code, 2, 0, 3, &CVisAxis::nPlace},
});

constexpr const CVisParamKey& VisParamKey(std::string_view section, std::string_view key) {
    for (const CVisParamKey& k : kVisParamKeys)
        if (k.szSection == section && (k.szKeyX == key || (k.szKeyY && k.szKeyY == key))) return k;
    return kVisParamKeys.front();
}

// Where the display parameters are read and where the dialog writes them.
struct CVisParamLocation {
    std::string strRead;
    std::string strWrite;
    bool bMakeFolder = false; // the user's configuration folder may not exist yet
    friend bool operator==(const CVisParamLocation&, const CVisParamLocation&) = default;
};

// A file beside the executable that makes its folder a portable copy (the build tree writes
// one; an installed copy has none).
inline constexpr char kPortableMarkerName[] = "curvist-portable";

// A portable copy reads and writes the file beside the executable. An installed copy never
// writes where it is installed, whoever runs it: it reads and writes the user's
// configHome + "curvist/VisParam.ini" once that exists; until then the first of
// configDirs[i] + "curvist/VisParam.ini" and the file beside the executable that exists gives
// the defaults. Without a configHome it reads those and has nowhere to write (strWrite empty).
// Folders end in '/'.
CVisParamLocation ChooseVisParamLocation(const std::string& exeDir, const std::string& configHome,
                                         const std::vector<std::string>& configDirs,
                                         const std::function<bool(const std::string&)>& exists);
// The user's configuration folder with a trailing '/': $XDG_CONFIG_HOME when it is absolute,
// else $HOME/.config; empty when neither is usable. Arguments are the two variables (or null).
std::string UserConfigHome(const char* xdgConfigHome, const char* home);
// The system's configuration folders, most important first, each with a trailing '/': the
// absolute entries of $XDG_CONFIG_DIRS, or /etc/xdg/ when it names none.
std::vector<std::string> SystemConfigDirs(const char* xdgConfigDirs);
// The choice with the real file system.
CVisParamLocation VisParamLocationIn(const std::string& exeDir, const std::string& configHome,
                                     const std::vector<std::string>& configDirs = {});
// The choice for this process: its executable's folder and its environment.
CVisParamLocation DefaultVisParamLocation();
// Where a dialog opened on readPath writes: the default location's file for the default
// path, readPath itself for any other (tests, --ini).
CVisParamLocation VisParamLocationFor(const std::string& readPath);
// DefaultVisParamLocation().strRead.
std::string DefaultVisParamPath();

// Reads the file once and the keys from it, each absent one taking its default; a file that is
// no regular file or larger than kMaxProfileBytes gives all the defaults. Cell sizes outside
// their range and a step of 0 take the default, so the view never divides by zero or loops
// without end.
CVisParam LoadVisParam(const std::string& path);
// Writes every key in one atomic replacement; false when the file could not be written.
bool SaveVisParam(const CVisParam& param, const std::string& path);
// The same at a location: makes the user's folder first when the location asks for it.
bool SaveVisParam(const CVisParam& param, const CVisParamLocation& location);

// The view divides by the cell size and the step and walks its loops by them: a cell size
// outside its range and a step of 0 stand for the default, wherever the values come from.
int UsableCellSize(int n);
std::uint32_t UsableSpeed(std::uint32_t n);

// World units per cell from the stored hundredths.
double UnitFromSpeed(std::uint32_t nSpeed);
// The stored hundredths for a step: the nearest whole number of hundredths (so 0.29 gives 29),
// clamped to the 32-bit range; NaN gives 0.
std::int32_t SpeedFromUnit(double dUnit);
