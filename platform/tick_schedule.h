// The game clock: the frame loop runs fixed ticks of 1/60 s on the steady clock and draws when
// it is not behind. Every motion in the engine is a per-tick amount, so game time follows the
// schedule whatever the renderer manages.
//
// Tick n is due 1/60 s after tick n - 1. A tick runs once it is due; the loop waits for that
// when it is early and runs it at once when it is late. After a tick's simulation the loop asks
// whether to draw it: yes while the next tick is not yet due; no when it already is, so the
// loop catches up by ticking without drawing, at most 0.25 s of game time (15 ticks) per
// presented frame, the usual bound of a fixed-step loop: game time stays real down to 4 frames
// a second. The fifteenth is drawn whatever the clock says and the schedule is re-based to
// that moment: the time lost is given up (the game slows rather than spiralling) and counted.
// Times are in seconds.
#pragma once

namespace valley {

struct TickSchedule {
    bool started;     // false until the first tick has run
    double nextTick;  // when the tick after the one running is due
    int ticksUndrawn; // ticks run since the last drawn one, the running one included
    double givenUp;   // game time given up by re-basing, in all
};

const double tickSeconds = 1.0 / 60.0;
const int mostTicksPerFrame = 15; // 0.25 s of game time

// How long to wait at `now` before the next tick is due (0 when it is due or late); records it
// as running. The first tick runs at once and starts the schedule.
double tickWait(TickSchedule& schedule, double now);
// The same wait without recording anything: a loop that cannot block (the browser's) asks
// whether a tick is due before it runs one.
double tickDelay(const TickSchedule& schedule, double now);
// Whether the tick that just ran is drawn, asked at `now`, after its simulation.
bool drawTick(TickSchedule& schedule, double now);

} // namespace valley
