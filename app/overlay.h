// The overlay over the picture, off until asked for, so that every picture without it stays as
// it was: F1 shows the controls (read from the controls table, game/controls.h), F3 shows the
// pictures drawn and ticks run per second, the rocks alive, the eye's position (world units)
// and the movement mode; "PAUSED" shows while the pause control holds the physics. It only
// draws: nothing of the game reads it. Rates are counted over whole seconds of the steady clock.
#pragma once

#include "core/vec_math.h"
#include "platform/input.h"
#include "render/text_panel.h"

#include <string>

namespace valley {

struct RunState;

// Ticks run and pictures drawn over the last whole second.
struct TickRates {
    bool started;
    double secondStart; // when the second being counted began
    int ticks;          // in the second being counted
    int pictures;
    double ticksPerSecond; // of the last whole second, 0 before one has passed
    double picturesPerSecond;
};

struct Overlay {
    bool controlsShown;
    bool statsShown;
    bool controlsHeld; // the toggle was held in the previous tick: it acts once per press
    bool statsHeld;
    TickRates rates;
    TextPainter painter;
};

void updateOverlay(Overlay& overlay, const InputState& input); // the F1 and F3 toggles
void countTick(TickRates& rates, double now, bool drawn);

const char* movementMode(bool flying, float eyeHeight); // "flying", "swimming" or "walking"
std::string controlsText();                             // one line an input, with what it does
std::string statsText(const TickRates& rates, int rocksAlive, const Vec3& eye, const char* mode);

// Draws what is shown over the picture of the run's running tick, before it is presented.
void drawOverlay(Overlay& overlay, const RunState& run);

} // namespace valley
