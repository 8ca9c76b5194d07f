#include "app/frame_loop.h"

#include "app/overlay.h"
#include "app/run.h"
#include "app/startup.h"
#include "core/frame_stats.h"
#include "game/behaviour_pass.h"
#include "game/camera_control.h"
#include "game/controls.h"
#include "game/player_control.h"
#include "game/tick.h"
#include "physics/physics_step.h"
#include "platform/gl.h"
#include "platform/tick_schedule.h"
#include "platform/window.h"
#include "render/camera.h"
#include "render/render_object.h"

namespace valley {

namespace {

// The player's controls and the end test close the tick.
void finishTick(RunState& run) {
    Kernel& kernel = run.kernel;
    double start = engineClock(run.frameStats);
    applyPlayerControl(run.player, *kernel.camera, tickOf(run), run.scene, kernel.frustumPlates);
    addEngineTime(run.frameStats, start);
    finishFrameStats(run.frameStats);
    platformEndTick();
    if (controlHeld(run.input, Control::quit) || !platformWindowOpen()) {
        kernel.stopRequested = true;
    }
}

} // namespace

LoopState startLoop() { return LoopState{platformTicksPaced(), {}, {}}; }

bool loopStep(RunState& run) {
    LoopState& loop = run.loop;
    if (loop.paced && !platformPlaying()) {
        // The first tick after the pause runs at once and starts the schedule again.
        loop.schedule = TickSchedule{false, 0.0, 0, loop.schedule.givenUp};
        return true;
    }
    bool drawn = false;
    while (!drawn && !run.kernel.stopRequested) {
        if (loop.paced) {
            const double delay = tickDelay(loop.schedule, platformClock());
            if (delay > 0.0 && !platformWait(delay)) {
                return true; // not due yet, and this platform cannot wait: asked again later
            }
            tickWait(loop.schedule, platformClock());
        }
        simulateTick(run);
        updateOverlay(loop.overlay, run.input);
        const bool due = !loop.paced || drawTick(loop.schedule, platformClock());
        drawn = due || platformTickCaptured();
        if (drawn) {
            drawFrame(run);
        }
        countTick(loop.overlay.rates, platformClock(), drawn);
        finishTick(run);
    }
    return !run.kernel.stopRequested;
}

void runMainLoop(RunState& run) {
    run.loop = startLoop();
    while (loopStep(run)) {
    }
}

void simulateTick(RunState& run) {
    Kernel& kernel = run.kernel;
    Camera& camera = *kernel.camera;
    kernel.frameCount += 1;
    followWindowSize(kernel);
    float aspect = static_cast<float>(kernel.windowWidth) / static_cast<float>(kernel.windowHeight);
    perspective(camera.sceneList->projection, aspect, camera.fieldOfView);
    perspective(camera.waterList->projection, aspect, camera.fieldOfView);

    double start = engineClock(run.frameStats);
    run.lastInput = run.input;
    run.input = platformPoll();
    updateCamera(camera, run.player.look, run.input, run.lastInput);
    if (!controlHeld(run.input, Control::pause)) {
        stepPhysics(*kernel.bodyList, *kernel.physicsWorld);
        integrateBodies(*kernel.bodyList);
    }
    updateAllBehaviours(tickOf(run));
    addEngineTime(run.frameStats, start);
}

void drawFrame(RunState& run) {
    Camera& camera = *run.kernel.camera;
    glClearColor(0.6784314f, 0.9372549f, 1.0f, 1.0f); // (173, 239, 255): the sky
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawRenderList(*camera.sceneList);
    drawRenderList(*camera.waterList);
    drawOverlay(run.loop.overlay, run);
    platformSwapBuffers();
}

} // namespace valley
