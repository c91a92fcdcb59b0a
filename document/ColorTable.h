#pragma once
// The nine curve colours, shared by the colour chooser, the function list and the editor's
// new-colour rule.

#include "platform/Dc.h"

#include <array>
#include <span>

class CCurvistDoc;

struct CColorEntry {
    const char* m_szName; // UTF-8, as the user interface shows it
    COLORREF m_clr;
};

// Entry index = order in the colour chooser, which is never re-sorted.
inline constexpr std::array<CColorEntry, 9> kColorTable = {{
    {"红色", RGB(255, 0, 0)},
    {"黄色", RGB(255, 255, 0)},
    {"蓝色", RGB(0, 0, 255)},
    {"绿色", RGB(0, 128, 0)},
    {"粉红色", RGB(255, 0, 255)},
    {"橄榄色", RGB(128, 128, 0)},
    {"灰色", RGB(128, 128, 128)},
    {"银色", RGB(192, 192, 192)},
    {"浅绿色", RGB(0, 255, 255)},
}};

// The colour a new function gets: the first entry whose colour is not among `used`; entry 0
// when all nine are taken.
int NewColorIndex(std::span<const COLORREF> used);
// The same over the colours of the document's functions.
int NewFunctionColorIndex(const CCurvistDoc& doc);

// Index of the first entry with that colour, or -1.
int ColorIndexOf(COLORREF clr);
