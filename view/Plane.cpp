#include "view/Plane.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The nine presets: where each puts the origin, as thirds of the client area (0 edge,
// 1 middle, 2 far edge), and its number in each numbering. The key's codes run row by row
// over a 3x3 grid; the menu lists centre and the four sides first, then the corners.
struct SOriginPreset {
    int menu, ini, col, row;
};
constexpr SOriginPreset kPresets[] = {
    {0, 4, 1, 1}, // centre
    {1, 3, 0, 1}, // left
    {2, 5, 2, 1}, // right
    {3, 1, 1, 0}, // top
    {4, 7, 1, 2}, // bottom
    {5, 0, 0, 0}, // top left
    {6, 6, 0, 2}, // bottom left
    {7, 2, 2, 0}, // top right
    {8, 8, 2, 2}, // bottom right
};

int Third(int part, int size) {
    return part == 0 ? 0 : part == 1 ? size / 2 : size;
}

} // namespace

int CPlane::ZoomedCell(int base, int scale) {
    const std::int64_t product = static_cast<std::int64_t>(base) * scale;
    const double cell = std::trunc(static_cast<double>(product) * 0.01);
    if (!(cell >= 1.0)) return 1;
    return cell >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(cell);
}

int CPlane::StepScale(int scale, short direction) {
    if (direction == -1)
        scale -= scale <= 100 ? 5 : 10;
    else if (direction == 1)
        scale = std::min(kMaxScale, scale + (scale < 100 ? 5 : 10));
    else
        scale = 100;
    return std::max(scale, kMinScale);
}

int CPlane::DragScale(int scale, int steps) {
    const long long s = static_cast<long long>(scale) + 5LL * steps;
    return static_cast<int>(std::clamp<long long>(s, kMinScale, kMaxScale));
}

bool CPlane::TakeScale(int scale) {
    m_nScale = scale;
    const int w = ZoomedCell(m_nBaseCellW, m_nScale);
    const int h = ZoomedCell(m_nBaseCellH, m_nScale);
    if (w == m_nCellW) return false;
    m_nCellW = w;
    m_nCellH = h;
    return true;
}

void CPlane::SetScale(int scale) {
    m_nScale = scale;
    m_nCellW = ZoomedCell(m_nBaseCellW, m_nScale);
    m_nCellH = ZoomedCell(m_nBaseCellH, m_nScale);
}

void CPlane::SetBaseCells(int w, int h) {
    m_nBaseCellW = w;
    m_nBaseCellH = h;
    SetScale(m_nScale);
}

bool CPlane::PlaceOrigin(int code, EOriginCode numbering, int cx, int cy) {
    for (const SOriginPreset& p : kPresets)
        if ((numbering == EOriginCode::Menu ? p.menu : p.ini) == code) {
            m_nOriginX = Third(p.col, cx);
            m_nOriginY = Third(p.row, cy);
            return true;
        }
    return false;
}
