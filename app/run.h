// The run object: everything one run of the program changes, in one visible place. A run starts
// from a fresh one (RunState{}) and runValley (app/startup.h) fills it; the layers below are handed
// the parts they work on (the tick's records, game/tick.h; the camera; the frame statistics).
//
// The program has one (`theRun`), in static storage: in the browser the frame loop runs on after
// main has returned. Tests make runs of their own.
#pragma once

#include "app/frame_loop.h"
#include "app/kernel.h"
#include "app/scene.h"
#include "app/session.h"
#include "core/frame_stats.h"
#include "game/player_control.h"
#include "game/tick.h"
#include "platform/input.h"
#include "render/camera.h"

namespace valley {

struct RunState {
    Kernel kernel;         // the program-wide record; its camera is `camera`
    Camera camera;         // the one camera
    InputState input;      // this tick's poll, read by every later step of the tick
    InputState lastInput;  // the last tick's
    PlayerState player;    // walking, no switch held, the look at rest
    SceneValues values;    // matrices and blend values the scene's objects read
    SceneHandles scene;    // what the scene handed the loop
    LoopState loop;        // where the frame loop stands
    FrameStats frameStats; // the engine's own time per tick, when measured
    CommandRun command;    // what the command line asked for a recorded, replayed or timed run
};

extern RunState theRun;

// What the behaviours work on in the running tick, made of the run's records.
Tick tickOf(RunState& run);

} // namespace valley
