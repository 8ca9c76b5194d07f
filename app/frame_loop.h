// The frame loop: fixed ticks of 1/60 s (platform/tick_schedule.h), each drawn when the machine
// keeps up. Every amount of motion in the engine is per tick.
//
// A tick whose picture a capture saves is drawn whatever the schedule says.
//
// One tick: poll the input and move the camera, step the physics (unless F is held), run every
// behaviour, then (when drawn) draw and present the world as it stands, then apply the player's
// controls and test for the end. The picture shows the world the player reacts to: the controls
// act after it, as they always have, so a replay draws the same pictures whichever ticks it draws.
#pragma once

namespace valley {

struct Overlay;
struct SceneHandles;

void runMainLoop(SceneHandles& scene);
void simulateTick();              // counts the tick, polls, moves the camera, steps the physics, runs the behaviours
void drawFrame(Overlay& overlay); // clears, draws both lists and the overlay, and presents

} // namespace valley
