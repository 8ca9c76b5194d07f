// How long the engine's own work takes each frame: camera, physics, behaviours and player
// control, apart from the OpenGL calls and the wait for the display. Seconds of the steady
// clock; the loop is single-threaded, so this is the main thread's own time for that work.
#pragma once

struct FrameStats {
    double engineSeconds;     // accumulated during the frame being built
    double lastEngineSeconds; // the whole of the last finished frame
};

extern FrameStats frameStats;

double steadySeconds();

// Adds the time since `start` to the frame being built.
inline void addEngineTime(double start) { frameStats.engineSeconds += steadySeconds() - start; }
// Closes the frame: its total becomes lastEngineSeconds and the next frame starts at 0.
void finishFrameStats();
