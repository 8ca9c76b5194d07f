// The recording file format: what is written reads back the same, a frame cut short at the end
// is dropped, and every other damage is refused with an empty recording.
#include "platform/keys.h"
#include "platform/recording.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace valley;

namespace {

using Bytes = std::vector<uint8_t>;

const RecordingHeader header = {0x5eed1234u, 1280, 720};

std::vector<RecordedFrame> sampleFrames() {
    InputState allKeys = {(uint64_t{1} << keySlotCount) - 1, 0x7, 640, 360};
    InputState recentred = {0, 0, 640, 360};
    InputState farAway = {uint64_t{1} << keySlot('W'), 0x1, -70000, 2147483647};
    return {RecordedFrame{{allKeys, recentred}}, RecordedFrame{{farAway}}, RecordedFrame{}};
}

Bytes encode(const std::vector<RecordedFrame>& frames) {
    Bytes bytes;
    appendRecordingHeader(bytes, header);
    for (const RecordedFrame& frame : frames) {
        appendRecordedFrame(bytes, frame);
    }
    return bytes;
}

bool sameFrames(const std::vector<RecordedFrame>& a, const std::vector<RecordedFrame>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].polls.size() != b[i].polls.size()) {
            return false;
        }
        for (size_t j = 0; j < a[i].polls.size(); ++j) {
            const InputState& x = a[i].polls[j];
            const InputState& y = b[i].polls[j];
            if (x.keys != y.keys || x.buttons != y.buttons || x.mouseX != y.mouseX || x.mouseY != y.mouseY) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(Recording, ReadsBackWhatWasWrittenAndRefusesDamage) {
    const std::vector<RecordedFrame> frames = sampleFrames();
    const Bytes file = encode(frames);
    const size_t frame1 = 1 + 2 * snapshotSize + 4;
    const size_t frame2 = 1 + snapshotSize + 4;
    const size_t frame3 = 1 + 4;
    ASSERT_EQ(file.size(), recordingHeaderSize + frame1 + frame2 + frame3);

    InputState strayKey = {uint64_t{1} << keySlotCount, 0, 0, 0};
    InputState strayButton = {0, 0x8, 0, 0};
    struct Case {
        const char* what;
        std::function<Bytes()> damage;
        RecordingFault fault;
        size_t frames; // read when sound; the bad frame's number when corrupt
        size_t tornBytes;
    };
    // clang-format off
    const Case cases[] = {
        {"intact", [&] { return file; }, RecordingFault::none, 3, 0},
        {"last frame torn", [&] { return Bytes(file.begin(), file.end() - 2); }, RecordingFault::none, 2, frame3 - 2},
        {"cut in the second frame's poll", [&] { return Bytes(file.begin(), file.end() - frame3 - 9); },
         RecordingFault::none, 1, frame2 - 9},
        {"cut between frames", [&] { return Bytes(file.begin(), file.end() - frame3); }, RecordingFault::none, 2, 0},
        {"header only", [&] { return Bytes(file.begin(), file.begin() + recordingHeaderSize); },
         RecordingFault::none, 0, 0},
        {"empty", [&] { return Bytes(); }, RecordingFault::truncatedHeader, 0, 0},
        {"cut in the header", [&] { return Bytes(file.begin(), file.begin() + 14); },
         RecordingFault::truncatedHeader, 0, 0},
        {"wrong magic", [&] { Bytes b = file; b[0] = 'X'; return b; }, RecordingFault::wrongMagic, 0, 0},
        {"short and not a recording", [&] { return Bytes{'P', 'K'}; }, RecordingFault::wrongMagic, 0, 0},
        {"version 2", [&] { Bytes b = file; b[4] = 2; return b; }, RecordingFault::wrongVersion, 0, 0},
        {"seed changed", [&] { Bytes b = file; b[9] ^= 0x10; return b; }, RecordingFault::corruptHeader, 0, 0},
        {"mouse changed in frame 2", [&] { Bytes b = file; b[recordingHeaderSize + frame1 + 12] ^= 1; return b; },
         RecordingFault::corruptFrame, 2, 0},
        {"poll count changed in frame 1", [&] { Bytes b = file; b[recordingHeaderSize] = 1; return b; },
         RecordingFault::corruptFrame, 1, 0},
        {"unknown key", [&] { return encode({RecordedFrame{{strayKey}}}); }, RecordingFault::corruptFrame, 1, 0},
        {"unknown button", [&] { return encode({frames[0], RecordedFrame{{strayButton}}}); },
         RecordingFault::corruptFrame, 2, 0},
        // A count no tick takes, in a frame the bytes left cannot hold, is damage, not a cut.
        {"frame 2 says 255 polls", [&] { Bytes b = file; b[recordingHeaderSize + frame1] = 255; return b; },
         RecordingFault::corruptFrame, 2, 0},
        {"frame 3 says 4 polls", [&] { Bytes b = file; b[recordingHeaderSize + frame1 + frame2] = 4; return b; },
         RecordingFault::corruptFrame, 3, 0},
        {"last frame says 3 polls: cut short", [&] { Bytes b = file; b[b.size() - frame3] = 3; return b; },
         RecordingFault::none, 2, frame3},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes bytes = c.damage();
        Recording recording;
        RecordingRead read = readRecording(bytes.data(), bytes.size(), recording);
        EXPECT_EQ(read.fault, c.fault) << describeRecordingFault(read);
        if (c.fault == RecordingFault::none) {
            EXPECT_TRUE(sameFrames(recording.frames,
                                   std::vector<RecordedFrame>(frames.begin(), frames.begin() + c.frames)));
            EXPECT_EQ(recording.header.seed, header.seed);
            EXPECT_EQ(recording.header.windowWidth, 1280);
            EXPECT_EQ(recording.header.windowHeight, 720);
            EXPECT_EQ(read.tornBytes, c.tornBytes);
        } else {
            EXPECT_TRUE(recording.frames.empty());
            EXPECT_EQ(recording.header.seed, 0u);
        }
        if (c.fault == RecordingFault::corruptFrame) {
            EXPECT_EQ(read.badFrame, c.frames);
        }
        if (c.fault == RecordingFault::wrongVersion) {
            EXPECT_EQ(describeRecordingFault(read),
                      "recording format version 2, this valley reads version 1");
        }
    }
}

// 24 hours of play, 5,184,000 ticks, is the bound both ways: the longest recording replays and
// one tick more is refused; the byte bound holds 24 hours of the most polls a tick takes.
TEST(Recording, TwentyFourHoursOfTicksAreTheBound) {
    Bytes file;
    appendRecordingHeader(file, header);
    const Bytes pollLess = [] {
        Bytes frame;
        appendRecordedFrame(frame, RecordedFrame{});
        return frame;
    }();
    file.reserve(file.size() + (largestRecordingTicks + 1) * pollLess.size());
    for (uint64_t tick = 0; tick < largestRecordingTicks; ++tick) {
        file.insert(file.end(), pollLess.begin(), pollLess.end());
    }
    Recording recording;
    EXPECT_EQ(readRecording(file.data(), file.size(), recording).fault, RecordingFault::none);
    EXPECT_EQ(recording.frames.size(), largestRecordingTicks);
    file.insert(file.end(), pollLess.begin(), pollLess.end());
    const RecordingRead read = readRecording(file.data(), file.size(), recording);
    EXPECT_EQ(read.fault, RecordingFault::tooLong);
    EXPECT_EQ(describeRecordingFault(read), "longer than 24 hours of play (5184000 ticks)");
    EXPECT_TRUE(recording.frames.empty());

    const InputState poll = {0, 0, 640, 360};
    Bytes busiest;
    appendRecordedFrame(busiest, RecordedFrame{std::vector<InputState>(mostPollsPerTick, poll)});
    EXPECT_EQ(recordingHeaderSize + largestRecordingTicks * busiest.size(), largestRecordingBytes);
}

// The bit layout recordings were written with: every key keeps the slot it had.
TEST(Recording, EveryPolledKeyKeepsItsSlot) {
    std::vector<int> keys;
    for (int key = 'A'; key <= 'Z'; ++key) {
        keys.push_back(key);
    }
    for (int key = '0'; key <= '9'; ++key) {
        keys.push_back(key);
    }
    for (int key = keyF1; key <= keyF12; ++key) {
        keys.push_back(key);
    }
    keys.insert(keys.end(), {keySpace, keyEscape, keyEnter, keyUp, keyDown, keyLeft, keyRight, keyLeftShift,
                             keyRightShift, keyLeftControl, keyRightControl, keyLeftAlt, keyRightAlt});
    ASSERT_EQ(static_cast<int>(keys.size()), keySlotCount);
    for (int slot = 0; slot < keySlotCount; ++slot) {
        const int key = keys[slot];
        EXPECT_EQ(keySlot(key), slot) << key;
        EXPECT_EQ(slotKey(slot), key);
        InputState input = {};
        setKey(input, key, true);
        EXPECT_EQ(input.keys, uint64_t{1} << slot) << key;
        EXPECT_TRUE(isHeld(input, key));
        setKey(input, key, false);
        EXPECT_EQ(input.keys, 0u);
    }
    for (int stray : {int{'a'}, -1, 0, keyRightAlt + 1, 343}) { // 343: GLFW's left super, not polled
        EXPECT_EQ(keySlot(stray), -1) << stray;
        InputState input = {};
        setKey(input, stray, true);
        EXPECT_EQ(input.keys, 0u);
        EXPECT_FALSE(isHeld(InputState{~uint64_t{0}, 0, 0, 0}, stray));
    }
}
