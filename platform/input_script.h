// A scripted, per-tick input timeline that replaces the desktop's keyboard and mouse. A scripted
// run draws every tick, so a script's frame is a tick and the frame presented in it.
//
// Frame numbers count ticks from 1. A frame holds exactly the keys and buttons it
// lists; the mouse stays where it was unless the frame moves it (or the engine re-centres it).
// When the timeline is over, the window reports itself closed, so a scripted run always ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace valley {

struct ScriptFrame {
    std::vector<int> keys;    // held during this frame (key names of keys.h)
    std::vector<int> buttons; // mouse buttons held during this frame
    bool movesMouse = false;  // when true the mouse is at (mouseX, mouseY) from this frame on
    int mouseX = 0;
    int mouseY = 0;
    std::string capturePath;         // when set, the frame is written there as a PNG before it is shown
    std::function<void()> onPresent; // called just before the frame is presented
};

struct InputScript {
    std::vector<ScriptFrame> frames; // frames[0] is frame 1
};

ScriptFrame& scriptFrame(InputScript& script, int frameNumber); // grows the timeline as needed
void holdKey(InputScript& script, int key, int firstFrame, int lastFrame);
void holdButton(InputScript& script, int button, int firstFrame, int lastFrame);
void moveMouse(InputScript& script, int frameNumber, int x, int y);

// Sets the input source: a script (kept by the caller for the whole run) or none for the desktop.
// The scripted mouse starts at the window's centre.
void platformUseScript(InputScript* script);
int platformScriptFrame(); // the frame number being built under a script, 0 without one

} // namespace valley
