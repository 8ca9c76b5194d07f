#include "platform/frame_pacer.h"

double pacingWait(FramePacer& pacer, double now) {
    double release = pacer.started && now < pacer.nextRelease ? pacer.nextRelease : now;
    pacer.started = true;
    pacer.nextRelease = release + pacedFrameTime;
    return release - now;
}
