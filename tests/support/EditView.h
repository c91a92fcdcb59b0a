#pragma once
// Setting a view's plane or style for a test without drawing: a copy changed and taken back.

#include "view/CurvistView.h"

template <class F> void EditPlane(CCurvistView& v, F change) {
    CPlane p = v.Plane();
    change(p);
    v.SetPlane(p);
}

template <class F> void EditStyle(CCurvistView& v, F change) {
    CViewStyle s = v.Style();
    change(s);
    v.SetStyle(s);
}
