#include "app/kernel.h"

#include "app/scene.h"
#include "game/tick.h"
#include "render/camera.h"

namespace valley {

namespace {

Camera theCamera;

Kernel makeKernel() {
    Kernel k = {};
    k.camera = &initCamera(theCamera);
    return k;
}

} // namespace

Kernel kernel = makeKernel();
PlayerState player;

void resetKernel() {
    kernel = makeKernel();
    player = PlayerState{};
}

Tick kernelTick() {
    Camera& camera = *kernel.camera;
    return Tick{kernel.input,          kernel.lastInput,      *kernel.physicsWorld, *kernel.bodyList,
                *kernel.resources,     *camera.sceneList,     *camera.waterList,    camera,
                kernel.rockTexture,    kernel.liveRockCount,  kernel.random,        rockWaterLevel};
}

} // namespace valley
