#include "app/run.h"

namespace valley {

RunState theRun;

Tick tickOf(RunState& run) {
    Kernel& kernel = run.kernel;
    Camera& camera = *kernel.camera;
    return Tick{run.input,          run.lastInput,        *kernel.physicsWorld, *kernel.bodyList,
                *kernel.resources,  *camera.sceneList,    *camera.waterList,    camera,
                kernel.rockTexture, kernel.liveRockCount, kernel.random,        rockWaterLevel};
}

} // namespace valley
