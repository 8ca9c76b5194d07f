#include "platform/session_input.h"

#include "platform/input.h"

#include <cstdio>
#include <vector>

namespace valley {

namespace {

SessionInput* session = nullptr;
InputState current = {0, 0, valleyWindowWidth / 2, valleyWindowHeight / 2};
std::vector<InputState> pendingPolls; // recording: the polls of the frame being built
size_t replayFrame = 0;                  // replaying: index of the tick being run
size_t replayPoll = 0;                   // replaying: next poll within it
int ticksDone = 0;
bool writeFailed = false;

void writePendingFrame() {
    std::vector<uint8_t> bytes;
    appendRecordedFrame(bytes, RecordedFrame{pendingPolls});
    pendingPolls.clear();
    const Problem problem = appendWhole(session->recordFile, bytes);
    tallyWrite(session->recorded, session->recordPath, problem);
    writeFailed = problem.has_value();
}

} // namespace

void platformUseSession(SessionInput* newSession) {
    session = newSession;
    sessionRewind();
}

void sessionRewind() {
    current = InputState{0, 0, valleyWindowWidth / 2, valleyWindowHeight / 2};
    pendingPolls.clear();
    replayFrame = 0;
    replayPoll = 0;
    ticksDone = 0;
    writeFailed = false;
}

bool sessionRecording() { return session != nullptr && session->recordFile != nullptr; }

bool sessionReplaying() { return session != nullptr && session->replay != nullptr; }

void sessionRecordPoll(const InputState& live) {
    current = live;
    if (pendingPolls.size() < maxPollsPerFrame) {
        pendingPolls.push_back(live);
    }
}

void sessionReplayPoll() {
    if (!sessionReplaying() || sessionReplayOver()) {
        return;
    }
    const RecordedFrame& frame = session->replay->frames[replayFrame];
    if (replayPoll < frame.polls.size()) {
        current = frame.polls[replayPoll++];
    }
}

const InputState* sessionInput() {
    return sessionRecording() || sessionReplaying() ? &current : nullptr;
}

InputState sessionPoll(InputState (*live)()) {
    if (sessionRecording()) {
        sessionRecordPoll(live());
    } else {
        sessionReplayPoll();
    }
    const InputState* input = sessionInput();
    return input != nullptr ? *input : live();
}

std::string sessionCapturePath() {
    int frame = ticksDone + 1;
    if (session == nullptr || session->captureDirectory.empty() || session->captureEvery < 1 ||
        frame % session->captureEvery != 0) {
        return "";
    }
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
    return session->captureDirectory + name;
}

void sessionCaptured(const std::string& path, const Problem& problem) {
    if (session != nullptr) {
        tallyWrite(session->captured, path, problem);
    }
}

void sessionPresented() {
    if (session != nullptr && session->onPresent) {
        session->onPresent();
    }
}

void sessionTickDone() {
    if (session == nullptr) {
        return;
    }
    ++ticksDone;
    if (sessionRecording() && !writeFailed) {
        writePendingFrame();
    }
    if (sessionReplaying()) {
        ++replayFrame;
        replayPoll = 0;
    }
}

bool sessionReplayOver() { return sessionReplaying() && replayFrame >= session->replay->frames.size(); }

bool sessionUnpaced() { return sessionReplaying() && !session->paced; }

} // namespace valley
