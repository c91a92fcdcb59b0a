#pragma once
// A Dc over a 32-bit pixel surface that it does not own, drawing exactly as GDI does. Pixels are
// 0xFFRRGGBB (QImage::Format_RGB32) so the plot window presents its back buffer unconverted.

#include "platform/Dc.h"
#include "platform/TextRenderer.h"

#include <cstdint>

class RasterDc : public Dc {
  public:
    // text may be null: the built-in bitmap font is used then.
    RasterDc(std::uint32_t* bits, int width, int height, int strideInPixels, ITextRenderer* text);

    static constexpr std::uint32_t ToPixel(COLORREF clr) {
        return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(clr)) << 16) |
               (static_cast<std::uint32_t>(GetGValue(clr)) << 8) |
               static_cast<std::uint32_t>(GetBValue(clr));
    }
    static constexpr COLORREF FromPixel(std::uint32_t pixel) {
        return RGB(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                   static_cast<int>(pixel & 0xFF));
    }

    // The columns [x0, x1) of `whole`, addressed in the coordinates of `whole`: what it paints
    // there is exactly what `whole` would paint, and nothing outside. Strips that do not overlap
    // can be painted by different threads at the same time. Text is for the whole surface.
    RasterDc(const RasterDc& whole, int x0, int x1);

    COLORREF SelectPen(COLORREF clr) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void FillSolidRect(const CRect& rc, COLORREF clr) override;
    COLORREF SetTextColor(COLORREF clr) override;
    CFontSpec SelectFont(const CFontSpec& font) override;
    CSize GetTextExtent(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text) override;

    CPoint GetCurrentPosition() const { return m_ptCur; }
    int Width() const { return m_surface.width; } // of the surface, or of the strip
    int Height() const { return m_surface.height; }
    // The colour at (x, y), or 0 outside the surface.
    COLORREF GetPixel(int x, int y) const;
    // Every pixel of the surface (or strip) has the colour clr.
    bool IsFilledWith(COLORREF clr) const;

  private:
    CPixelSurface m_surface;
    std::int64_t m_nOffX = 0; // x of the surface's first column
    ITextRenderer* m_pText;
    CPoint m_ptCur;
    COLORREF m_clrPen = RGB(0, 0, 0);
    std::uint32_t m_pixPen = ToPixel(RGB(0, 0, 0));
    COLORREF m_clrText = RGB(0, 0, 0);
    CFontSpec m_font;
};
