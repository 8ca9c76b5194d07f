#include "platform/frame_pacer.h"

double pacingWait(FramePacer& pacer, double now) {
    double wait = 0.0;
    if (pacer.started && now - pacer.lastRelease < pacedFrameTime - pacingTolerance) {
        wait = pacer.lastRelease + pacedFrameTime - now;
    }
    pacer.started = true;
    pacer.lastRelease = now + wait;
    return wait;
}
