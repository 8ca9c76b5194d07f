#include "app/kernel.h"

#include "game/fall.h"
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

void resetKernel() {
    kernel = makeKernel();
}

FallContext rockContext() {
    return {kernel.physicsWorld, kernel.bodyList, kernel.resources, kernel.camera, kernel.rockTexture,
            &kernel.liveRockCount, &kernel.random};
}

} // namespace valley
