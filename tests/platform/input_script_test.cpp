#include "platform/input_script.h"
#include "platform/keys.h"
#include "platform/session_input.h"
#include "platform/window.h"

#include <gtest/gtest.h>

using namespace valley;

namespace {

class ScriptedInput : public ::testing::Test {
protected:
    void TearDown() override {
        platformUseScript(nullptr);
        platformUseSession(nullptr);
    }
    InputScript script;
};

} // namespace

TEST_F(ScriptedInput, EachFrameHoldsExactlyItsKeysAndButtons) {
    holdKey(script, 'W', 1, 2);
    holdKey(script, keyEscape, 3, 3);
    holdButton(script, mouseButtonLeft, 2, 2);
    platformUseScript(&script);

    EXPECT_EQ(platformScriptFrame(), 1);
    InputState input = platformPoll();
    EXPECT_TRUE(isHeld(input, 'W'));
    EXPECT_FALSE(buttonHeld(input, mouseButtonLeft));
    platformEndTick();
    input = platformPoll();
    EXPECT_TRUE(isHeld(input, 'W'));
    EXPECT_TRUE(buttonHeld(input, mouseButtonLeft));
    platformEndTick();
    input = platformPoll();
    EXPECT_FALSE(isHeld(input, 'W'));
    EXPECT_TRUE(isHeld(input, keyEscape));
    EXPECT_FALSE(buttonHeld(input, mouseButtonLeft));
}

TEST_F(ScriptedInput, MouseStartsCentredAndStaysWhereItWasMovedOrSet) {
    moveMouse(script, 2, 100, 200);
    scriptFrame(script, 4);
    platformUseScript(&script);
    InputState input = platformPoll();
    EXPECT_EQ(input.mouseX, 640);
    EXPECT_EQ(input.mouseY, 360);
    platformEndTick();
    input = platformPoll();
    EXPECT_EQ(input.mouseX, 100);
    EXPECT_EQ(input.mouseY, 200);
    platformSetMousePos(640, 360);
    platformEndTick();
    input = platformPoll();
    EXPECT_EQ(input.mouseX, 640);
    EXPECT_EQ(input.mouseY, 360);
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

// A run starts from the script's first frame and the session's first tick, whichever way its
// platform state is made fresh; the script, the session and the mapping stay chosen.
TEST_F(ScriptedInput, EveryRunStartsAtTheFirstFrameOfWhatWasChosen) {
    moveMouse(script, 1, 10, 20);
    moveMouse(script, 3, 100, 200);
    holdKey(script, 'W', 2, 3);
    void (*const afresh[])() = {platformRewind, platformTerminate};
    for (auto startAfresh : afresh) {
        platformUseScript(&script);
        platformEndTick();
        platformEndTick();
        ASSERT_EQ(platformScriptFrame(), 3);
        EXPECT_EQ(platformPoll().mouseX, 100);
        startAfresh();
        EXPECT_EQ(platformScriptFrame(), 1);
        const InputState input = platformPoll();
        EXPECT_EQ(input.mouseX, 10);
        EXPECT_EQ(input.mouseY, 20);
        EXPECT_FALSE(isHeld(input, 'W'));
    }

    Recording recording = {{1, valleyWindowWidth, valleyWindowHeight}, {}};
    for (int frame = 1; frame <= 3; ++frame) {
        recording.frames.push_back({{InputState{0, 0, frame, frame}}});
    }
    SessionInput session;
    session.replay = &recording;
    platformUseSession(&session);
    for (auto startAfresh : afresh) {
        platformEndTick();
        platformEndTick();
        EXPECT_EQ(platformPoll().mouseX, 3);
        startAfresh();
        EXPECT_TRUE(sessionReplaying());
        EXPECT_EQ(platformPoll().mouseX, 1);
    }
}
