#include "app/kernel.h"

#include "render/camera.h"

namespace {

Camera theCamera;

Kernel makeKernel() {
    Kernel k = {};
    k.camera = &initCamera(theCamera);
    return k;
}

} // namespace

Kernel kernel = makeKernel();

void resetKernel() {
    kernel = makeKernel();
}
