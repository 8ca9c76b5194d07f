#include "platform/recording.h"

#include "core/fnv_hash.h"
#include "core/little_endian.h"
#include "platform/keys.h"

namespace valley {

namespace {

const char magic[4] = {'V', 'R', 'E', 'C'};
const uint64_t keyMask = (uint64_t{1} << keySlotCount) - 1;
const uint8_t buttonMask = (1u << mouseButtonCount) - 1;

void appendCheck(std::vector<uint8_t>& bytes, size_t from) {
    appendLittleEndian(bytes, fnvAdd(fnvStart, bytes.data() + from, bytes.size() - from), 4);
}

bool checkHolds(const uint8_t* bytes, size_t size) {
    return fnvAdd(fnvStart, bytes, size) == readLittleEndian(bytes + size, 4);
}

RecordingRead fault(RecordingFault kind, uint32_t version, Recording& recording) {
    recording = Recording{};
    return RecordingRead{kind, version, 0, 0};
}

} // namespace

void appendRecordingHeader(std::vector<uint8_t>& bytes, const RecordingHeader& header) {
    size_t from = bytes.size();
    bytes.insert(bytes.end(), magic, magic + 4);
    appendLittleEndian(bytes, recordingVersion, 4);
    appendLittleEndian(bytes, header.seed, 4);
    appendLittleEndian(bytes, static_cast<uint32_t>(header.windowWidth), 4);
    appendLittleEndian(bytes, static_cast<uint32_t>(header.windowHeight), 4);
    appendCheck(bytes, from);
}

void appendRecordedFrame(std::vector<uint8_t>& bytes, const RecordedFrame& frame) {
    size_t from = bytes.size();
    bytes.push_back(static_cast<uint8_t>(frame.polls.size()));
    for (const InputState& poll : frame.polls) {
        appendLittleEndian(bytes, poll.keys, 8);
        bytes.push_back(poll.buttons);
        appendLittleEndian(bytes, static_cast<uint32_t>(poll.mouseX), 4);
        appendLittleEndian(bytes, static_cast<uint32_t>(poll.mouseY), 4);
    }
    appendCheck(bytes, from);
}

RecordingRead readRecording(const uint8_t* bytes, size_t size, Recording& recording) {
    recording = Recording{};
    for (size_t i = 0; i < 4; ++i) {
        if (i < size && bytes[i] != static_cast<uint8_t>(magic[i])) {
            return fault(RecordingFault::wrongMagic, 0, recording);
        }
    }
    if (size < 8) {
        return fault(RecordingFault::truncatedHeader, 0, recording);
    }
    uint32_t version = static_cast<uint32_t>(readLittleEndian(bytes + 4, 4));
    if (version != recordingVersion) {
        return fault(RecordingFault::wrongVersion, version, recording);
    }
    if (size < recordingHeaderSize) {
        return fault(RecordingFault::truncatedHeader, version, recording);
    }
    if (!checkHolds(bytes, recordingHeaderSize - 4)) {
        return fault(RecordingFault::corruptHeader, version, recording);
    }
    recording.header = {static_cast<uint32_t>(readLittleEndian(bytes + 8, 4)),
                        readInt32LittleEndian(bytes + 12), readInt32LittleEndian(bytes + 16)};

    RecordingRead read = {RecordingFault::none, version, 0, 0};
    size_t at = recordingHeaderSize;
    while (at < size) {
        size_t polls = bytes[at];
        size_t length = 1 + polls * snapshotSize + 4;
        if (size - at < length && polls <= mostPollsPerTick) {
            read.tornBytes = size - at;
            break;
        }
        if (recording.frames.size() == largestRecordingTicks) {
            return fault(RecordingFault::tooLong, version, recording);
        }
        RecordedFrame frame;
        bool sound = size - at >= length && checkHolds(bytes + at, length - 4);
        for (size_t i = 0; i < polls && sound; ++i) {
            const uint8_t* poll = bytes + at + 1 + i * snapshotSize;
            InputState input = {readLittleEndian(poll, 8), poll[8], readInt32LittleEndian(poll + 9),
                                readInt32LittleEndian(poll + 13)};
            sound = (input.keys & ~keyMask) == 0 && (input.buttons & ~buttonMask) == 0;
            frame.polls.push_back(input);
        }
        if (!sound) {
            size_t badFrame = recording.frames.size() + 1;
            RecordingRead corrupt = fault(RecordingFault::corruptFrame, version, recording);
            corrupt.badFrame = badFrame;
            return corrupt;
        }
        recording.frames.push_back(std::move(frame));
        at += length;
    }
    return read;
}

std::string describeRecordingFault(const RecordingRead& read) {
    switch (read.fault) {
    case RecordingFault::none:
        return "a sound recording";
    case RecordingFault::wrongMagic:
        return "not a valley recording";
    case RecordingFault::truncatedHeader:
        return "the recording's header is cut short";
    case RecordingFault::wrongVersion:
        return "recording format version " + std::to_string(read.version) + ", this valley reads version " +
               std::to_string(recordingVersion);
    case RecordingFault::corruptHeader:
        return "the recording's header is corrupt";
    case RecordingFault::corruptFrame:
        return "frame " + std::to_string(read.badFrame) + " of the recording is corrupt";
    case RecordingFault::tooLong:
        return "longer than 24 hours of play (" + std::to_string(largestRecordingTicks) + " ticks)";
    }
    return "";
}

} // namespace valley
