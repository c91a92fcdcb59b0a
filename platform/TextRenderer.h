#pragma once
// Text for a pixel surface: the raster Dc asks an ITextRenderer for extents and glyph pixels,
// so the pure core can draw labels with the built-in bitmap font and the desktop with Qt.

#include "platform/Dc.h"

#include <cstdint>
#include <string_view>

// A 32-bit surface not owned by the renderer; pixels are 0xFFRRGGBB, rows strideInPixels apart.
struct CPixelSurface {
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

class ITextRenderer {
  public:
    virtual ~ITextRenderer() = default;
    // Width of the text and the cell height of the font, in pixels.
    virtual CSize Extent(const CFontSpec& font, std::string_view text) = 0;
    // Sets the glyph pixels of text (CP936 bytes) to pixel, the cell's top-left at (x, y);
    // nothing else is touched (transparent, no antialiasing), and output is clipped to surface.
    virtual void Draw(const CFontSpec& font, std::string_view text, int x, int y,
                      std::uint32_t pixel, const CPixelSurface& surface) = 0;
};

// A fixed 5x7 bitmap font that needs nothing but the standard library. Each character takes a
// cell 6 * s pixels wide, where s = max(1, h / 14) and h is the requested cell height (14 when
// the request is 0; the magnitude of a negative one); the cell is h pixels high with the glyph
// centred in it. Digits, signs, '.', ' ', letters and common punctuation have glyphs; any other
// byte (or a two-byte CP936 character, two cells wide) is drawn as a hollow box.
class CBitmapTextRenderer : public ITextRenderer {
  public:
    CSize Extent(const CFontSpec& font, std::string_view text) override;
    void Draw(const CFontSpec& font, std::string_view text, int x, int y, std::uint32_t pixel,
              const CPixelSurface& surface) override;
};
