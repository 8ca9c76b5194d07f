#include "bench/engine/generated_session.h"

Recording generatedSession(int frames, const std::function<InputState(int frame)>& inputOfFrame) {
    const InputState startUp = {0, 0, 640, 360};
    Recording session = {RecordingHeader{1, 1280, 720}, {}};
    for (int frame = 1; frame <= frames; ++frame) {
        RecordedFrame recorded;
        if (frame == 1) {
            recorded.polls.push_back(startUp);
        }
        recorded.polls.push_back(inputOfFrame(frame));
        session.frames.push_back(recorded);
    }
    return session;
}
