// Sessions the benchmark tools make up instead of recording them: seed 1, a 1280x720 window,
// the mouse inside it, so one poll a frame (two in the first, with the start-up poll, the mouse
// at rest in the window centre).
#pragma once

#include "platform/recording.h"

#include <functional>

using namespace valley;

// Frames 1 to `frames`; `inputOfFrame` is called once per frame, in order.
Recording generatedSession(int frames, const std::function<InputState(int frame)>& inputOfFrame);
