#pragma once
// The drawing surface the plot logic paints on, with the rules of the Windows GDI it was
// designed for: solid one-pixel pens, MoveTo/LineTo that leaves out the end point, rectangle
// fills that leave out the right and bottom edges, transparent text in a font chosen by face
// and cell height. Its implementations are named after what they draw on, with no class
// prefix, as Dc itself: RasterDc, QPainterDc, the tests' RecordingDc.

#include <cstdint>
#include <string>
#include <string_view>

using COLORREF = std::uint32_t; // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

// A font request: face name and GDI height (positive: the cell height in pixels).
struct CFontSpec {
    std::string face = "Arial";
    int height = 14;
    friend bool operator==(const CFontSpec&, const CFontSpec&) = default;
};

class Dc {
  public:
    virtual ~Dc() = default;

    // Pen: solid, one pixel wide. Returns the previous pen colour so callers can restore it.
    virtual COLORREF SelectPen(COLORREF clr) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // Paints from the current position up to, not including, (x, y); then moves there.
    virtual void LineTo(int x, int y) = 0;

    // Fills [left, right) x [top, bottom).
    virtual void FillSolidRect(const CRect& rc, COLORREF clr) = 0;
    // One-pixel frame on the inside of [left, right) x [top, bottom), as four fills.
    virtual void FrameRect(const CRect& rc, COLORREF clr) {
        if (rc.right <= rc.left || rc.bottom <= rc.top) return;
        FillSolidRect({rc.left, rc.top, rc.right, rc.top + 1}, clr);
        FillSolidRect({rc.left, rc.bottom - 1, rc.right, rc.bottom}, clr);
        FillSolidRect({rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1}, clr);
        FillSolidRect({rc.right - 1, rc.top + 1, rc.right, rc.bottom - 1}, clr);
    }

    // Text: always transparent (no background is painted), never antialiased.
    virtual COLORREF SetTextColor(COLORREF clr) = 0;
    virtual CFontSpec SelectFont(const CFontSpec& font) = 0;
    virtual CSize GetTextExtent(std::string_view text) = 0;
    // (x, y) is the top-left corner of the text's cell.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
};
