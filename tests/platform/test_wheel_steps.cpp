#include "platform/WheelSteps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(WheelSteps, WholeNotchesAddUpAndATurnBackStartsAfresh) {
    const struct {
        const char* what;
        std::vector<int> deltas;
        std::vector<int> steps; // due after each delta
    } cases[] = {
        {"notches", {120, -120, 240, -360}, {1, -1, 2, -3}},
        {"touchpad", {40, 40, 39, 1, 119, 1}, {0, 0, 0, 1, 0, 1}},
        {"turn back", {100, -30, -90}, {0, 0, -1}},
        {"rest kept", {130, 110, -20, -100}, {1, 1, 0, -1}},
        {"large", {1000}, {8}},
    };
    for (const auto& c : cases) {
        CWheelSteps wheel;
        std::vector<int> got;
        for (int d : c.deltas)
            got.push_back(wheel.Add(d));
        EXPECT_EQ(got, c.steps) << c.what;
    }
}

} // namespace
