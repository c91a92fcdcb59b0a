#pragma once
// The plane as one value: where the origin sits on the client area, how many pixels a unit
// cell has at the current zoom, and what one cell is worth. The transforms, the zoom steps and
// the origin presets are its rules; the view draws whatever plane it holds.

#include <cstdint>

inline constexpr int kMinScale = 10;
// Saturating, so that zooming in without end cannot overflow the scale.
inline constexpr int kMaxScale = 2147483647 - 10;

// The two ways the nine origin presets are numbered: the menu's and the "nOriginPlace" key's.
enum class EOriginCode { Menu, Ini };

class CPlane {
  public:
    // --- Transforms (pixels of the client area <-> world) ------------------------------------
    double ColToWorldX(double col) const { return (col - m_nOriginX) / m_nCellW * m_dUnitX; }
    double RowToWorldY(double row) const { return -((row - m_nOriginY) / m_nCellH * m_dUnitY); }
    double WorldYToRow(double y) const { return m_nOriginY - (y * m_nCellH) / m_dUnitY; }

    // --- Zoom ------------------------------------------------------------------------------------
    // Cell size in pixels for a base size at a zoom in per cent: truncated, never below 1.
    static int ZoomedCell(int base, int scale);
    // The scale after one zoom command: -1 out, 1 in, anything else back to 100.
    static int StepScale(int scale, short direction);
    // The scale after a drag of `steps` five-per-cent steps.
    static int DragScale(int scale, int steps);
    // Takes the scale; the cells follow only when the zoomed width differs from the current
    // one (a height change alone waits for the next step). True when the cells changed.
    bool TakeScale(int scale);
    // Takes the scale and zooms the cells from the base cells, whatever they were.
    void SetScale(int scale);
    // New base cells; the cells are zoomed from them at the current scale.
    void SetBaseCells(int w, int h);

    // --- Origin ----------------------------------------------------------------------------------
    void MoveOrigin(int dx, int dy) {
        m_nOriginX += dx;
        m_nOriginY += dy;
    }
    // Places the origin at one of the nine presets of a cx x cy client area; an unknown code
    // leaves it where it is and returns false.
    bool PlaceOrigin(int code, EOriginCode numbering, int cx, int cy);

    bool operator==(const CPlane&) const = default;

    int m_nOriginX = 320;
    int m_nOriginY = 260;
    int m_nBaseCellW = 50;
    int m_nBaseCellH = 50;
    int m_nScale = 100; // zoom in per cent
    int m_nCellW = 50;  // zoomed cells
    int m_nCellH = 50;
    double m_dUnitX = 1.0; // world width of one cell
    double m_dUnitY = 1.0;
};
