#pragma once
// The rules of the display dialog's six check boxes, one side of the plane at a time: which
// placement options are open, and where the tick values move when their anchor is hidden.
// Placement codes 0 and 1 stand beside the axis, 2 and 3 at an edge of the plot area.

// One side (X or Y): its three check boxes and its placement code (-1 when none is chosen).
struct CPlaceSide {
    bool bAxis = true;
    bool bGrid = true;
    bool bScale = true;
    int nPlace = 2;
};

// What the side's controls allow.
struct CPlaceEnable {
    bool bSize = true;       // the cell-size field and its label
    bool bPlaceGroup = true; // the placement group box
    bool bBesideAxis = true; // placements 0 and 1
    bool bAtEdge = true;     // placements 2 and 3
    friend bool operator==(const CPlaceEnable&, const CPlaceEnable&) = default;
};

enum class EPlaceBox { Axis, Grid, Scale };

// An option is open only when what it stands by is shown and the tick values are shown. The
// dialog opens in this state and every click keeps it so.
CPlaceEnable PlaceEnable(const CPlaceSide& side);

// The placement after the user clicked `box` (side holds the boxes' new states): a placement
// whose anchor was just hidden moves to one that is shown; turning the tick values on with both
// the axis and the grid lines shown always ends at the edge (2).
int PlaceAfterClick(EPlaceBox box, const CPlaceSide& side);
