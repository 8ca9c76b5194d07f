#include "app/overlay.h"
#include "game/controls.h"
#include "game/player_control.h"
#include "platform/keys.h"

#include <gtest/gtest.h>

#include <string>

using namespace valley;

TEST(Overlay, F1AndF3EachToggleTheirPanelOncePerPress) {
    Overlay overlay = {};
    InputState input = {};
    const bool held[] = {false, true, true, false, true, false};
    const bool shown[] = {false, true, true, true, false, false};
    for (int key : {int(keyF1), keyF1 + 2}) {
        bool& panel = key == keyF1 ? overlay.controlsShown : overlay.statsShown;
        for (int tick = 0; tick < 6; ++tick) {
            setKey(input, key, held[tick]);
            updateOverlay(overlay, input);
            EXPECT_EQ(panel, shown[tick]) << "key " << key << ", tick " << tick;
        }
    }
}

TEST(Overlay, RatesAreCountedOverWholeSeconds) {
    TickRates rates = {};
    for (int tick = 0; tick < 60; ++tick) {
        countTick(rates, 10.0 + tick / 60.0, tick % 3 == 0); // a third drawn
    }
    EXPECT_EQ(rates.ticksPerSecond, 0.0) << "no whole second yet";
    countTick(rates, 11.0, true);
    EXPECT_NEAR(rates.ticksPerSecond, 61.0, 1e-9);
    EXPECT_NEAR(rates.picturesPerSecond, 21.0, 1e-9);
    EXPECT_EQ(rates.ticks, 0);
}

TEST(Overlay, TheControlsPanelNamesEveryBindingAndTheStatsPanelTheMode) {
    const std::string controls = controlsText();
    for (const ControlBinding& binding : controlTable) {
        EXPECT_NE(controls.find(binding.what), std::string::npos) << binding.what;
    }
    EXPECT_NE(controls.find("\nF3: show or hide"), std::string::npos) << controls;
    EXPECT_NE(controls.find("\nSpace: jump"), std::string::npos) << controls;

    EXPECT_STREQ(movementMode(true, -100.0f), "flying");
    EXPECT_STREQ(movementMode(false, waterLine), "swimming");
    EXPECT_STREQ(movementMode(false, waterLine + 0.1f), "walking");
    TickRates rates = {};
    rates.ticksPerSecond = 60.0;
    rates.picturesPerSecond = 12.5;
    EXPECT_EQ(statsText(rates, 7, {1.0f, -2.5f, 3.25f}, "walking"),
              "12.5 pictures drawn per second\n60.0 ticks per second\n7 rocks alive\nposition 1.0 -2.5 "
              "3.2\nwalking");
}
