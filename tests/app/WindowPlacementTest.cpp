// The main window's stored size and place, fitted to the screen it opens on.
#include <gtest/gtest.h>

#include <limits>

#include "app/WindowPlacement.h"

namespace parlo {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

std::string Show(const WindowBounds& b) {
    return std::to_string(b.left) + "," + std::to_string(b.top) + " " + std::to_string(b.width) +
           "x" + std::to_string(b.height);
}

TEST(WindowPlacement, TheWholeWindowFitsOnTheAvailableArea) {
    // A 1600x1000 screen with a 30-pixel panel at the top; a frame of 1
    // pixel at the sides, 20 above (the title bar) and 5 below.
    const WindowBounds area{0, 30, 1600, 970};
    const FrameMargins frame{1, 20, 1, 5};
    const struct {
        const char* what;
        WindowBounds stored;
        WindowBounds fitted;
    } cases[] = {
        {"a window that fits stays as it is", {200, 100, 800, 600}, {200, 100, 800, 600}},
        {"larger than any screen", {100, 50, kMax, kMax}, {1, 50, 1598, 945}},
        {"10000 x 10000", {0, 0, 10000, 10000}, {1, 50, 1598, 945}},
        {"far to the right", {5000, 100, 800, 600}, {799, 100, 800, 600}},
        {"far to the left and above", {-5000, -300, 800, 600}, {1, 50, 800, 600}},
        {"title bar under the panel", {200, 35, 800, 600}, {200, 50, 800, 600}},
        {"bottom below the screen", {200, 900, 800, 600}, {200, 395, 800, 600}},
        {"the extremes of the numbers", {kMax, kMin, kMax, kMax}, {1, 50, 1598, 945}},
        {"nothing stored", {kMin, kMax, kMin, kMin}, {1, 795, 400, 200}},
        {"smaller than the minimum", {300, 300, 10, 10}, {300, 300, 400, 200}},
    };
    for (const auto& c : cases) {
        const WindowBounds fitted = FitWindow(c.stored, area, frame, 400, 200);
        EXPECT_EQ(Show(fitted), Show(c.fitted)) << c.what;
        // Frame included, all of it on the area.
        EXPECT_GE(fitted.left - frame.left, area.left) << c.what;
        EXPECT_GE(fitted.top - frame.top, area.top) << c.what;
        EXPECT_LE(fitted.left + fitted.width + frame.right, area.left + area.width) << c.what;
        EXPECT_LE(fitted.top + fitted.height + frame.bottom, area.top + area.height) << c.what;
    }
}

// At twice the scale a 1600x1000 screen is 800x500: a window stored at the
// usual 800x600 shrinks to what is there. On a screen smaller than the
// minimum size, the minimum wins and the window starts at the area's corner.
TEST(WindowPlacement, ScaledAndTinyScreens) {
    EXPECT_EQ(Show(FitWindow({100, 50, 800, 600}, {0, 0, 800, 500}, {}, 400, 200)),
              Show({0, 0, 800, 500}));
    EXPECT_EQ(Show(FitWindow({100, 50, 800, 600}, {0, 0, 800, 500}, {1, 20, 1, 5}, 400, 200)),
              Show({1, 20, 798, 475}));
    EXPECT_EQ(Show(FitWindow({100, 50, 800, 600}, {10, 10, 320, 180}, {}, 400, 200)),
              Show({10, 10, 400, 200}));
}

}  // namespace
}  // namespace parlo
