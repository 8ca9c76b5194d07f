// Caps the frame loop at 60 iterations per second. Every motion in the engine is a per-frame
// amount, so a display that does not wait for vertical sync would otherwise speed the game up.
// A frame that comes back close to its 1/60 s (a 60 Hz display that waits) is never held back.
// Times are in seconds.
#pragma once

struct FramePacer {
    bool started;       // false until the first frame has been released
    double lastRelease; // when the previous frame was released
};

const double pacedFrameTime = 1.0 / 60.0;
const double pacingTolerance = 0.001; // a frame this close to 1/60 s counts as on time

// How long to wait before releasing a frame that is ready at `now`; records the release.
double pacingWait(FramePacer& pacer, double now);
