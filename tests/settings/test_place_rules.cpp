#include "settings/PlaceRules.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaceRules, OptionsOpenOnlyBesideWhatIsShown) {
    const struct {
        bool axis, grid, scale;
        CPlaceEnable expected; // size, group, beside the axis, at the edge
    } cases[] = {
        {true, true, true, {true, true, true, true}},
        {false, true, true, {true, true, false, true}},
        {true, false, true, {false, true, true, false}},
        {false, false, true, {false, true, false, false}},
        {true, true, false, {true, false, false, false}},
        {false, true, false, {true, false, false, false}},
        {true, false, false, {false, false, false, false}},
        {false, false, false, {false, false, false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceEnable({c.axis, c.grid, c.scale, 2}), c.expected)
            << c.axis << c.grid << c.scale;
}

TEST(PlaceRules, PlacementMovesToAShownAnchor) {
    const struct {
        EPlaceBox box;
        bool axis, grid, scale; // after the click
        int before, after;
    } cases[] = {
        // Grid lines turned on or off.
        {EPlaceBox::Grid, false, true, true, 0, 2},
        {EPlaceBox::Grid, false, true, true, -1, 2},
        {EPlaceBox::Grid, true, true, true, 0, 0},
        {EPlaceBox::Grid, true, false, true, 3, 0},
        {EPlaceBox::Grid, false, false, true, 3, 3}, // no anchor left: stays at the edge
        {EPlaceBox::Grid, false, true, false, 0, 0}, // tick values hidden: untouched
        // The axis turned on or off.
        {EPlaceBox::Axis, true, false, true, 2, 0},
        {EPlaceBox::Axis, true, true, true, 3, 3},
        {EPlaceBox::Axis, false, true, true, 1, 2},
        {EPlaceBox::Axis, false, false, true, 1, 1},
        {EPlaceBox::Axis, false, true, false, 1, 1},
        // The tick values turned on or off.
        {EPlaceBox::Scale, true, true, true, 3, 2}, // axis and grid: always the edge
        {EPlaceBox::Scale, true, true, true, -1, 2},
        {EPlaceBox::Scale, true, false, true, 3, 0},
        {EPlaceBox::Scale, true, false, true, -1, -1},
        {EPlaceBox::Scale, false, true, true, 0, 2},
        {EPlaceBox::Scale, false, false, true, 3, 3},
        {EPlaceBox::Scale, true, true, false, 3, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceAfterClick(c.box, {c.axis, c.grid, c.scale, c.before}), c.after)
            << static_cast<int>(c.box) << " " << c.axis << c.grid << c.scale << " " << c.before;
}

} // namespace
