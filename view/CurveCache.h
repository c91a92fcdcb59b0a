#pragma once
// The polyline of a curve's last pass and everything it was computed from. When a later pass
// would see the same inputs it replays the polyline instead of evaluating again, so the erase
// pass of an in-place redraw paints exactly the pixels the drawing pass painted.

#include "expr/Program.h"
#include "platform/Dc.h"
#include "view/Plane.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What the curve pass reads of the scene, and of the record.
struct CCurveKey {
    CPlane plane;
    CSize size;
    int nPixelRatio = 1;
    // The domain's bit patterns, so that -0.0 and NaN compare as what they are.
    std::uint64_t dMin = 0, dMax = 0;
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
