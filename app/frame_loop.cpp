#include "app/frame_loop.h"

#include "app/kernel.h"
#include "app/overlay.h"
#include "app/scene.h"
#include "app/startup.h"
#include "core/frame_stats.h"
#include "game/behaviour_pass.h"
#include "game/camera_control.h"
#include "game/controls.h"
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
void finishTick(SceneHandles& scene) {
    double start = engineClock();
    applyPlayerControl(player, *kernel.camera, kernelTick(), scene, kernel.frustumPlates);
    addEngineTime(start);
    finishFrameStats();
    platformEndTick();
    if (controlHeld(kernel.input, Control::quit) || !platformWindowOpen()) {
        kernel.stopRequested = true;
    }
}

} // namespace

LoopState startLoop(SceneHandles& scene) { return LoopState{&scene, platformTicksPaced(), {}, {}}; }

bool loopStep(LoopState& loop) {
    if (loop.paced && !platformPlaying()) {
        loop.schedule = {}; // the first tick after the pause runs at once and starts the schedule again
        return true;
    }
    bool drawn = false;
    while (!drawn && !kernel.stopRequested) {
        if (loop.paced) {
            const double delay = tickDelay(loop.schedule, platformClock());
            if (delay > 0.0 && !platformWait(delay)) {
                return true; // not due yet, and this platform cannot wait: asked again later
            }
            tickWait(loop.schedule, platformClock());
        }
        simulateTick();
        updateOverlay(loop.overlay, kernel.input);
        const bool due = !loop.paced || drawTick(loop.schedule, platformClock());
        drawn = due || platformTickCaptured();
        if (drawn) {
            drawFrame(loop.overlay);
        }
        countTick(loop.overlay.rates, platformClock(), drawn);
        finishTick(*loop.scene);
    }
    return !kernel.stopRequested;
}

void runMainLoop(SceneHandles& scene) {
    LoopState loop = startLoop(scene);
    while (loopStep(loop)) {
    }
}

void simulateTick() {
    Camera& camera = *kernel.camera;
    kernel.frameCount += 1;
    followWindowSize();
    float aspect = static_cast<float>(kernel.windowWidth) / static_cast<float>(kernel.windowHeight);
    perspective(camera.sceneList->projection, aspect, camera.fieldOfView);
    perspective(camera.waterList->projection, aspect, camera.fieldOfView);

    double start = engineClock();
    kernel.lastInput = kernel.input;
    kernel.input = platformPoll();
    updateCamera(camera, player.look, kernel.input, kernel.lastInput);
    if (!controlHeld(kernel.input, Control::pause)) {
        stepPhysics(*kernel.bodyList, *kernel.physicsWorld);
        integrateBodies(*kernel.bodyList);
    }
    addEngineTime(start);
    updateAllBehaviours(kernelTick());
}

void drawFrame(Overlay& overlay) {
    Camera& camera = *kernel.camera;
    glClearColor(0.6784314f, 0.9372549f, 1.0f, 1.0f); // (173, 239, 255): the sky
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawRenderList(*camera.sceneList);
    drawRenderList(*camera.waterList);
    drawOverlay(overlay);
    platformSwapBuffers();
}

} // namespace valley
