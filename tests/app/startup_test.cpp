#include "app/startup.h"
#include "platform/window.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

struct Placement {
    int x;
    int y;
    bool moved;
};

Placement placeOn(int desktopWidth, int desktopHeight) {
    Placement p = {};
    VideoMode desktop = {desktopWidth, desktopHeight, 8, 8, 8};
    p.moved = centredWindowPosition(desktop, 1280, 720, p.x, p.y);
    return p;
}

} // namespace

TEST(WindowPlacement, CentresTheWindowOnLargerDesktops) {
    Placement fullHd = placeOn(1920, 1080);
    EXPECT_TRUE(fullHd.moved);
    EXPECT_EQ(fullHd.x, 320);
    EXPECT_EQ(fullHd.y, 180);
    Placement laptop = placeOn(1366, 768);
    EXPECT_TRUE(laptop.moved);
    EXPECT_EQ(laptop.x, 43);
    EXPECT_EQ(laptop.y, 24);
}

TEST(WindowPlacement, LeavesTheWindowAloneUnlessBothCoordinatesArePositive) {
    EXPECT_FALSE(placeOn(1280, 1080).moved); // x would be 0
    EXPECT_FALSE(placeOn(1920, 720).moved);  // y would be 0
    EXPECT_FALSE(placeOn(1024, 768).moved);  // smaller than the window
    EXPECT_FALSE(placeOn(1281, 721).moved);  // 0.5 truncates to 0
}
