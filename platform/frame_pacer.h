// Caps the frame loop at 60 iterations per second. Every motion in the engine is a per-frame
// amount, so a display that does not wait for vertical sync would otherwise speed the game up.
// Frames are released on a fixed schedule 1/60 s apart; a frame ready late is released at once
// and the schedule starts again from it, so no second ever holds more than 60 releases and a
// 60 Hz display that waits for vertical sync never misses a refresh because of the cap.
// Times are in seconds.
#pragma once

struct FramePacer {
    bool started;       // false until the first frame has been released
    double nextRelease; // when the next frame is due: 1/60 s after the previous release
};

const double pacedFrameTime = 1.0 / 60.0;

// How long to wait before releasing a frame that is ready at `now`; records the release.
double pacingWait(FramePacer& pacer, double now);
