#include "tests/support/kernel_sandbox.h"

#include "app/startup.h"
#include "game/fall.h"

#include <memory>
#include <vector>

using namespace valley;

namespace {

// What a sandbox's kernel reached, copied out of the sandbox or pointed at where a run made it.
struct Reached {
    RenderList sceneList;
    RenderList waterList;
    ObjectList bodies;
    PhysicsWorld world;
    ResourceCache resources;
    Kernel kernel;
    RenderList* cameraSceneList;
    RenderList* cameraWaterList;
};

// Never destroyed: static destructors run before the leak check.
std::vector<Reached>& kept() {
    static std::vector<Reached>* reached = new std::vector<Reached>;
    return *reached;
}

} // namespace

KernelSandbox::KernelSandbox()
    : savedKernel(kernel), savedCamera(*kernel.camera), savedPlayer(player),
      savedFrameStats(frameStats) {
    resetRunState();
    kernel.windowWidth = savedKernel.windowWidth;
    kernel.windowHeight = savedKernel.windowHeight;
    kernel.desktopMode = savedKernel.desktopMode;
    sceneList.camera = kernel.camera;
    waterList.camera = kernel.camera;
    kernel.camera->sceneList = &sceneList;
    kernel.camera->waterList = &waterList;
    kernel.bodyList = &bodies;
    kernel.physicsWorld = &world;
    kernel.resources = &resources;
}

KernelSandbox::~KernelSandbox() {
    keepWhatTheKernelReaches();
    *kernel.camera = savedCamera;
    kernel = savedKernel;
    player = savedPlayer;
    frameStats = savedFrameStats;
}

void KernelSandbox::useMaterial(ShaderProgram* material) {
    sceneList.material = material;
    waterList.material = material;
}

void KernelSandbox::keepWhatTheKernelReaches() {
    kept().push_back(Reached{sceneList, waterList, bodies, world, resources, kernel, kernel.camera->sceneList,
                             kernel.camera->waterList});
}
