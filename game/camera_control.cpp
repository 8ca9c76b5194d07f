#include "game/camera_control.h"

#include "game/controls.h"
#include "platform/window.h"
#include "render/camera.h"

namespace valley {

namespace {

const float pitchLimit = 89.9f;
const float boostFactor = 4.5f; // 1 + 3.5 while a boost control is held
const int lastMouseColumn = valleyWindowWidth - 1;
const int mouseRowLimit = valleyWindowHeight; // the row just below the window, not its last

float smoothed(float previous, float moved) { return 0.3f * moved + 0.9f * (0.7f * previous); }

} // namespace

void updateCamera(Camera& camera, LookSmoothing& look, InputState& input, const InputState& last) {
    if (camera.mode != 2) {
        return;
    }
    float px = static_cast<float>(last.mouseX);
    float py = static_cast<float>(last.mouseY);
    int x = input.mouseX;
    int y = input.mouseY;
    bool recentring = x <= 0 || x >= lastMouseColumn || y <= 0 || y >= mouseRowLimit;
    if (recentring) {
        platformSetMousePos(valleyWindowWidth / 2, valleyWindowHeight / 2);
        input = platformPoll();
        px = static_cast<float>(input.mouseX);
        py = static_cast<float>(input.mouseY);
    } else {
        look.x = smoothed(look.x, static_cast<float>(x) - px);
        look.y = smoothed(look.y, static_cast<float>(y) - py);
    }

    camera.yaw += look.x;
    camera.pitch += look.y;
    if (camera.pitch > pitchLimit) {
        camera.pitch = pitchLimit;
    }
    if (camera.pitch < -pitchLimit) {
        camera.pitch = -pitchLimit;
    }

    const MoveControls held = moveControlsHeld(input);
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
