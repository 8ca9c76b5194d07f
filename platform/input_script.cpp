#include "platform/input_script.h"

namespace valley {

ScriptFrame& scriptFrame(InputScript& script, int frameNumber) {
    if (static_cast<int>(script.frames.size()) < frameNumber) {
        script.frames.resize(frameNumber);
    }
    return script.frames[frameNumber - 1];
}

void holdKey(InputScript& script, int key, int firstFrame, int lastFrame) {
    for (int frame = firstFrame; frame <= lastFrame; ++frame) {
        scriptFrame(script, frame).keys.push_back(key);
    }
}

void holdButton(InputScript& script, int button, int firstFrame, int lastFrame) {
    for (int frame = firstFrame; frame <= lastFrame; ++frame) {
        scriptFrame(script, frame).buttons.push_back(button);
    }
}

void moveMouse(InputScript& script, int frameNumber, int x, int y) {
    ScriptFrame& frame = scriptFrame(script, frameNumber);
    frame.movesMouse = true;
    frame.mouseX = x;
    frame.mouseY = y;
}

} // namespace valley
