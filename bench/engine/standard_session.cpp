// Writes the standard session that scripts/bench.sh replays with --benchmark, the same bytes on
// every machine: seed 1; from the start position 200 rocks thrown one per frame while the view
// turns slowly right, a few steps forward, a slow look back to the left over the shore, then
// 300 frames of standing still while the rocks come to rest. 930 frames; the mouse stays inside
// the window, so one poll a frame (two in the first, with the start-up poll). ROCKS (0 to 200,
// 200 by default) keeps the button held for only the first ROCKS of those frames: the same
// view with fewer rocks.
//
//   valley_standard_session FILE [ROCKS]
#include "bench/engine/generated_session.h"
#include "platform/keys.h"
#include "platform/recording.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace valley;

namespace {

const int totalFrames = 930;

InputState frameInput(int frame, int rocks, int& mouseX) {
    InputState input = {0, 0, mouseX, 360};
    if (frame >= 10 && frame < 210) { // up to 200 rocks, turning right
        input.buttons = frame < 10 + rocks ? 1u << mouseButtonLeft : 0u;
        mouseX += 2;
    } else if (frame >= 240 && frame < 300) { // a few steps
        input.keys = uint64_t{1} << keySlot('W');
    } else if (frame >= 300 && frame < 630 && frame % 3 == 0) { // look back to the left
        mouseX -= 1;
    }
    input.mouseX = mouseX;
    return input;
}

} // namespace

int main(int argc, char** argv) {
    const int rocks = argc == 3 ? std::atoi(argv[2]) : 200;
    if (argc < 2 || argc > 3 || rocks < 0 || rocks > 200) {
        std::fprintf(stderr, "usage: %s FILE [ROCKS]\n", argv[0]);
        return 2;
    }
    int mouseX = 640;
    const Recording session =
        generatedSession(totalFrames, [&](int frame) { return frameInput(frame, rocks, mouseX); });
    std::vector<uint8_t> bytes;
    appendRecordingHeader(bytes, session.header);
    for (const RecordedFrame& recorded : session.frames) {
        appendRecordedFrame(bytes, recorded);
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = file != nullptr && std::fclose(file) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
