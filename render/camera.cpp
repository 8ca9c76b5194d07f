#include "render/camera.h"

#include "platform/keys.h"
#include "platform/window.h"

namespace {

const float pitchLimit = 89.9f;
const float boostFactor = 4.5f; // 1 + 3.5 while left shift or left alt is held
const int lastMouseColumn = 1279;
const int mouseRowLimit = 720;

// The snapshot field of a key, or none for a key the snapshot does not hold.
template <typename State>
auto fieldOf(State& input, int key) -> decltype(&input.zero) {
    if (key >= 'A' && key <= 'Z') {
        return &input.letters[key - 'A'];
    }
    if (key >= '1' && key <= '9') {
        return &input.digits[key - '1'];
    }
    if (key >= keyF1 && key <= keyF12) {
        return &input.functionKeys[key - keyF1];
    }
    switch (key) {
    case '0': return &input.zero;
    case keySpace: return &input.space;
    case keyLeftControl: return &input.leftControl;
    case keyRightControl: return &input.rightControl;
    case keyLeftShift: return &input.leftShift;
    case keyRightShift: return &input.rightShift;
    case keyEscape: return &input.escape;
    case keyEnter: return &input.enter;
    case keyLeftAlt: return &input.leftAlt;
    case keyRightAlt: return &input.rightAlt;
    case keyUp: return &input.up;
    case keyDown: return &input.down;
    case keyLeft: return &input.left;
    case keyRight: return &input.right;
    default: return nullptr;
    }
}

const int polledKeys[] = {keySpace, keyLeftControl, keyRightControl, keyLeftShift, keyRightShift, keyEscape,
                          keyEnter, keyLeftAlt, keyRightAlt, keyUp, keyDown, keyLeft, keyRight};

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

void pollInput(InputState& input) {
    platformBeginPoll();
    platformMousePos(input.mouseX, input.mouseY);
    input.leftButton = platformMouseButton(mouseButtonLeft);
    input.rightButton = platformMouseButton(mouseButtonRight);
    input.middleButton = platformMouseButton(mouseButtonMiddle);
    for (int key = 'A'; key <= 'Z'; ++key) {
        *fieldOf(input, key) = platformKey(key);
    }
    for (int key = '0'; key <= '9'; ++key) {
        *fieldOf(input, key) = platformKey(key);
    }
    for (int key = keyF1; key <= keyF12; ++key) {
        *fieldOf(input, key) = platformKey(key);
    }
    for (int key : polledKeys) {
        *fieldOf(input, key) = platformKey(key);
    }
}

bool isHeld(const InputState& input, int key) {
    const int32_t* field = fieldOf(input, key);
    return field != nullptr && *field != 0;
}

void updateCamera(Camera& camera) {
    float px = static_cast<float>(camera.input.mouseX);
    float py = static_cast<float>(camera.input.mouseY);
    pollInput(camera.input);
    if (camera.mode != 2) {
        return;
    }

    int x = camera.input.mouseX;
    int y = camera.input.mouseY;
    bool recentring = x <= 0 || x >= lastMouseColumn || y <= 0 || y >= mouseRowLimit;
    if (recentring) {
        platformSetMousePos(640, 360);
        pollInput(camera.input);
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

    const InputState& in = camera.input;
    float forward = static_cast<float>(in.letters['W' - 'A']) * camera.moveSpeed -
                    static_cast<float>(in.letters['S' - 'A']) * camera.moveSpeed;
    float right = static_cast<float>(in.letters['D' - 'A']) * camera.moveSpeed -
                  static_cast<float>(in.letters['A' - 'A']) * camera.moveSpeed;
    float boost = (in.leftShift != 0 || in.leftAlt != 0) ? boostFactor : 1.0f;
    Vec3 move = {boost * forward, 0.0f, boost * right};
    rotateZ(move, camera.pitch);
    rotateY(move, camera.yaw);

    Vec3 acceleration = scale(scale(move, 0.02f), 8.0f);
    camera.velocity = scale(add(camera.velocity, acceleration), camera.damping);
    camera.position = add(camera.position, camera.velocity);
}
