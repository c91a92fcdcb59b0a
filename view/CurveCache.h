#pragma once
// The polyline of a curve's last pass and everything it was computed from. When a later pass
// would see the same inputs it replays the polyline instead of evaluating again, so the erase
// pass of an in-place redraw paints exactly the pixels the drawing pass painted.

#include "expr/Program.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct CCurveKey {
    int originX = 0, originY = 0, cellW = 0, cellH = 0, winW = 0, winH = 0;
    // Bit patterns, so that -0.0 and NaN compare as what they are.
    std::uint64_t unitX = 0, unitY = 0, dMin = 0, dMax = 0;
    const CNodeList* nodes = nullptr;
    friend bool operator==(const CCurveKey&, const CCurveKey&) = default;
};

struct CCurveOp {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool line = false; // LineTo, else MoveTo
};

struct CCurvePolyline {
    bool valid = false;
    CCurveKey key;
    CProgramSig program;
    std::vector<CCurveOp> ops;
};

// The buffers of one curve pass.
struct CPassScratch {
    std::vector<double> xs, ys;
    std::vector<int> cols;
    std::unique_ptr<bool[]> errs;
    std::size_t nErrsCap = 0;
};

// Everything that decides which pixels an erase of the whole scene paints: the plane, the
// label settings, the client sizes, the surface, and each record's list and domain (colour
// and visibility do not matter: an erase paints every curve in the background colour).
struct CSceneKey {
    struct CFunKey {
        const void* fun = nullptr;
        const CNodeList* nodes = nullptr;
        std::uint64_t stamp = 0, dMin = 0, dMax = 0;
        friend bool operator==(const CFunKey&, const CFunKey&) = default;
    };
    const void* dc = nullptr;
    int originX = 0, originY = 0, cellW = 0, cellH = 0, clientW = 0, clientH = 0, winW = 0,
        winH = 0;
    std::uint64_t unitX = 0, unitY = 0;
    std::int32_t showScaleX = 0, showScaleY = 0;
    int placeX = 0, placeY = 0;
    std::uint32_t back = 0;
    std::vector<CFunKey> funs;
    friend bool operator==(const CSceneKey&, const CSceneKey&) = default;
};
