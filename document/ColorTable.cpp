#include "document/ColorTable.h"

#include "document/CurvistDoc.h"

#include <algorithm>
#include <vector>

int NewColorIndex(std::span<const COLORREF> used) {
    for (std::size_t i = 0; i < kColorTable.size(); ++i)
        if (std::find(used.begin(), used.end(), kColorTable[i].m_clr) == used.end())
            return static_cast<int>(i);
    return 0;
}

int NewFunctionColorIndex(const CCurvistDoc& doc) {
    std::vector<COLORREF> used;
    used.reserve(doc.m_arFuns.size());
    for (const auto& f : doc.m_arFuns)
        used.push_back(f->m_clrFun);
    return NewColorIndex(used);
}

int ColorIndexOf(COLORREF clr) {
    for (std::size_t i = 0; i < kColorTable.size(); ++i)
        if (kColorTable[i].m_clr == clr) return static_cast<int>(i);
    return -1;
}
