#include "settings/PlaceRules.h"

CPlaceEnable PlaceEnable(const CPlaceSide& s) {
    return {s.bGrid, s.bScale, s.bAxis && s.bScale, s.bGrid && s.bScale};
}

int PlaceAfterClick(EPlaceBox box, const CPlaceSide& s) {
    int n = s.nPlace;
    if (!s.bScale) return n;
    switch (box) {
    case EPlaceBox::Grid:
        if (s.bGrid && n < 2 && !s.bAxis) n = 2;
        if (!s.bGrid && n >= 2 && s.bAxis) n = 0;
        break;
    case EPlaceBox::Axis:
        if (s.bAxis && n >= 2 && !s.bGrid) n = 0;
        if (!s.bAxis && n < 2 && s.bGrid) n = 2;
        break;
    case EPlaceBox::Scale:
        // Axis first, then grid.
        if (s.bAxis && n >= 2) n = 0;
        if (s.bGrid && n < 2) n = 2;
        break;
    }
    return n;
}
