#include "app/overlay.h"

#include "app/run.h"
#include "game/controls.h"
#include "platform/input_mapping.h"
#include "platform/keys.h"
#include "render/camera.h"

#include <cstdio>
#include <vector>

namespace valley {

namespace {

const float textScale = 2.0f; // window pixels per font unit
const float edgeGap = 16.0f;  // pixels between a panel and the window's edge

// The input of a binding as a player names it: keys as the settings file names them.
std::string inputName(const ControlBinding& binding) {
    if (binding.mouse) {
        const char* buttons[] = {"Left mouse button", "Right mouse button", "Middle mouse button"};
        return binding.code >= 0 && binding.code < mouseButtonCount ? buttons[binding.code] : "Mouse button";
    }
    return valley::inputName(InputName{false, binding.code});
}

void toggle(bool held, bool& wasHeld, bool& shown) {
    if (held && !wasHeld) {
        shown = !shown;
    }
    wasHeld = held;
}

} // namespace

void updateOverlay(Overlay& overlay, const InputState& input) {
    toggle(controlHeld(input, Control::showControls), overlay.controlsHeld, overlay.controlsShown);
    toggle(controlHeld(input, Control::showStats), overlay.statsHeld, overlay.statsShown);
}

void countTick(TickRates& rates, double now, bool drawn) {
    if (!rates.started) {
        rates.started = true;
        rates.secondStart = now;
    }
    rates.ticks += 1;
    rates.pictures += drawn ? 1 : 0;
    const double elapsed = now - rates.secondStart;
    if (elapsed >= 1.0) {
        rates.ticksPerSecond = rates.ticks / elapsed;
        rates.picturesPerSecond = rates.pictures / elapsed;
        rates.secondStart = now;
        rates.ticks = 0;
        rates.pictures = 0;
    }
}

const char* movementMode(bool flying, float eyeHeight) {
    if (flying) {
        return "flying";
    }
    return eyeHeight <= waterLine ? "swimming" : "walking";
}

// Bindings of one input share a line, in the table's order.
std::string controlsText() {
    std::vector<std::string> inputs;
    std::vector<std::string> actions;
    for (const ControlBinding& binding : controlTable) {
        const std::string input = inputName(binding);
        size_t line = 0;
        while (line < inputs.size() && inputs[line] != input) {
            ++line;
        }
        if (line == inputs.size()) {
            inputs.push_back(input);
            actions.emplace_back(binding.what);
        } else {
            actions[line] += "; " + std::string(binding.what);
        }
    }
    std::string text = "Controls (F1 hides them)";
    for (size_t line = 0; line < inputs.size(); ++line) {
        text += "\n" + inputs[line] + ": " + actions[line];
    }
    return text;
}

std::string statsText(const TickRates& rates, int rocksAlive, const Vec3& eye, const char* mode) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%.1f pictures drawn per second\n%.1f ticks per second\n%d rocks alive\n"
                  "position %.1f %.1f %.1f\n%s",
                  rates.picturesPerSecond, rates.ticksPerSecond, rocksAlive, eye.x, eye.y, eye.z, mode);
    return text;
}

void drawOverlay(Overlay& overlay, const RunState& run) {
    const Kernel& kernel = run.kernel;
    const Camera& camera = *kernel.camera;
    const int width = kernel.windowWidth;
    const int height = kernel.windowHeight;
    if (overlay.controlsShown) {
        drawTextPanel(overlay.painter, controlsText(), edgeGap, edgeGap, textScale, width, height);
    }
    if (overlay.statsShown) {
        const std::string stats = statsText(overlay.rates, kernel.liveRockCount, camera.position,
                                            movementMode(run.player.flyMode, camera.position.y));
        int textWidth = 0;
        int textHeight = 0;
        textSize(stats, textScale, textWidth, textHeight);
        drawTextPanel(overlay.painter, stats, width - edgeGap - textWidth, edgeGap, textScale, width, height);
    }
    if (controlHeld(run.input, Control::pause)) {
        const float pausedScale = 2.0f * textScale;
        int textWidth = 0;
        int textHeight = 0;
        textSize("PAUSED", pausedScale, textWidth, textHeight);
        drawTextPanel(overlay.painter, "PAUSED", 0.5f * (width - textWidth), height - edgeGap - textHeight,
                      pausedScale, width, height);
    }
}

} // namespace valley
