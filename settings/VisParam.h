#pragma once
// The thirteen display keys of "VisParam.ini": which decoration the plot view draws, where
// the tick values stand, the cell size at 100 % and the world units per cell.

#include <cstdint>
#include <string>

inline constexpr char kVisParamFileName[] = "VisParam.ini";

struct CVisParam {
    int bShowAxisX = 1;          // "Coor" "bShow_X"
    int bShowAxisY = 1;          // "Coor" "bShow_Y"
    int nOriginPlace = 4;        // "Coor" "nOriginPlace": 0..8 row by row over a 3x3 grid
    int bShowGridX = 1;          // "Pane" "bShow_X": horizontal grid lines
    int bShowGridY = 1;          // "Pane" "bShow_Y": vertical grid lines
    int nWidth = 50;             // "Pane" "nWidth": cell width in pixels at 100 %, 1..10000
    int nHeight = 50;            // "Pane" "nHeight": cell height in pixels at 100 %, 1..10000
    int bShowScaleX = 1;         // "Scale" "bShow_X"
    int bShowScaleY = 1;         // "Scale" "bShow_Y"
    std::uint32_t nSpeedX = 100; // "Scale" "nSpeed_X": world units per cell, in hundredths
    std::uint32_t nSpeedY = 100; // "Scale" "nSpeed_Y"
    int nPlaceX = 2;             // "Scale" "nPlace_X": 0..3
    int nPlaceY = 2;             // "Scale" "nPlace_Y": 0..3
    friend bool operator==(const CVisParam&, const CVisParam&) = default;
};

// GetExeDir() + "VisParam.ini".
std::string DefaultVisParamPath();

// Reads the file once and the keys from it, each absent one taking its default; a file that is
// no regular file or larger than kMaxProfileBytes gives all the defaults. Cell sizes
// outside 1..10000 read as 50 and a step of 0 reads as 100, so the view never divides by zero or
// loops without end.
CVisParam LoadVisParam(const std::string& path);
// Writes all thirteen keys in one atomic replacement; false when the file could not be written.
bool SaveVisParam(const CVisParam& param, const std::string& path);

// The view divides by the cell size and the step and walks its loops by them: a cell size
// outside 1..10000 stands for 50 and a step of 0 for 100, wherever the values come from.
int UsableCellSize(int n);
std::uint32_t UsableSpeed(std::uint32_t n);

// World units per cell from the stored hundredths.
double UnitFromSpeed(std::uint32_t nSpeed);
// The stored hundredths for a step: the nearest whole number of hundredths (so 0.29 gives 29),
// clamped to the 32-bit range; NaN gives 0.
std::int32_t SpeedFromUnit(double dUnit);
