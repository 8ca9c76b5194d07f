// Runs valley as its command line asks: plain play, a recorded session or a replay, with frame
// capture and the timing of a replay. Problems with the arguments or the files are found before
// any window opens: one line on standard error and exit status 2.
//
// Recording and replaying print one closing line with the frame count and the hash of the
// final state (state_hash.h): "Recorded 1800 frames, state 5f3a09c2" / "Replayed ...".
#pragma once

namespace valley {

int runCommandLine(int argc, const char* const* argv);

} // namespace valley
