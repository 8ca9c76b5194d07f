#include "platform/platform_state.h"

#include "platform/input_script.h"

namespace valley {

PlatformState platform;

const ScriptFrame* currentScriptFrame() {
    const InputScript* script = platform.script;
    const int index = platform.run.script.frameIndex;
    if (script == nullptr || index >= static_cast<int>(script->frames.size())) {
        return nullptr;
    }
    return &script->frames[index];
}

void applyScriptedMouse() {
    const ScriptFrame* frame = currentScriptFrame();
    if (frame != nullptr && frame->movesMouse) {
        platform.run.script.mouseX = frame->mouseX;
        platform.run.script.mouseY = frame->mouseY;
    }
}

void freshPlatformRun() {
    platform.run = PlatformRun{};
    applyScriptedMouse();
}

} // namespace valley
