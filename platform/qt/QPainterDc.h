#pragma once
// A Dc over a QPainter, for printing and vector export (SVG, PDF): one-pixel cosmetic solid
// pens, lines that stop at their end point, rectangles that leave out the right and bottom
// edges, transparent text in the font QtFontFor chooses. Lines are clipped to the area first,
// since far-off coordinates defeat both raster engines and vector viewers.

#include "platform/Dc.h"

class QPainter;

class QPainterDc : public Dc {
  public:
    // width x height is the logical area the caller maps onto the device.
    QPainterDc(QPainter* painter, int width, int height);

    COLORREF SelectPen(COLORREF clr) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void FillSolidRect(const CRect& rc, COLORREF clr) override;
    COLORREF SetTextColor(COLORREF clr) override;
    CFontSpec SelectFont(const CFontSpec& font) override;
    CSize GetTextExtent(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text) override;

    CPoint GetCurrentPosition() const { return m_ptCur; }

  private:
    QPainter* m_pPainter;
    int m_nWidth;
    int m_nHeight;
    CPoint m_ptCur;
    COLORREF m_clrPen = RGB(0, 0, 0);
    COLORREF m_clrText = RGB(0, 0, 0);
    CFontSpec m_font;
};
