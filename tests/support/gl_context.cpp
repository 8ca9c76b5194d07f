#include "tests/support/gl_context.h"

#include "app/kernel.h"
#include "platform/window.h"

using namespace valley;

bool ensureGlContext() {
    static bool open = !platformInit() && !platformOpenWindow(1280, 720, 8, 8, 8, 8, 24, 8);
    if (open) {
        kernel.windowWidth = 1280;
        kernel.windowHeight = 720;
    }
    return open;
}
