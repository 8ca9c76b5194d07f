#include "app/startup.h"

#include "app/frame_loop.h"
#include "app/kernel.h"
#include "app/player_control.h"
#include "app/scene.h"
#include "assets/resource_cache.h"
#include "core/frame_stats.h"
#include "core/object_list.h"
#include "game/fall.h"
#include "physics/broad_phase.h"
#include "physics/physics_world.h"
#include "platform/gl.h"
#include "platform/window.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "render/shader_program.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace valley {

void resetRunState() {
    resetKernel();
    resetPlayer();
    releaseBroadPhase();
    resetFrameStats();
    platformRewind();
}

void createContainers() {
    kernel.bodyList = new ObjectList{};
    kernel.resources = new ResourceCache{};
    kernel.physicsWorld = new PhysicsWorld{};
    RenderList* sceneList = new RenderList{};
    RenderList* waterList = new RenderList{};
    sceneList->camera = kernel.camera;
    waterList->camera = kernel.camera;
    kernel.camera->sceneList = sceneList;
    kernel.camera->waterList = waterList;
}

bool centredWindowPosition(const VideoMode& desktop, int width, int height, int& x, int& y) {
    x = static_cast<int>(desktop.width * 0.5 - width * 0.5);
    y = static_cast<int>(desktop.height * 0.5 - height * 0.5);
    return x > 0 && y > 0;
}

bool openWindow() {
    if (!platformOpenWindow(kernel.windowWidth, kernel.windowHeight, 8, 8, 8, 8, 24, 8)) {
        std::printf("Failed to open GLFW window.\n");
        platformCloseWindow();
        return false;
    }
    platformSetWindowTitle("");
    return true;
}

bool initKernel(uint32_t seed) {
    if (!platformInit()) {
        std::printf("Failed to initialize GLFW.\n");
    }
    std::printf("OpenGL Environment Loaded!\n");
    kernel.windowWidth = valleyWindowWidth;
    kernel.windowHeight = valleyWindowHeight;
    // Without a window there is no OpenGL context: nothing below may run.
    if (!openWindow()) {
        return false;
    }
    platformSetWindowTitle("This is a test, this is only a test.");
    glEnable(GL_DEPTH_TEST);

    kernel.desktopMode = platformDesktopMode();
    int x = 0;
    int y = 0;
    if (centredWindowPosition(kernel.desktopMode, kernel.windowWidth, kernel.windowHeight, x, y)) {
        platformSetWindowPos(x, y);
    }
    platformCaptureCursor();
    // The first frame must not turn the view: remember where the captured mouse is now.
    kernel.camera->input = platformPoll();

    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ShaderProgram* phong = makePhongMaterial(); // every new render object starts with it
    kernel.camera->sceneList->material = phong;
    kernel.camera->waterList->material = phong;
    std::printf("Shaders loaded\n");

    glClearColor(0.6039216f, 0.8235294f, 0.8784314f, 1.0f); // (154, 210, 224)
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, kernel.windowWidth, kernel.windowHeight);
    platformSwapInterval(1);
    kernel.frameCount = 0;
    seedRandom(kernel.random, seed);
    std::printf("Kernel Initiated!\n");
    std::fflush(stdout);
    return true;
}

int runValley(const RunSetup& setup) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // console lines reach a pipe as they are written
    resetRunState();
    createContainers();
    if (!initKernel(setup.seeded ? setup.seed : static_cast<uint32_t>(std::time(nullptr)))) {
        std::fflush(stdout);
        platformTerminate();
        return setup.afterRun ? setup.afterRun(1) : 1;
    }
    kernel.stopRequested = false;
    // Kept beyond this call: in the browser the loop runs after main has returned.
    static SceneHandles scene;
    static LoopState loop;
    scene = buildScene();
    loop = startLoop(scene);
    return platformRunLoop([] { return loopStep(loop); },
                           [setup] {
                               if (setup.afterLoop) {
                                   setup.afterLoop(scene);
                               }
                               platformTerminate();
                               return setup.afterRun ? setup.afterRun(0) : 0;
                           });
}

} // namespace valley
