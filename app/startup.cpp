#include "app/startup.h"

#include "app/frame_loop.h"
#include "app/run.h"
#include "app/scene.h"
#include "assets/resource_cache.h"
#include "core/object_list.h"
#include "core/report.h"
#include "physics/physics_world.h"
#include "platform/gl.h"
#include "platform/window.h"
#include "render/camera.h"
#include "render/render_object.h"
#include "render/shader_program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace valley {

void createContainers(RunState& run) {
    Kernel& kernel = run.kernel;
    kernel.camera = &initCamera(run.camera);
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

bool openWindow(const Kernel& kernel) {
    if (Problem problem = platformOpenWindow(kernel.windowWidth, kernel.windowHeight, 8, 8, 8, 8, 24, 8)) {
        report(problem, Failure::window);
        platformCloseWindow();
        return false;
    }
    platformSetWindowTitle("");
    return true;
}

void followWindowSize(Kernel& kernel) {
    int width = 0;
    int height = 0;
    platformFramebufferSize(width, height);
    if (width <= 0 || height <= 0 || (width == kernel.windowWidth && height == kernel.windowHeight)) {
        return;
    }
    kernel.windowWidth = width;
    kernel.windowHeight = height;
    glViewport(0, 0, width, height);
}

std::vector<std::string> windowIconFiles() {
    for (const char* theme : {"icons/hicolor", "../icons/hicolor"}) {
        std::vector<std::string> files;
        for (int size : {16, 32, 48, 64, 128, 256}) {
            const std::string side = std::to_string(size);
            files.push_back(std::string(theme) + "/" + side + "x" + side + "/apps/valley.png");
        }
        if (std::any_of(files.begin(), files.end(),
                        [](const std::string& file) { return std::filesystem::exists(file); })) {
            return files;
        }
    }
    return {};
}

bool initKernel(RunState& run, uint32_t seed, const WindowChoice& window) {
    Kernel& kernel = run.kernel;
    // A failure is said once, on standard error with the window system's reason; nothing after it
    // claims that anything was loaded, since without a window there is no OpenGL context.
    if (Problem problem = platformInit()) {
        report(problem, Failure::windowSystem);
        return false;
    }
    std::printf("OpenGL Environment Loaded!\n");
    kernel.windowWidth = window.width;
    kernel.windowHeight = window.height;
    if (!openWindow(kernel)) {
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
    if (Problem problem = platformSetWindowIcon(windowIconFiles())) {
        report(problem, Failure::windowIcon);
    }
    platformSetFullscreen(window.fullscreen);
    platformCaptureCursor();
    // The first frame must not turn the view: remember where the captured mouse is now.
    run.input = platformPoll();

    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ShaderProgram* phong = makePhongMaterial(*kernel.resources); // every new render object starts with it
    kernel.camera->sceneList->material = phong;
    kernel.camera->waterList->material = phong;
    std::printf("Shaders loaded\n");

    glClearColor(0.6039216f, 0.8235294f, 0.8784314f, 1.0f); // (154, 210, 224)
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, kernel.windowWidth, kernel.windowHeight);
    followWindowSize(kernel);
    platformSwapInterval(1);
    kernel.frameCount = 0;
    seedRandom(kernel.random, seed);
    std::printf("Kernel Initiated!\n");
    std::fflush(stdout);
    return true;
}

int runValley(RunState& run, const RunSetup& setup) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // console lines reach a pipe as they are written
    platformRewind();
    createContainers(run);
    if (!initKernel(run, setup.seeded ? setup.seed : static_cast<uint32_t>(std::time(nullptr)),
                    setup.window)) {
        std::fflush(stdout);
        platformTerminate();
        return setup.afterRun ? setup.afterRun(1) : 1;
    }
    run.kernel.stopRequested = false;
    run.scene = buildScene(run);
    run.loop = startLoop();
    return platformRunLoop([&run] { return loopStep(run); },
                           [&run, setup] {
                               if (setup.afterLoop) {
                                   setup.afterLoop(run);
                               }
                               platformTerminate();
                               return setup.afterRun ? setup.afterRun(0) : 0;
                           });
}

} // namespace valley
