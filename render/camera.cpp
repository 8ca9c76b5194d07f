#include "render/camera.h"

#include "platform/window.h"

namespace valley {

namespace {

const float pitchLimit = 89.9f;
const float boostFactor = 4.5f; // 1 + 3.5 while a boost control is held
const int lastMouseColumn = valleyWindowWidth - 1;
const int mouseRowLimit = valleyWindowHeight; // the row just below the window, not its last

float smoothed(float previous, float moved) { return 0.3f * moved + 0.9f * (0.7f * previous); }

} // namespace

Camera& initCamera(Camera& camera) {
    camera = Camera{};
    camera.fieldOfView = 60.0f;
    camera.mode = 2;
    camera.moveSpeed = 8.0f;
    camera.damping = 0.87f;
    return camera;
}

void updateCamera(Camera& camera, MoveControlReader moveControls) {
    float px = static_cast<float>(camera.input.mouseX);
    float py = static_cast<float>(camera.input.mouseY);
    camera.input = platformPoll();
    if (camera.mode != 2) {
        return;
    }

    int x = camera.input.mouseX;
    int y = camera.input.mouseY;
    bool recentring = x <= 0 || x >= lastMouseColumn || y <= 0 || y >= mouseRowLimit;
    if (recentring) {
        platformSetMousePos(valleyWindowWidth / 2, valleyWindowHeight / 2);
        camera.input = platformPoll();
        px = static_cast<float>(camera.input.mouseX);
        py = static_cast<float>(camera.input.mouseY);
    } else {
        camera.look.x = smoothed(camera.look.x, static_cast<float>(x) - px);
        camera.look.y = smoothed(camera.look.y, static_cast<float>(y) - py);
    }

    camera.yaw += camera.look.x;
    camera.pitch += camera.look.y;
    if (camera.pitch > pitchLimit) {
        camera.pitch = pitchLimit;
    }
    if (camera.pitch < -pitchLimit) {
        camera.pitch = -pitchLimit;
    }

    const MoveControls held = moveControls(camera.input);
    auto amount = [](bool on) { return on ? 1.0f : 0.0f; };
    float forward = amount(held.forward) * camera.moveSpeed - amount(held.back) * camera.moveSpeed;
    float right = amount(held.right) * camera.moveSpeed - amount(held.left) * camera.moveSpeed;
    float boost = held.boost ? boostFactor : 1.0f;
    Vec3 move = {boost * forward, 0.0f, boost * right};
    rotateZ(move, camera.pitch);
    rotateY(move, camera.yaw);

    Vec3 acceleration = scale(scale(move, 0.02f), 8.0f);
    camera.velocity = scale(add(camera.velocity, acceleration), camera.damping);
    camera.position = add(camera.position, camera.velocity);
}

} // namespace valley
