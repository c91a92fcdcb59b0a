#include "platform/RasterDc.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace {

__extension__ typedef __int128 Int128;

constexpr std::int64_t kPrefetchRows = 24;

struct CPoint64 {
    std::int64_t x, y;
};

// Smallest i >= 0 with floor((2*i*amin + amaj - 1) / (2*amaj)) >= m, the stepping's minor
// offset at step i (ties round toward the start). Exact in 128 bits for any int coordinates.
std::int64_t FirstStepReaching(std::int64_t m, std::int64_t amaj, std::int64_t amin) {
    if (m <= 0) return 0;
    constexpr std::int64_t kSmall = std::int64_t(1) << 30;
    if (m < kSmall && amaj < kSmall) {
        // Products stay below 2^62: plain 64-bit division is much cheaper than 128-bit.
        const std::int64_t num = 2 * amaj * m - amaj + 1, den = 2 * amin;
        return (num + den - 1) / den;
    }
    // 2*i*amin >= 2*amaj*m - amaj + 1
    Int128 num = Int128(2) * amaj * m - amaj + 1;
    Int128 den = Int128(2) * amin;
    Int128 i = (num + den - 1) / den; // num > 0 here
    return i > INT64_MAX ? INT64_MAX : static_cast<std::int64_t>(i);
}

// Narrows steps [lo, hi] to those whose pixel lies in [0, extMaj) x [0, extMin) along the
// major and minor axes; false when none does.
bool ClipSteps(std::int64_t maj0, std::int64_t min0, std::int64_t smaj, std::int64_t smin,
               std::int64_t amaj, std::int64_t amin, std::int64_t extMaj, std::int64_t extMin,
               std::int64_t& lo, std::int64_t& hi) {
    if (smaj > 0) {
        lo = std::max(lo, -maj0);
        hi = std::min(hi, extMaj - 1 - maj0);
    } else {
        lo = std::max(lo, maj0 - (extMaj - 1));
        hi = std::min(hi, maj0);
    }
    if (lo > hi) return false;

    // Minor offsets q with min0 + smin*q in [0, extMin).
    const std::int64_t qlo = smin > 0 ? -min0 : min0 - (extMin - 1);
    const std::int64_t qhi = smin > 0 ? extMin - 1 - min0 : min0;
    if (amin == 0) {
        if (qlo > 0 || qhi < 0) return false;
    } else {
        if (qhi < 0) return false;
        lo = std::max(lo, FirstStepReaching(qlo, amaj, amin));
        if (qhi < INT64_MAX) {
            std::int64_t past = FirstStepReaching(qhi + 1, amaj, amin);
            hi = std::min(hi, past - 1);
        }
    }
    return lo <= hi;
}

void Fill(std::uint32_t* p, std::size_t n, std::uint32_t pix) {
    if constexpr (sizeof(wchar_t) == sizeof(std::uint32_t))
        std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(pix), n);
    else
        std::fill(p, p + n, pix);
}

CBitmapTextRenderer& BuiltInText() {
    static CBitmapTextRenderer renderer;
    return renderer;
}

} // namespace

RasterDc::RasterDc(std::uint32_t* bits, int width, int height, int strideInPixels,
                   ITextRenderer* text)
    : m_surface{bits, std::max(width, 0), std::max(height, 0), strideInPixels},
      m_pText(text ? text : &BuiltInText()) {
    if (!bits) m_surface.width = m_surface.height = 0;
}

RasterDc::RasterDc(const RasterDc& whole, int x0, int x1)
    : m_surface(whole.m_surface), m_nOffX(whole.m_nOffX), m_pText(whole.m_pText),
      m_ptCur(whole.m_ptCur), m_clrPen(whole.m_clrPen), m_pixPen(whole.m_pixPen),
      m_clrText(whole.m_clrText), m_font(whole.m_font) {
    const std::int64_t lo = std::clamp<std::int64_t>(x0 - m_nOffX, 0, m_surface.width);
    const std::int64_t hi = std::clamp<std::int64_t>(x1 - m_nOffX, lo, m_surface.width);
    m_surface.bits += lo;
    m_surface.width = static_cast<int>(hi - lo);
    m_nOffX += lo;
}

COLORREF RasterDc::SelectPen(COLORREF clr) {
    COLORREF old = m_clrPen;
    m_clrPen = clr;
    m_pixPen = ToPixel(clr);
    return old;
}

void RasterDc::MoveTo(int x, int y) {
    m_ptCur = {x, y};
}

