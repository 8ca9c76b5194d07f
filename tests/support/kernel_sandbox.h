// Fresh, empty engine containers behind the global kernel for the length of one test: a camera
// with its defaults and two render lists, a body list, a physics world and a resource cache.
// The kernel's own containers come back afterwards.
//
// The engine keeps its records for the whole run, reachable from the kernel. What a test leaves
// in a sandbox is kept reachable the same way once the sandbox goes, so a leak check at exit
// reports only records that were really lost.
#pragma once

#include "app/kernel.h"
#include "assets/resource_cache.h"
#include "core/object_list.h"
#include "physics/physics_world.h"
#include "render/camera.h"
#include "render/render_object.h"

#include <vector>

struct KernelSandbox {
    KernelSandbox() : saved(kernel), savedCamera(*kernel.camera) {
        initCamera(*kernel.camera);
        sceneList.camera = kernel.camera;
        waterList.camera = kernel.camera;
        kernel.camera->sceneList = &sceneList;
        kernel.camera->waterList = &waterList;
        kernel.bodyList = &bodies;
        kernel.physicsWorld = &world;
        kernel.resources = &resources;
    }
    ~KernelSandbox() {
        *kernel.camera = savedCamera;
        kernel = saved;
        kept().push_back(Containers{sceneList, waterList, bodies, world, resources});
    }

    Kernel saved;
    Camera savedCamera;
    RenderList sceneList = {};
    RenderList waterList = {};
    ObjectList bodies = {};
    PhysicsWorld world = {};
    ResourceCache resources = {};

private:
    struct Containers {
        RenderList sceneList;
        RenderList waterList;
        ObjectList bodies;
        PhysicsWorld world;
        ResourceCache resources;
    };
    // Never destroyed: static destructors run before the leak check.
    static std::vector<Containers>& kept() {
        static std::vector<Containers>* containers = new std::vector<Containers>;
        return *containers;
    }
};
