#include "tests/support/gl_context.h"

#include "platform/window.h"

using namespace valley;

bool ensureGlContext() {
    static bool open = !platformInit() && !platformOpenWindow(1280, 720, 8, 8, 8, 8, 24, 8);
    return open;
}
