// Frames per second of the demo scene, unpaced, on whatever renderer the display offers (Mesa's
// software renderer under Xvfb). `valley_fps ROCKS` throws ROCKS rocks from the start position
// (one per frame), lets them settle, then times 300 frames of the view along the shore.
// Run it in the build directory, beside Meshes/ and Textures/, on a display.
#include "app/startup.h"
#include "platform/input_script.h"
#include "platform/keys.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int rocks = argc > 1 ? std::atoi(argv[1]) : 0;
    const int settled = rocks + 150; // rocks thrown and come to rest, camera standing
    const int timedFrames = 300;
    InputScript script;
    holdButton(script, mouseButtonLeft, 10, 9 + rocks);
    using Clock = std::chrono::steady_clock;
    Clock::time_point started;
    Clock::time_point finished;
    scriptFrame(script, settled).onPresent = [&] { started = Clock::now(); };
    scriptFrame(script, settled + timedFrames).onPresent = [&] { finished = Clock::now(); };
    platformUseScript(&script);
    if (runValley() != 0) {
        return 1;
    }
    std::printf("rocks %d: %.1f frames per second\n", rocks, timedFrames / std::chrono::duration<double>(finished - started).count());
    return 0;
}
