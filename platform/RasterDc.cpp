#include "platform/RasterDc.h"

RasterDc::RasterDc(std::uint32_t* bits, int width, int height, int strideInPixels,
                   ITextRenderer* text)
    : m_surface{bits, width, height, strideInPixels}, m_pText(text) {}

COLORREF RasterDc::SelectPen(COLORREF clr) {
    COLORREF old = m_clrPen;
    m_clrPen = clr;
    m_pixPen = ToPixel(clr);
    return old;
}
void RasterDc::MoveTo(int x, int y) { m_ptCur = {x, y}; }
void RasterDc::LineTo(int x, int y) { m_ptCur = {x, y}; }
void RasterDc::FillSolidRect(const CRect&, COLORREF) {}
void RasterDc::FrameRect(const CRect&, COLORREF) {}
COLORREF RasterDc::SetTextColor(COLORREF clr) {
    COLORREF old = m_clrText;
    m_clrText = clr;
    return old;
}
CFontSpec RasterDc::SelectFont(const CFontSpec& font) {
    CFontSpec old = m_font;
    m_font = font;
    return old;
}
CSize RasterDc::GetTextExtent(std::string_view) { return {}; }
void RasterDc::TextOut(int, int, std::string_view) {}
COLORREF RasterDc::GetPixel(int, int) const { return 0; }
