#include "game/player_control.h"

#include "assets/mesh_data.h"
#include "game/controls.h"
#include "game/fall.h"
#include "game/tick.h"
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

namespace {

const float blockTurnStep = 1.2f;
const float blockLiftStep = 2.0f;
const float blockSpin = 0.3f;

void reportFrustum(const SceneHandles& scene, const Camera& camera, RenderObject* const (&plates)[4]) {
    const bool inView = frustumCheck(*scene.frustumTarget, camera, plates);
    std::printf("Frustum check returned: %d\n", inView ? 1 : 0);
}

// Walking resumed with the eye below the ground (a flyer who went through it) stands the player
// on the ground at rest: the water rule would otherwise lift him by half the depth per tick.
void landBelowGround(Camera& camera, PhysicsWorld& world) {
    Vec3& eye = camera.position;
    const float ground = groundHeightAt(world, eye.x, eye.z).height;
    if (eye.y < ground) {
        eye.y = ground + standingHeight;
        camera.velocity.y = 0.0f;
    }
}

void toggleFlying(PlayerState& player, Camera& camera, const Tick& tick) {
    if (!controlHeld(tick.input, Control::flyToggle)) {
        player.flyToggleHeld = false;
        return;
    }
    if (!player.flyToggleHeld) {
        player.flyMode = !player.flyMode;
        if (player.flyMode) {
            camera.velocity.y = 0.0f;
        } else {
            landBelowGround(camera, tick.world);
        }
    }
    player.flyToggleHeld = true;
}

// Once per press: the window changes, the game does not. A replay keeps the window its command
// line chose.
void switchFullscreen(PlayerState& player, const InputState& input) {
    const bool held = controlHeld(input, Control::fullscreen);
    if (held && !player.fullscreenHeld && !sessionReplaying()) {
        platformSetFullscreen(!platformFullscreen());
    }
    player.fullscreenHeld = held;
}

// A rock leaves one step ahead of the camera, in the view direction, with the thrower's motion.
void throwRock(const PlayerState& player, const SceneHandles& scene, Camera& camera, const Tick& tick) {
    Fall* fall = new Fall;
    RenderObject* rock = createLogicObject(scene.rockMesh, camera, fall, tick);
    if (rock == nullptr) {
        delete fall;
        return;
    }
    rock->position = camera.position;
    rock->scale = scale(rock->scale, 0.9f);

    bool fast = controlHeld(tick.input, Control::fastThrow);
    const float speed = fast ? 7.0f : 1.0f;
    Vec3 v = {speed, 0.0f, 0.0f};
    turnZ(v, turnOfRadians(camera.pitch * floatPiDegreesToRadians));
    turnY(v, turnOfRadians(camera.yaw * floatPiDegreesToRadians));

    float ahead = fast ? 0.15f : 1.0f;
    rock->position = add(rock->position, scale(v, ahead));
    if (controlHeld(tick.input, Control::pause)) {
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
    if (controlHeld(tick.input, Control::steeredThrow)) {
        fall->kind = rockKindSteered;
    }
}

void cameraModeKeys(Camera& camera, const InputState& input) {
    if (controlHeld(input, Control::freezeCamera)) {
        camera.mode = 0;
        camera.roll = 0.0f;
        camera.yaw = 0.0f;
        camera.pitch = 0.0f;
    }
    if (controlHeld(input, Control::freeCamera)) {
        camera.mode = 2;
    }
}

// Walking: stand 6 units above the ground, jump, fall, slide down steep ground, swim.
void walk(Camera& camera, const Tick& tick) {
    Vec3& position = camera.position;
    PhysicsWorld& world = tick.world;
    if (controlHeld(tick.input, Control::heightReport)) {
        std::printf("Terrain Height is: %g\n", groundHeightAt(world, position.x, position.z).height);
    }
    const GroundSample sample = groundHeightAt(world, position.x, position.z);
    float ground = sample.height;
    camera.moveSpeed = 0.14f;
    camera.damping = 0.99f;
    bool jump = controlHeld(tick.input, Control::jump);
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

void applyPlayerControl(PlayerState& player, Camera& camera, const Tick& tick, const SceneHandles& scene,
                        RenderObject* const (&frustumPlates)[4]) {
    const InputState& input = tick.input;
    if (controlHeld(input, Control::frustumReport)) {
        reportFrustum(scene, camera, frustumPlates);
    }
    toggleFlying(player, camera, tick);
    if (controlHeld(input, Control::throwRock)) {
        throwRock(player, scene, camera, tick);
    }
    cameraModeKeys(camera, input);
    if (player.flyMode) {
        camera.moveSpeed = 0.35f;
        camera.damping = 0.92f;
    } else {
        walk(camera, tick);
    }
    moveSelectedBlock(scene, input);
    switchFullscreen(player, input);
}

} // namespace valley
