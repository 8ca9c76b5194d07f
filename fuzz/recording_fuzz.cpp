// The recording reader on arbitrary bytes, held in a buffer of exactly their size. A recording
// that reads is written out again: header and frames give back the file byte for byte, up to the
// dropped, cut-short last frame. A refused file leaves an empty recording.
#include "fuzz/fuzz_check.h"
#include "platform/recording.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace valley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy owned here: the reader must not rely on anything past the last byte.
    std::vector<uint8_t> file(data, data + size);
    Recording recording;
    const RecordingRead read = readRecording(file.data(), file.size(), recording);
    if (read.fault != RecordingFault::none) {
        require(recording.frames.empty() && recording.header.seed == 0,
                "a refused file leaves an empty recording");
        require(!describeRecordingFault(read).empty(), "a refusal is described");
        return 0;
    }
    require(size >= recordingHeaderSize, "a sound recording has its whole header");
    std::vector<uint8_t> written;
    appendRecordingHeader(written, recording.header);
    for (const RecordedFrame& frame : recording.frames) {
        require(frame.polls.size() <= maxPollsPerFrame, "at most maxPollsPerFrame polls a frame");
        appendRecordedFrame(written, frame);
    }
    require(written.size() + read.tornBytes == size, "frames and dropped tail make up the file");
    require(std::memcmp(written.data(), file.data(), written.size()) == 0,
            "written again, the file is the same");
    if (read.tornBytes > 0) {
        const size_t polls = file[written.size()];
        require(read.tornBytes < 1 + polls * snapshotSize + 4, "only a frame cut short is dropped");
        require(polls <= mostPollsPerTick, "only a count a tick can take is taken for a cut");
    }
    return 0;
}
