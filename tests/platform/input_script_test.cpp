#include "platform/input_script.h"
#include "platform/keys.h"
#include "platform/window.h"

#include <gtest/gtest.h>

namespace {

class ScriptedInput : public ::testing::Test {
protected:
    void TearDown() override { platformUseScript(nullptr); }
    InputScript script;
};

} // namespace

TEST_F(ScriptedInput, EachFrameHoldsExactlyItsKeysAndButtons) {
    holdKey(script, 'W', 1, 2);
    holdKey(script, keyEscape, 3, 3);
    holdButton(script, mouseButtonLeft, 2, 2);
    platformUseScript(&script);

    EXPECT_EQ(platformScriptFrame(), 1);
    EXPECT_EQ(platformKey('W'), 1);
    EXPECT_EQ(platformMouseButton(mouseButtonLeft), 0);
    platformEndTick();
    EXPECT_EQ(platformKey('W'), 1);
    EXPECT_EQ(platformMouseButton(mouseButtonLeft), 1);
    platformEndTick();
    EXPECT_EQ(platformKey('W'), 0);
    EXPECT_EQ(platformKey(keyEscape), 1);
    EXPECT_EQ(platformMouseButton(mouseButtonLeft), 0);
}

TEST_F(ScriptedInput, MouseStartsCentredAndStaysWhereItWasMovedOrSet) {
    moveMouse(script, 2, 100, 200);
    scriptFrame(script, 4);
    platformUseScript(&script);
    int x = 0;
    int y = 0;
    platformMousePos(x, y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 360);
    platformEndTick();
    platformMousePos(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    platformSetMousePos(640, 360);
    platformEndTick();
    platformMousePos(x, y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 360);
}

TEST_F(ScriptedInput, PresentCallbackRunsOnceInItsFrame) {
    int calls = 0;
    int frameSeen = 0;
    scriptFrame(script, 2).onPresent = [&] {
        ++calls;
        frameSeen = platformScriptFrame();
    };
    platformUseScript(&script);
    for (int i = 0; i < 3; ++i) {
        platformSwapBuffers();
        platformEndTick();
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(frameSeen, 2);
}
