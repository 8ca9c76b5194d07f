#include "app/frame_loop.h"

#include "app/kernel.h"
#include "app/overlay.h"
#include "app/player_control.h"
#include "app/scene.h"
#include "app/startup.h"
#include "core/frame_stats.h"
#include "game/behaviour_pass.h"
#include "game/controls.h"
#include "physics/physics_step.h"
#include "platform/tick_schedule.h"
#include "platform/window.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <epoxy/gl.h>

namespace valley {

namespace {

// The player's controls and the end test close the tick.
void finishTick(SceneHandles& scene) {
    double start = engineClock();
    applyPlayerControl(scene);
    addEngineTime(start);
    finishFrameStats();
    platformEndTick();
    if (controlHeld(kernel.camera->input, Control::quit) || !platformWindowOpen()) {
        kernel.stopRequested = true;
    }
}

} // namespace

void runMainLoop(SceneHandles& scene) {
    const bool paced = platformTicksPaced();
    TickSchedule schedule = {};
    Overlay overlay = {};
    while (!kernel.stopRequested) {
        if (paced) {
            platformWait(tickWait(schedule, platformClock()));
        }
        simulateTick();
        updateOverlay(overlay, kernel.camera->input);
        const bool due = !paced || drawTick(schedule, platformClock());
        const bool drawn = due || platformTickCaptured();
        if (drawn) {
            drawFrame(overlay);
        }
        countTick(overlay.rates, platformClock(), drawn);
        finishTick(scene);
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
    updateCamera(camera, moveControlsHeld);
    if (!controlHeld(camera.input, Control::pause)) {
        stepPhysics(*kernel.bodyList, *kernel.physicsWorld);
        integrateBodies(*kernel.bodyList);
    }
    addEngineTime(start);
    updateAllBehaviours(camera);
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
