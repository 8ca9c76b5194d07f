// The frame loop: one iteration renders a frame, applies the player's controls and tests for
// the end. There is no clock: one iteration is one simulation tick.
#pragma once

struct SceneHandles;

void runMainLoop(SceneHandles& scene);
void renderFrame();