// Bresenham stepping along the major axis, pixel i of n at major offset i and minor offset
// floor((2*i*amin + amaj - 1) / (2*amaj)). The visible steps are found in closed form first,
// so a line of four billion steps costs only the pixels that land on the surface, and the
// pixels painted are exactly those of the unclipped stepping.
void RasterDc::LineTo(int xTo, int yTo) {
    const CPoint fromPt = m_ptCur;
    m_ptCur = {xTo, yTo};
    const std::int64_t W = m_surface.width, H = m_surface.height;
    if (W == 0 || H == 0) return;
    // Every pixel of a line lies in the box of its end points: most segments of a curve leave
    // a strip at once.
    const std::int64_t x = xTo - m_nOffX, y = yTo;
    const CPoint64 from{fromPt.x - m_nOffX, fromPt.y};
    if ((x < 0 && from.x < 0) || (x >= W && from.x >= W) || (y < 0 && from.y < 0) ||
        (y >= H && from.y >= H))
        return;

    const std::int64_t dx = x - from.x, dy = y - from.y;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Major/minor coordinates, their start, direction, length and surface extent.
    const std::int64_t maj0 = xMajor ? from.x : from.y, min0 = xMajor ? from.y : from.x;
    const std::int64_t dmaj = xMajor ? dx : dy, dmin = xMajor ? dy : dx;
    const std::int64_t smaj = dmaj < 0 ? -1 : 1, smin = dmin < 0 ? -1 : 1;
    const std::int64_t amaj = dmaj * smaj, amin = dmin * smin;
    const std::int64_t extMaj = xMajor ? W : H, extMin = xMajor ? H : W;

    std::int64_t lo = 0, hi = amaj - 1;
    const bool inside = from.x >= 0 && from.x < W && from.y >= 0 && from.y < H && x >= 0 && x < W &&
                        y >= 0 && y < H;
    if (!inside) {
        if (!ClipSteps(maj0, min0, smaj, smin, amaj, amin, extMaj, extMin, lo, hi)) return;
    }
    // Remainder and minor offset at step lo, then plain incremental stepping.
    const std::int64_t den = 2 * amaj;
    std::int64_t q = 0, r = amaj - 1;
    if (lo > 0) {
        const Int128 num = Int128(2) * lo * amin + amaj - 1;
        q = static_cast<std::int64_t>(num / den);
        r = static_cast<std::int64_t>(num % den);
    }
    const std::int64_t inc = 2 * amin;

    const std::int64_t stride = m_surface.stride;
    const std::int64_t majStep = xMajor ? smaj : smaj * stride;
    const std::int64_t minStep = xMajor ? smin * stride : smin;
    const std::int64_t px = xMajor ? maj0 + smaj * lo : min0 + smin * q;
    const std::int64_t py = xMajor ? min0 + smin * q : maj0 + smaj * lo;
    // An offset, not a pointer, walks the line: it may step past the surface after the last
    // pixel, which pointer arithmetic must not.
    std::int64_t off = py * stride + px;
    std::uint32_t* const bits = m_surface.bits;
    const std::uint32_t pix = m_pixPen;
    auto paint = [&] {
        bits[off] = pix;
        off += majStep;
        r += inc;
        if (r >= den) {
            r -= den;
            off += minStep;
        }
    };
    std::int64_t n = hi - lo + 1;
    if (!xMajor && n > kPrefetchRows) {
        // A steep line writes one pixel per row, each on a line of its own that is rarely
        // cached: asking for the rows ahead overlaps the waits.
        for (; n > kPrefetchRows; --n) {
            __builtin_prefetch(bits + off + kPrefetchRows * majStep, 1);
            paint();
        }
    }
    for (; n > 0; --n)
        paint();
}

void RasterDc::FillSolidRect(const CRect& rc, COLORREF clr) {
    const std::int64_t l = std::max<std::int64_t>(rc.left - m_nOffX, 0);
    const std::int64_t r = std::min<std::int64_t>(rc.right - m_nOffX, m_surface.width);
    const int t = std::max(rc.top, 0), b = std::min(rc.bottom, m_surface.height);
    if (l >= r || t >= b) return;
    const std::uint32_t pix = ToPixel(clr);
    if (l == 0 && r == m_surface.width && m_surface.stride == m_surface.width) {
        // Whole rows are one block: the library's block fill is much faster than row by row.
        Fill(m_surface.bits + std::int64_t(t) * m_surface.stride,
             static_cast<std::size_t>(b - t) * static_cast<std::size_t>(m_surface.width), pix);
        return;
    }
    for (int yy = t; yy < b; ++yy) {
        std::uint32_t* row = m_surface.bits + std::int64_t(yy) * m_surface.stride;
        Fill(row + l, static_cast<std::size_t>(r - l), pix);
    }
}

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

CSize RasterDc::GetTextExtent(std::string_view text) {
    return m_pText->Extent(m_font, text);
}

void RasterDc::TextOut(int x, int y, std::string_view text) {
    if (m_surface.width == 0 || m_surface.height == 0) return;
    m_pText->Draw(m_font, text, x, y, ToPixel(m_clrText), m_surface);
}

COLORREF RasterDc::GetPixel(int x, int y) const {
    const std::int64_t sx = x - m_nOffX;
    if (sx < 0 || y < 0 || sx >= m_surface.width || y >= m_surface.height) return 0;
    return FromPixel(m_surface.bits[std::int64_t(y) * m_surface.stride + sx]);
}

bool RasterDc::IsFilledWith(COLORREF clr) const {
    const std::uint32_t pix = ToPixel(clr);
    for (int yy = 0; yy < m_surface.height; ++yy) {
        const std::uint32_t* row = m_surface.bits + std::int64_t(yy) * m_surface.stride;
        std::uint32_t diff = 0;
        for (int xx = 0; xx < m_surface.width; ++xx)
            diff |= row[xx] ^ pix;
        if (diff) return false;
    }
    return true;
}
