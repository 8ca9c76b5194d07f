#include "app/frame_loop.h"

#include "app/kernel.h"
#include "app/player_control.h"
#include "app/scene.h"
#include "core/frame_stats.h"
#include "physics/physics_step.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <epoxy/gl.h>

void runMainLoop(SceneHandles& scene) {
    while (!kernel.stopRequested) {
        renderFrame();
        double start = engineClock();
        applyPlayerControl(scene);
        addEngineTime(start);
        finishFrameStats();
        if (isHeld(kernel.camera->input, keyEscape) || !platformWindowOpen()) {
            kernel.stopRequested = true;
        }
    }
}

void renderFrame() {
    Camera& camera = *kernel.camera;
    kernel.frameCount += 1;
    glClearColor(0.6784314f, 0.9372549f, 1.0f, 1.0f); // (173, 239, 255): the sky
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    float aspect = static_cast<float>(kernel.windowWidth) / static_cast<float>(kernel.windowHeight);
    perspective(camera.sceneList->projection, aspect, camera.fieldOfView);
    perspective(camera.waterList->projection, aspect, camera.fieldOfView);

    double start = engineClock();
    updateCamera(camera);
    if (!isHeld(camera.input, 'F')) {
        stepPhysics(*kernel.bodyList, *kernel.physicsWorld);
        integrateBodies(*kernel.bodyList);
    }
    addEngineTime(start);
    drawRenderList(*camera.sceneList);
    drawRenderList(*camera.waterList);
    platformSwapBuffers();
}
