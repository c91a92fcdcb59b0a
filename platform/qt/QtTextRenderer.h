#pragma once
// Labels drawn with the system's fonts: glyphs rendered once per (font, text) into a one-bit
// mask, then copied pixel for pixel, so drawing the same text in the background colour erases
// it exactly and a pan frame does not render its labels again. Needs a QGuiApplication.

#include "platform/TextRenderer.h"

#include <QFont>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The Qt font for a GDI-style request: a positive height is the cell height (ascent plus
// descent), a negative one the character height; never antialiased. "Arial" falls back to the
// nearest installed face through fontconfig (Liberation Sans on Debian).
QFont QtFontFor(const CFontSpec& font);

class CQtTextRenderer : public ITextRenderer {
  public:
    CSize Extent(const CFontSpec& font, std::string_view text) override;
    void Draw(const CFontSpec& font, std::string_view text, int x, int y, std::uint32_t pixel,
              const CPixelSurface& surface) override;

  private:
    struct CMask {
        CSize extent;
        int left = 0; // x of the mask's first column relative to the cell
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> bits; // row-major, 1 where a glyph pixel is set
    };
    const CMask& MaskFor(const CFontSpec& font, std::string_view text);

    std::unordered_map<std::string, CMask> m_masks;
};
