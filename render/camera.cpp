#include "render/camera.h"

namespace valley {

Camera& initCamera(Camera& camera) {
    camera = Camera{};
    camera.fieldOfView = 60.0f;
    camera.mode = 2;
    camera.moveSpeed = 8.0f;
    camera.damping = 0.87f;
    return camera;
}

} // namespace valley
