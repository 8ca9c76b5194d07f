// The program-wide state of a run, sandboxed for the length of one test: the kernel with its
// camera and live rock count, the player and the frame statistics are saved, then set as a run
// starts them (resetRunState, app/startup.h), with the kernel pointing at fresh, empty
// containers of the sandbox's own: two render lists on the camera, a body list, a physics world
// and a resource cache. The window size stays the test program's window's.
// Everything saved comes back afterwards, so no test sees what another left, and the kernel
// never keeps a pointer at a record the test has destroyed.
//
// The engine keeps its records for the whole run, reachable from the kernel. What the kernel
// reaches when a sandbox ends (its own containers, or those a whole engine run made) is kept
// reachable the same way, so a leak check at exit reports only records that were really lost.
#pragma once

#include "app/kernel.h"
#include "game/player_control.h"
#include "assets/resource_cache.h"
#include "core/frame_stats.h"
#include "core/object_list.h"
#include "physics/physics_world.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <cstdint>

using namespace valley;

class KernelSandbox {
  public:
    KernelSandbox();
    ~KernelSandbox();
    KernelSandbox(const KernelSandbox&) = delete;
    KernelSandbox& operator=(const KernelSandbox&) = delete;

    // Keeps what the kernel reaches now reachable for good: before a second engine run in one
    // sandbox, which starts from a kernel of its own.
    void keepWhatTheKernelReaches();
    // The program every object made into the sandbox's two lists starts with, as start-up sets it.
    void useMaterial(ShaderProgram* material);

    RenderList sceneList = {};
    RenderList waterList = {};
    ObjectList bodies = {};
    PhysicsWorld world = {};
    ResourceCache resources = {};

  private:
    Kernel savedKernel;
    Camera savedCamera;
    PlayerState savedPlayer;
    FrameStats savedFrameStats;
};
