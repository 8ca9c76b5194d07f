#include "platform/session_input.h"

#include "platform/input.h"
#include "platform/platform_state.h"

#include <cstdio>
#include <vector>

namespace valley {

namespace {

SessionProgress& progress() { return platform.run.session; }

void writePendingFrame() {
    std::vector<uint8_t> bytes;
    appendRecordedFrame(bytes, RecordedFrame{progress().pendingPolls});
    progress().pendingPolls.clear();
    const Problem problem = appendWhole(platform.session->recordFile, bytes);
    tallyWrite(platform.session->recorded, platform.session->recordPath, problem);
    progress().writeFailed = static_cast<bool>(problem);
}

} // namespace

void platformUseSession(SessionInput* session) {
    platform.session = session;
    sessionRewind();
}

void sessionRewind() { progress() = SessionProgress{}; }

bool sessionRecording() { return platform.session != nullptr && platform.session->recordFile != nullptr; }

bool sessionReplaying() { return platform.session != nullptr && platform.session->replay != nullptr; }

void sessionRecordPoll(const InputState& live) {
    progress().current = live;
    if (progress().pendingPolls.size() < maxPollsPerFrame) {
        progress().pendingPolls.push_back(live);
    }
}

void sessionReplayPoll() {
    if (!sessionReplaying() || sessionReplayOver()) {
        return;
    }
    SessionProgress& run = progress();
    const RecordedFrame& frame = platform.session->replay->frames[run.replayFrame];
    if (run.replayPoll < frame.polls.size()) {
        run.current = frame.polls[run.replayPoll++];
    }
}

const InputState* sessionInput() {
    return sessionRecording() || sessionReplaying() ? &progress().current : nullptr;
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
    const SessionInput* session = platform.session;
    int frame = progress().ticksDone + 1;
    if (session == nullptr || session->captureDirectory.empty() || session->captureEvery < 1 ||
        frame % session->captureEvery != 0) {
        return "";
    }
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
    return session->captureDirectory + name;
}

void sessionCaptured(const std::string& path, const Problem& problem) {
    if (platform.session != nullptr) {
        tallyWrite(platform.session->captured, path, problem);
    }
}

void sessionPresented() {
    if (platform.session != nullptr && platform.session->onPresent) {
        platform.session->onPresent();
    }
}

void sessionTickDone() {
    if (platform.session == nullptr) {
        return;
    }
    SessionProgress& run = progress();
    ++run.ticksDone;
    if (sessionRecording() && !run.writeFailed) {
        writePendingFrame();
    }
    if (sessionReplaying()) {
        ++run.replayFrame;
        run.replayPoll = 0;
    }
}

bool sessionReplayOver() {
    return sessionReplaying() && progress().replayFrame >= platform.session->replay->frames.size();
}

bool sessionUnpaced() { return sessionReplaying() && !platform.session->paced; }

} // namespace valley
