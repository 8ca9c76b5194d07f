#include "app/player_control.h"

#include "app/kernel.h"
#include "app/scene.h"
#include "assets/mesh_data.h"
#include "game/controls.h"
#include "game/fall.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "platform/session_input.h"
#include "platform/window.h"
#include "render/camera.h"
#include "render/frustum.h"
#include "render/render_object.h"

#include <cmath>
#include <cstdio>

namespace valley {

PlayerState player = {false, false, false};

void resetPlayer() {
    player = {false, false, false};
}

namespace {

const float blockTurnStep = 1.2f;
const float blockLiftStep = 2.0f;
const float blockSpin = 0.3f;

void reportFrustum(const SceneHandles& scene) {
    const bool inView = frustumCheck(*scene.frustumTarget, *kernel.camera, kernel.frustumPlates);
    std::printf("Frustum check returned: %d\n", inView ? 1 : 0);
}

// Walking resumed with the eye below the ground (a flyer who went through it) stands the player
// on the ground at rest: the water rule would otherwise lift him by half the depth per tick.
void landBelowGround(Camera& camera) {
    Vec3& eye = camera.position;
    const float ground = groundHeightAt(*kernel.physicsWorld, eye.x, eye.z).height;
    if (eye.y < ground) {
        eye.y = ground + standingHeight;
        camera.velocity.y = 0.0f;
    }
}

void toggleFlying(Camera& camera) {
    if (!controlHeld(camera.input, Control::flyToggle)) {
        player.flyToggleHeld = false;
        return;
    }
    if (!player.flyToggleHeld) {
        player.flyMode = !player.flyMode;
        if (player.flyMode) {
            camera.velocity.y = 0.0f;
        } else {
            landBelowGround(camera);
        }
    }
    player.flyToggleHeld = true;
}

// Once per press: the window changes, the game does not. A replay keeps the window its command
// line chose.
void switchFullscreen(const Camera& camera) {
    const bool held = controlHeld(camera.input, Control::fullscreen);
    if (held && !player.fullscreenHeld && !sessionReplaying()) {
        platformSetFullscreen(!platformFullscreen());
    }
    player.fullscreenHeld = held;
}

// A rock leaves one step ahead of the camera, in the view direction, with the thrower's motion.
void throwRock(const SceneHandles& scene, Camera& camera) {
    Fall* fall = new Fall(rockContext());
    RenderObject* rock = createLogicObject(scene.rockMesh, camera, fall);
    if (rock == nullptr) {
        delete fall;
        return;
    }
    rock->position = camera.position;
    rock->scale = scale(rock->scale, 0.9f);

    bool fast = controlHeld(camera.input, Control::fastThrow);
    const float speed = fast ? 7.0f : 1.0f;
    Vec3 v = {speed, 0.0f, 0.0f};
    turnZ(v, turnOfRadians(camera.pitch * floatPiDegreesToRadians));
    turnY(v, turnOfRadians(camera.yaw * floatPiDegreesToRadians));

    float ahead = fast ? 0.15f : 1.0f;
    rock->position = add(rock->position, scale(v, ahead));
    if (controlHeld(camera.input, Control::pause)) {
        // One step ahead the eye lies inside the rock, which shows nothing of it, and a paused rock
        // stays put: thrown during the pause it waits in sight, past the near plane (1) by its width.
        const float radius = rock->mesh->extent.x * rock->scale.x;
        rock->position = add(camera.position, scale(v, (1.0f + 2.0f * radius) / speed));
    }
    v.x += camera.velocity.x;
    if (player.flyMode) {
        v.y += camera.velocity.y;
    }
    v.z += camera.velocity.z;
    fall->velocity = v;
    fall->body->place = rock->position;
    if (controlHeld(camera.input, Control::steeredThrow)) {
        fall->kind = rockKindSteered;
    }
}

void cameraModeKeys(Camera& camera) {
    if (controlHeld(camera.input, Control::freezeCamera)) {
        camera.mode = 0;
        camera.roll = 0.0f;
        camera.yaw = 0.0f;
        camera.pitch = 0.0f;
    }
    if (controlHeld(camera.input, Control::freeCamera)) {
        camera.mode = 2;
    }
}

// Walking: stand 6 units above the ground, jump, fall, slide down steep ground, swim.
void walk(Camera& camera) {
    Vec3& position = camera.position;
    PhysicsWorld& world = *kernel.physicsWorld;
    if (controlHeld(camera.input, Control::heightReport)) {
        std::printf("Terrain Height is: %g\n", groundHeightAt(world, position.x, position.z).height);
    }
    const GroundSample sample = groundHeightAt(world, position.x, position.z);
    float ground = sample.height;
    camera.moveSpeed = 0.14f;
    camera.damping = 0.99f;
    bool jump = controlHeld(camera.input, Control::jump);
    if (position.y > waterLine) {
        if (position.y < ground + standingHeight) {
            if (camera.velocity.y <= 0.0f) {
                position.y = ground + standingHeight;
            }
            if (jump) {
                camera.velocity.y = 3.4f;
            }
            camera.damping = 0.95f;
            const Vec3& n = sample.normal;
            if (std::sqrt(n.x * n.x + n.z * n.z) > 0.7f) {
                camera.velocity.x += n.x * 0.04f;
                camera.velocity.z += n.z * 0.04f;
            }
        }
        if (position.y > ground) {
            camera.velocity.y -= 0.072f;
        }
    } else {
        if (position.y < ground + standingHeight) {
            camera.velocity.y = (ground + standingHeight - position.y) * 0.5f;
            position.y = ground + standingHeight;
            if (jump) {
                camera.velocity.y = 0.8f;
            }
        }
        if (position.y > ground) {
            camera.velocity.y -= 0.003f;
        }
        camera.damping = 0.95f;
    }
}

// The selected block turns and lifts with its controls and spins slowly on its own.
// Its collider and normal matrix follow the block as it was before this tick's lift and spin.
void moveSelectedBlock(const SceneHandles& scene, const InputState& input) {
    RenderObject& block = *scene.selectedBlock;
    if (controlHeld(input, Control::blockTurnUp)) {
        block.rotation.z += blockTurnStep;
    }
    if (controlHeld(input, Control::blockTurnDown)) {
        block.rotation.z -= blockTurnStep;
    }
    if (controlHeld(input, Control::blockTurnLeft)) {
        block.rotation.x += blockTurnStep;
    }
    if (controlHeld(input, Control::blockTurnRight)) {
        block.rotation.x -= blockTurnStep;
    }
    scene.selectedCollider->position = block.position;
    scene.selectedCollider->rotation = block.rotation;
    rotationMat4(*scene.selectedNormalMatrix, block.rotation);
    if (controlHeld(input, Control::blockLift)) {
        block.position.y += blockLiftStep;
    }
    if (controlHeld(input, Control::blockLower)) {
        block.position.y -= blockLiftStep;
    }
    block.rotation.y += blockSpin;
}

} // namespace

void applyPlayerControl(SceneHandles& scene) {
    Camera& camera = *kernel.camera;
    if (controlHeld(camera.input, Control::frustumReport)) {
        reportFrustum(scene);
    }
    toggleFlying(camera);
    if (controlHeld(camera.input, Control::throwRock)) {
        throwRock(scene, camera);
    }
    cameraModeKeys(camera);
    if (player.flyMode) {
        camera.moveSpeed = 0.35f;
        camera.damping = 0.92f;
    } else {
        walk(camera);
    }
    moveSelectedBlock(scene, camera.input);
    switchFullscreen(camera);
}

} // namespace valley
