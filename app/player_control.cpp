#include "app/player_control.h"

#include "app/kernel.h"
#include "app/scene.h"
#include "game/fall.h"
#include "physics/height_grid.h"
#include "physics/physics_world.h"
#include "platform/keys.h"
#include "render/camera.h"
#include "render/frustum.h"
#include "render/render_object.h"

#include <cmath>
#include <cstdio>

PlayerState player = {false, false};

void resetPlayer() {
    player = {false, false};
}

namespace {

const float blockTurnStep = 1.2f;
const float blockLiftStep = 2.0f;
const float blockSpin = 0.3f;

void reportFrustum(const SceneHandles& scene) {
    const bool inView = frustumCheck(*scene.frustumTarget, *kernel.camera, kernel.frustumPlates);
    std::printf("Frustum check returned: %d\n", inView ? 1 : 0);
}

void toggleFlying(Camera& camera) {
    if (!isHeld(camera.input, 'Q')) {
        player.flyToggleHeld = false;
        return;
    }
    if (!player.flyToggleHeld) {
        player.flyMode = !player.flyMode;
        if (player.flyMode) {
            camera.velocity.y = 0.0f;
        }
    }
    player.flyToggleHeld = true;
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

    bool fast = isHeld(camera.input, 'G');
    Vec3 v = {fast ? 7.0f : 1.0f, 0.0f, 0.0f};
    turnZ(v, turnOfRadians(camera.pitch * floatPiDegreesToRadians));
    turnY(v, turnOfRadians(camera.yaw * floatPiDegreesToRadians));

    float ahead = fast ? 0.15f : 1.0f;
    rock->position = add(rock->position, scale(v, ahead));
    v.x += camera.velocity.x;
    if (player.flyMode) {
        v.y += camera.velocity.y;
    }
    v.z += camera.velocity.z;
    fall->velocity = v;
    if (camera.input.rightButton) {
        fall->kind = rockKindSteered;
    }
}

void cameraModeKeys(Camera& camera) {
    if (isHeld(camera.input, '0')) {
        camera.mode = 0;
        camera.roll = 0.0f;
        camera.yaw = 0.0f;
        camera.pitch = 0.0f;
    }
    if (isHeld(camera.input, '1')) {
        camera.mode = 2;
    }
}

// Walking: stand 6 units above the ground, jump, fall, slide down steep ground, swim.
void walk(Camera& camera) {
    Vec3& position = camera.position;
    PhysicsWorld& world = *kernel.physicsWorld;
    if (isHeld(camera.input, 'H')) {
        std::printf("Terrain Height is: %g\n", groundHeightAt(world, position.x, position.y, position.z));
    }
    float ground = groundHeightAt(world, position.x, position.y, position.z);
    camera.moveSpeed = 0.14f;
    camera.damping = 0.99f;
    bool jump = isHeld(camera.input, keySpace);
    if (position.y > waterLine) {
        if (position.y < ground + standingHeight) {
            if (camera.velocity.y <= 0.0f) {
                position.y = ground + standingHeight;
            }
            if (jump) {
                camera.velocity.y = 3.4f;
            }
            camera.damping = 0.95f;
            const Vec3& n = world.groundNormal;
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

// The selected block turns with I, K, J, L, lifts with V and B and spins slowly on its own.
// Its collider and normal matrix follow the block as it was before this frame's lift and spin.
void moveSelectedBlock(const SceneHandles& scene, const InputState& input) {
    RenderObject& block = *scene.selectedBlock;
    if (isHeld(input, 'I')) {
        block.rotation.z += blockTurnStep;
    }
    if (isHeld(input, 'K')) {
        block.rotation.z -= blockTurnStep;
    }
    if (isHeld(input, 'J')) {
        block.rotation.x += blockTurnStep;
    }
    if (isHeld(input, 'L')) {
        block.rotation.x -= blockTurnStep;
    }
    scene.selectedCollider->position = block.position;
    scene.selectedCollider->rotation = block.rotation;
    Mat4& normalMatrix = *scene.selectedNormalMatrix;
    copyMat4(normalMatrix, identityMat4);
    rotateMat4XZY(normalMatrix, block.rotation);
    if (isHeld(input, 'V')) {
        block.position.y += blockLiftStep;
    }
    if (isHeld(input, 'B')) {
        block.position.y -= blockLiftStep;
    }
    block.rotation.y += blockSpin;
}

} // namespace

void applyPlayerControl(SceneHandles& scene) {
    Camera& camera = *kernel.camera;
    if (camera.input.rightButton) {
        reportFrustum(scene);
    }
    toggleFlying(camera);
    if (camera.input.leftButton) {
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
}
