// The frame loop: fixed ticks of 1/60 s (platform/tick_schedule.h), each drawn when the machine
// keeps up. Every amount of motion in the engine is per tick.
//
// A tick whose picture a capture saves is drawn whatever the schedule says.
//
// One tick: poll the input and move the camera, step the physics (unless the pause control of
// game/controls.h, F, is held), run every behaviour, then (when drawn) draw and present the world
// as it stands, then apply the player's controls and test for the end. The picture shows the
// world the player reacts to: the controls act after it, as they always have, so a replay draws
// the same pictures whichever ticks it draws.
#pragma once

#include "app/overlay.h"
#include "platform/tick_schedule.h"

namespace valley {

struct RunState;

// Where the loop stands between two steps.
struct LoopState {
    bool paced;            // ticks follow the clock (platformTicksPaced)
    TickSchedule schedule; // when paced
    Overlay overlay;       // what the overlay shows, off at the start
};

LoopState startLoop();
// One step: the ticks that are due, up to and including the next drawn one (every tick is
// drawn when unpaced). On the desktop a step waits for its first tick; in the browser, which
// calls one step per animation frame and cannot wait, a step with no tick due does nothing, and
// while the game is paused (platformPlaying) no tick runs. False once the run is to end.
bool loopStep(RunState& run);
void runMainLoop(RunState& run); // steps until the end
void simulateTick(
    RunState& run); // counts the tick, polls once, moves the camera, steps the physics, runs the behaviours
void drawFrame(RunState& run); // clears, draws both lists and the overlay, and presents

} // namespace valley
