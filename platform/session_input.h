// Recording and replaying the input of a session, and capturing the frames it presents.
//
// A recorded frame is one tick of the game, drawn or not. Recording: every input snapshot the
// engine polls (platformPoll) is kept with the tick it is taken in, and each
// tick is appended to the file and flushed as it ends, so the file stays replayable whenever the
// program stops. Replaying: every poll is answered from the recording instead of the desktop, in
// the order the engine took them (a poll beyond a tick's recorded ones repeats the last); the
// window reports itself closed after the recording's last tick, and a replay runs and draws every
// tick at once unless it is paced. Captured frames are named by their tick number, from 1.
// Positions are window pixels.
#pragma once

#include "platform/file_write.h"
#include "platform/recording.h"

#include <cstdio>
#include <functional>
#include <string>

namespace valley {

struct SessionInput {
    std::FILE* recordFile = nullptr;   // recording: frames are appended, after the header
    std::string recordPath;            // its name, for the line a failed write prints
    const Recording* replay = nullptr; // replaying: the recording, kept by the caller
    bool paced = false;                // replaying: ticks follow the clock like live play
    std::string captureDirectory;      // when set, every captureEvery-th tick is drawn and saved there
    int captureEvery = 1;
    std::function<void()> onPresent; // called after every presented frame
    // What was written: recording stops at its first failed frame (the file keeps the frames
    // before it); capturing goes on and counts the frames it could not save.
    WriteTally recorded;
    WriteTally captured;
};

// Sets the session, kept by the caller for the whole run, or none for plain play.
void platformUseSession(SessionInput* session);

// The window layer's side.
void sessionRewind(); // back to the session's first frame, as platformUseSession leaves it
bool sessionRecording();
bool sessionReplaying();
void sessionRecordPoll(const InputState& live);
void sessionReplayPoll();         // moves to the next recorded poll when replaying
const InputState* sessionInput(); // the current poll when recording or replaying, else none
// One poll as the engine sees it: the recording's when replaying, else `live` (kept when recording).
InputState sessionPoll(InputState (*live)());
std::string sessionCapturePath(); // where to save the frame about to be presented, or ""
void sessionCaptured(const std::string& path, const Problem& problem); // none when it was saved
void sessionPresented();                                               // after a tick's frame is presented
void sessionTickDone(); // as a tick ends: recorded, or the replay moves on
bool sessionReplayOver();
bool sessionUnpaced(); // a replay without pacing

} // namespace valley
