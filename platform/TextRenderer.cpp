#include "platform/TextRenderer.h"

CSize CBitmapTextRenderer::Extent(const CFontSpec&, std::string_view) { return {}; }
void CBitmapTextRenderer::Draw(const CFontSpec&, std::string_view, int, int, std::uint32_t,
                               const CPixelSurface&) {}
