// The recording file of a session: the random seed and every input record the engine polled
// (platform/input.h), frame by frame. Reading is a pure function over bytes; nothing here touches a file.
//
// Layout, all integers little-endian:
//   header, 24 bytes: "VREC", u32 format version (1), u32 seed, i32 window width, i32 window
//     height, u32 check (FNV-1a of the 20 bytes before it)
//   then one record per presented frame: u8 poll count n, n polls of 17 bytes (u64 held
//     keys, one bit per key slot of the key table; u8 held mouse buttons, bit b for button b; i32 mouse x;
//     i32 mouse y, window pixels, y growing downwards), u32 check (FNV-1a of the record so far)
// A frame cut short at the end of the file (the program stopped while writing it) is dropped,
// unless its poll count is more than a tick ever takes: then the count is damaged, not cut short.
// A recording holds at most 24 hours of play (largestRecordingTicks); the most bytes those can
// fill follow from the most polls a tick takes (largestRecordingBytes).
#pragma once

#include "platform/input.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace valley {

const uint32_t recordingVersion = 1;
const size_t recordingHeaderSize = 24;
const size_t snapshotSize = 17;
const size_t maxPollsPerFrame = 255;
// The start-up poll, the tick's own and the one after the pointer is re-centred.
const size_t mostPollsPerTick = 3;
const uint64_t largestRecordingTicks = 24 * 60 * 60 * 60; // 24 hours at 60 ticks a second
const uint64_t largestRecordingBytes =
    recordingHeaderSize + largestRecordingTicks * (1 + mostPollsPerTick * snapshotSize + 4); // about 290 MB

struct RecordedFrame {
    std::vector<InputState> polls; // in the order the engine took them
};

struct RecordingHeader {
    uint32_t seed; // of the C library's random generator
    int32_t windowWidth;
    int32_t windowHeight;
};

struct Recording {
    RecordingHeader header;
    std::vector<RecordedFrame> frames; // frames[0] is frame 1
};

enum class RecordingFault {
    none,
    wrongMagic,
    truncatedHeader,
    wrongVersion,
    corruptHeader,
    corruptFrame,
    tooLong
};

struct RecordingRead {
    RecordingFault fault;
    uint32_t version; // the file's format version, once read
    size_t badFrame;  // corruptFrame: its number, from 1
    size_t tornBytes; // bytes of a cut-short last frame, dropped
};

void appendRecordingHeader(std::vector<uint8_t>& bytes, const RecordingHeader& header);
void appendRecordedFrame(std::vector<uint8_t>& bytes,
                         const RecordedFrame& frame); // at most maxPollsPerFrame polls

// Reads a whole file. On a fault the recording is left empty.
RecordingRead readRecording(const uint8_t* bytes, size_t size, Recording& recording);
std::string describeRecordingFault(const RecordingRead& read); // one line, no line feed

} // namespace valley
