// Sessions of the real program: one played through the X display and recorded, then replayed
// twice to the recording's final state with identical frames; damaged recordings refused;
// frames that cannot be saved reported; a paced replay on a slowed machine; a replay from
// elsewhere by the program installed into a prefix or from its Debian package; hostile data
// folders, starts and pipes reported in one line each.
#include "platform/keys.h"
#include "platform/recording.h"
#include "platform/tick_schedule.h"
#include "tests/support/rgb_image.h"
#include "tests/support/x11_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

using namespace valley;

namespace {

using Bytes = std::vector<uint8_t>;
const char* title = "This is a test, this is only a test.";

Bytes readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The closing line of a recorded or replayed session.
struct SessionEnd {
    int frames = -1;
    std::string state;
};

SessionEnd sessionEnd(const std::string& output, const std::string& verb) {
    std::smatch match;
    SessionEnd end;
    if (std::regex_search(output, match, std::regex(verb + " (\\d+) frames, state ([0-9a-f]{8})\n"))) {
        end.frames = std::stoi(match[1]);
        end.state = match[2];
    }
    return end;
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/valley-session-XXXXXX";
        directory = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Runs valley (or another program) with these arguments to its end; returns the exit status.
    int runValley(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                  std::string& output, double timeoutSeconds, const std::string& program = VALLEY_BINARY) {
        ChildProcess valley = startProgram(program, workingDirectory, true, arguments);
        return waitForExit(valley, output, timeoutSeconds);
    }
    int runShell(const std::string& command, std::string& output) {
        return runValley({"-c", command}, directory, output, 300.0, "/bin/sh");
    }

    // Writes a walk of 150 frames, turning and throwing a rock now and then, as walk.vrec in
    // the test's folder; replays it with the build tree's program from that folder, by its
    // relative name, and hands back the final state.
    SessionEnd replayAWalkInTheBuildTree() {
        Bytes file;
        appendRecordingHeader(file, RecordingHeader{11, 1280, 720});
        const InputState resting = {0, 0, 640, 360};
        appendRecordedFrame(file, RecordedFrame{{resting, resting}});
        for (int frame = 2; frame <= 150; ++frame) {
            uint8_t throwing = frame % 40 < 3 ? 1 : 0;
            appendRecordedFrame(file,
                                RecordedFrame{{{1ull << keySlot('W'), throwing, 637 + frame % 7, 360}}});
        }
        writeBytes(walkPath(), file);
        std::string output;
        EXPECT_EQ(runValley({"--replay", "walk.vrec"}, directory, output, 300.0), 0) << output;
        SessionEnd end = sessionEnd(output, "Replayed");
        EXPECT_EQ(end.frames, 150) << output;
        return end;
    }
    // Replays the walk with this program started in the root folder: the build tree's state.
    void expectTheSameReplayFromTheRoot(const std::string& program, const SessionEnd& built) {
        std::string output;
        EXPECT_EQ(runValley({"--replay", walkPath()}, "/", output, 300.0, program), 0) << output;
        SessionEnd end = sessionEnd(output, "Replayed");
        EXPECT_EQ(end.frames, built.frames) << output;
        EXPECT_EQ(end.state, built.state) << output;
    }

    // Frames of the recording so far in which the test holds.
    int recordedFrames(const std::function<bool(const InputState&)>& test) {
        Bytes bytes = readBytes(recordingPath());
        Recording recording;
        readRecording(bytes.data(), bytes.size(), recording);
        int count = 0;
        for (const RecordedFrame& frame : recording.frames) {
            bool holds = false;
            for (const InputState& poll : frame.polls) {
                holds = holds || test(poll);
            }
            count += holds ? 1 : 0;
        }
        return count;
    }

    // Keeps doing `act` until the program has recorded `frames` frames in which the test holds.
    bool actUntilRecorded(
        int frames, const std::function<bool(const InputState&)>& test,
        const std::function<void()>& act = [] {}) {
        int before = recordedFrames(test);
        for (int wait = 0; wait < 3000; ++wait) {
            if (recordedFrames(test) >= before + frames) {
                return true;
            }
            act();
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        return false;
    }

    bool holdKeyFor(const char* keysym, int key, int frames) {
        setKey(keysym, true);
        bool seen = actUntilRecorded(frames, [key](const InputState& s) { return isHeld(s, key); });
        setKey(keysym, false);
        return seen;
    }

    std::string recordingPath() const { return directory + "/played.vrec"; }
    std::string walkPath() const { return directory + "/walk.vrec"; }

    std::string directory;
};

// A session of `frames` ticks with the mouse at rest: the start-up poll, then one poll a tick,
// the left button held from tick `throwFrom` to `throwTo` (none by default).
Bytes restingSession(int frames, int throwFrom = 0, int throwTo = -1) {
    Bytes file;
    appendRecordingHeader(file, RecordingHeader{7, 1280, 720});
    const InputState resting = {0, 0, 640, 360};
    appendRecordedFrame(file, RecordedFrame{{resting, resting}});
    for (int frame = 2; frame <= frames; ++frame) {
        const uint8_t buttons = frame >= throwFrom && frame <= throwTo ? 1 : 0;
        appendRecordedFrame(file, RecordedFrame{{InputState{0, buttons, 640, 360}}});
    }
    return file;
}

// The rates of a --benchmark line.
struct Rates {
    int ticks = -1;
    double ticksPerSecond = -1.0;
    double framesPerSecond = -1.0;
    double givenUpSeconds = -1.0;
};

Rates benchmarkRates(const std::string& output) {
    std::smatch match;
    Rates rates;
    if (std::regex_search(
            output, match,
            std::regex("Benchmark: (\\d+) ticks, ([0-9.]+) ticks per second, ([0-9.]+) frames drawn"))) {
        rates.ticks = std::stoi(match[1]);
        rates.ticksPerSecond = std::stod(match[2]);
        rates.framesPerSecond = std::stod(match[3]);
    }
    if (std::regex_search(output, match, std::regex("([0-9.]+) s of game time given up"))) {
        rates.givenUpSeconds = std::stod(match[1]);
    }
    return rates;
}

std::vector<std::string> capturedFrames(const std::string& capture) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(capture)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(Session, APlayedSessionReplaysToItsFinalStateWithIdenticalFrames) {
    ChildProcess valley = startProgram(VALLEY_BINARY, VALLEY_DATA_DIR, true, {"--record", recordingPath()});
    std::string recorded;
    ASSERT_TRUE(readUntil(valley, "Kernel Initiated!\n", recorded, 60.0)) << recorded;
    X11Window window = {};
    ASSERT_TRUE(findWindowByTitle(title, window, 20.0));
    auto any = [](const InputState&) { return true; };
    ASSERT_TRUE(actUntilRecorded(30, any)) << "no frames recorded";

    EXPECT_TRUE(holdKeyFor("w", 'W', 20));
    int lastX = 0;
    auto turned = [&lastX](const InputState& s) {
        bool moved = s.mouseX != lastX;
        lastX = s.mouseX;
        return moved;
    };
    EXPECT_TRUE(actUntilRecorded(20, turned, [] { movePointer(23, 4); }))
        << "the mouse did not reach the program";
    auto recentred = [](const InputState& s) { return s.mouseX == 640 && s.mouseY == 360; };
    EXPECT_TRUE(actUntilRecorded(2, recentred, [] { movePointer(300, -40); })) << "no re-centring";
    EXPECT_TRUE(holdKeyFor("space", keySpace, 3));
    setMouseButton(1, true);
    EXPECT_TRUE(actUntilRecorded(30, [](const InputState& s) { return s.buttons == 1; }));
    setMouseButton(3, true);
    EXPECT_TRUE(actUntilRecorded(15, [](const InputState& s) { return s.buttons == 3; }));
    setMouseButton(1, false);
    setMouseButton(3, false);
    EXPECT_TRUE(holdKeyFor("e", 'E', 5));
    EXPECT_TRUE(holdKeyFor("f", 'F', 10));
    EXPECT_TRUE(holdKeyFor("i", 'I', 10));
    EXPECT_TRUE(holdKeyFor("q", 'Q', 2));
    setKey("w", true);
    EXPECT_TRUE(actUntilRecorded(15, turned, [] { movePointer(-9, -7); }));
    setKey("w", false);
    setKey("Escape", true);
    EXPECT_EQ(waitForExit(valley, recorded, 60.0), 0) << recorded;
    setKey("Escape", false);
    SessionEnd played = sessionEnd(recorded, "Recorded");
    ASSERT_GT(played.frames, 150) << recorded;

    std::vector<std::string> captures;
    for (const char* replay : {"first", "second"}) {
        SCOPED_TRACE(replay);
        std::string capture = directory + "/" + replay;
        std::string output;
        EXPECT_EQ(runValley({"--replay", recordingPath(), "--capture", capture, "--every", "10"},
                            VALLEY_DATA_DIR, output, 400.0),
                  0)
            << output;
        SessionEnd replayed = sessionEnd(output, "Replayed");
        EXPECT_EQ(replayed.frames, played.frames) << output;
        EXPECT_EQ(replayed.state, played.state) << output;
        captures.push_back(capture);
    }
    std::vector<std::string> frames = capturedFrames(captures[0]);
    EXPECT_EQ(static_cast<int>(frames.size()), played.frames / 10);
    ASSERT_EQ(frames, capturedFrames(captures[1]));
    for (const std::string& frame : frames) {
        EXPECT_TRUE(readBytes(captures[0] + "/" + frame) == readBytes(captures[1] + "/" + frame)) << frame;
    }
}

// The settings file moves W to Up and doubles the mouse's motion: the recording holds what the
// game saw (W, twice the motion), so it replays to its state under other settings, and a bad
// line is named once.
TEST_F(Session, SettingsShapeWhatIsRecordedAndReplaysDoNotReadThem) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = config != nullptr ? config : "";
    std::filesystem::create_directories(directory + "/config/valley");
    std::ofstream(directory + "/config/valley/settings") << "W = Up\nsensitivity = 2\njump = X\n";
    setenv("XDG_CONFIG_HOME", (directory + "/config").c_str(), 1);
    ChildProcess valley = startProgram(VALLEY_BINARY, VALLEY_DATA_DIR, true, {"--record", recordingPath()});
    std::string recorded;
    ASSERT_TRUE(readUntil(valley, "Kernel Initiated!\n", recorded, 60.0)) << recorded;
    EXPECT_NE(
        recorded.find("valley: " + directory +
                      "/config/valley/settings line 3: \"jump\" is neither a setting nor a key; skipped\n"),
        std::string::npos)
        << recorded;
    X11Window window = {};
    ASSERT_TRUE(findWindowByTitle(title, window, 20.0));
    ASSERT_TRUE(actUntilRecorded(30, [](const InputState&) { return true; })) << "no frames recorded";
    EXPECT_TRUE(holdKeyFor("Up", 'W', 10));
    EXPECT_EQ(recordedFrames([](const InputState& s) { return isHeld(s, 'W') && !isHeld(s, keyUp); }), 0);
    // One motion of 10 pixels to the right, seen as 20.
    movePointer(10, 0);
    auto moved = [](const InputState& s) { return s.mouseX != 640; };
    ASSERT_TRUE(actUntilRecorded(1, moved));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int farthest = 0;
    recordedFrames([&farthest](const InputState& s) {
        farthest = std::max(farthest, s.mouseX - 640);
        return false;
    });
    EXPECT_EQ(farthest, 20);
    setKey("Escape", true);
    EXPECT_EQ(waitForExit(valley, recorded, 60.0), 0) << recorded;
    setKey("Escape", false);
    SessionEnd played = sessionEnd(recorded, "Recorded");

    std::ofstream(directory + "/config/valley/settings") << "W = S\nsensitivity = 0.1\ninvert-y = yes\nbad\n";
    std::string output;
    EXPECT_EQ(runValley({"--replay", recordingPath()}, VALLEY_DATA_DIR, output, 300.0), 0) << output;
    config != nullptr ? setenv("XDG_CONFIG_HOME", kept.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(sessionEnd(output, "Replayed").state, played.state) << output;
    EXPECT_EQ(output.find("settings line"), std::string::npos) << output;
}

// The vertical field of view is fixed: a window of another shape shows the same view, wider or
// narrower, and one of another size the same picture at its size. The game does not change, and
// F11 held in the recording (ticks 5 to 8) leaves the replay's window as it was.
TEST_F(Session, AWindowOfAnotherShapeShowsTheSameViewAtItsOwnAspect) {
    const std::string path = directory + "/idle.vrec";
    Bytes file;
    appendRecordingHeader(file, RecordingHeader{7, 1280, 720});
    appendRecordedFrame(file, RecordedFrame{{{0, 0, 640, 360}, {0, 0, 640, 360}}});
    for (int frame = 2; frame <= 30; ++frame) {
        const uint64_t f11 = frame >= 5 && frame <= 8 ? uint64_t{1} << keySlot(keyF11) : 0;
        appendRecordedFrame(file, RecordedFrame{{InputState{f11, 0, 640, 360}}});
    }
    writeBytes(path, file);
    struct Shot {
        std::vector<std::string> window;
        RgbImage picture;
        std::string state;
    };
    Shot shots[] = {{{}, {}, ""}, {{"--window", "720x720"}, {}, ""}, {{"--window", "640x360"}, {}, ""}};
    for (Shot& shot : shots) {
        const std::string capture = directory + "/frames" + std::to_string(&shot - shots);
        std::vector<std::string> arguments = {"--replay", path, "--capture", capture, "--every", "30"};
        arguments.insert(arguments.end(), shot.window.begin(), shot.window.end());
        std::string output;
        ASSERT_EQ(runValley(arguments, VALLEY_DATA_DIR, output, 300.0), 0) << output;
        shot.picture = loadPng(capture + "/frame-000030.png");
        shot.state = sessionEnd(output, "Replayed").state;
        EXPECT_EQ(shot.state, shots[0].state);
    }
    const RgbImage& wide = shots[0].picture;
    ASSERT_TRUE(wide.width == 1280 && wide.height == 720);
    ASSERT_TRUE(shots[1].picture.width == 720 && shots[1].picture.height == 720);
    ASSERT_TRUE(shots[2].picture.width == 640 && shots[2].picture.height == 360);
    // The square window shows the wide picture's middle 720 columns; the small one all of it, halved.
    EXPECT_LT(meanDifference(shots[1].picture, wide, 280, 1), 1.0);
    EXPECT_LT(meanDifference(shots[2].picture, wide, 0, 2), 4.0);
    EXPECT_GT(meanDifference(shots[1].picture, wide, 0, 1), 12.0); // and not the wide picture squeezed
}

TEST_F(Session, DamagedRecordingsAndBadArgumentsAreRefusedBeforeAnyWindowOpens) {
    const Bytes file = restingSession(40);
    const std::string path = directory + "/idle.vrec";
    struct Case {
        const char* what;
        std::function<Bytes()> damage;
        std::vector<std::string> arguments;
        int status;
        std::string line; // on standard error, or the closing line of a replay
    };
    // clang-format off
    const Case cases[] = {
        {"cut short in the last frame", [&] { return Bytes(file.begin(), file.end() - 5); }, {"--replay", path}, 0,
         "Replayed 39 frames, state "},
        {"frame 10 corrupt", [&] { Bytes b = file; b[recordingHeaderSize + 39 + 22 * 8 + 3] ^= 2; return b; },
         {"--replay", path}, 2, "valley: " + path + ": frame 10 of the recording is corrupt\n"},
        {"cut short in the header", [&] { return Bytes(file.begin(), file.begin() + 10); }, {"--replay", path}, 2,
         "valley: " + path + ": the recording's header is cut short\n"},
        {"another version", [&] { Bytes b = file; b[4] = 9; return b; }, {"--replay", path}, 2,
         "valley: " + path + ": recording format version 9, this valley reads version 1\n"},
        {"no such file", [&] { return file; }, {"--replay", path + ".missing"}, 2,
         "valley: cannot read " + path + ".missing: No such file or directory\n"},
        {"unknown argument", [&] { return file; }, {"--replay", path, "--fast"}, 2,
         "valley: unknown argument --fast (valley --help lists the options)\n"},
        {"the header alone", [&] { return Bytes(file.begin(), file.begin() + recordingHeaderSize); },
         {"--replay", path}, 0, "Replayed 0 frames, state "},
        {"one frame", [&] { return Bytes(file.begin(), file.begin() + recordingHeaderSize + 39); },
         {"--replay", path}, 0, "Replayed 1 frame, state "},
        // Read with a bound: the first bytes tell another kind of file, and a recording longer than
        // 24 hours of play (a sparse file here) is refused without being read whole.
        {"endless zeros", [&] { return file; }, {"--replay", "/dev/zero"}, 2,
         "valley: /dev/zero: not a valley recording\n"},
        {"larger than 24 hours can be", [&] { return file; }, {"--replay", path + ".long"}, 2,
         "valley: " + path + ".long: larger than 24 hours of play can be (290 MB); not replayed\n"},
        {"a tick over 24 hours", [&] { return file; }, {"--replay", path + ".ticks"}, 2,
         "valley: " + path + ".ticks: longer than 24 hours of play (5184000 ticks); not replayed\n"},
        // A count no tick takes, near the end: damage, not a file cut short.
        {"frame 25 says 255 polls", [&] { Bytes b = file; b[recordingHeaderSize + 39 + 23 * 22] = 255; return b; },
         {"--replay", path}, 2, "valley: " + path + ": frame 25 of the recording is corrupt\n"},
        {"a FIFO with no writer", [&] { return file; }, {"--replay", path + ".fifo"}, 2,
         "valley: " + path + ".fifo: the recording's header is cut short\n"},
        {"a line feed in the name", [&] { return file; }, {"--replay", path + "\nvalley: fine"}, 2,
         "valley: cannot read " + path + "\\nvalley: fine: No such file or directory\n"},
        {"--every twice", [&] { return file; }, {"--replay", path, "--capture", directory, "--every", "5", "--every", "7"},
         2, "valley: --every is given twice"},
        {"--paced twice", [&] { return file; }, {"--replay", path, "--paced", "--paced"}, 2,
         "valley: --paced is given twice"},
        {"an option for a value", [&] { return file; }, {"--replay", "--benchmark"}, 2,
         "valley: --replay needs a value"},
        {"a window too small", [&] { return file; }, {"--replay", path, "--window", "8x8"}, 2,
         "valley: --window needs a size WxH, each side 16 to 16384 pixels, not 8x8"},
        {"a window without its height", [&] { return file; }, {"--window", "800x"}, 2,
         "valley: --window needs a size WxH, each side 16 to 16384 pixels, not 800x"},
        {"a capture folder no file can be made in", [&] { return file; }, {"--replay", path, "--capture", "/proc"}, 2,
         "valley: cannot write in the capture directory /proc: "},
    };
    // clang-format on
    writeBytes(path + ".long", file);
    std::filesystem::resize_file(path + ".long", 300000000);
    // 24 hours and one tick of frames without polls: 26 MB, well within the byte bound.
    Bytes ticks;
    appendRecordingHeader(ticks, RecordingHeader{7, 1280, 720});
    Bytes pollLess;
    appendRecordedFrame(pollLess, RecordedFrame{});
    for (uint64_t tick = 0; tick <= largestRecordingTicks; ++tick) {
        ticks.insert(ticks.end(), pollLess.begin(), pollLess.end());
    }
    writeBytes(path + ".ticks", ticks);
    ASSERT_EQ(mkfifo((path + ".fifo").c_str(), 0600), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path, c.damage());
        std::string output;
        // In the sanitized build, LeakSanitizer's tracer sometimes dies of signal 11 at the exit of
        // a run of one or two frames (the driver's threads are still coming and going): those
        // runs go without the leak check, which the longer runs keep.
        const bool fewFrames = c.line.rfind("Replayed 0 ", 0) == 0 || c.line.rfind("Replayed 1 ", 0) == 0;
        const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
        const std::string kept = sanitizerOptions != nullptr ? sanitizerOptions : "";
        if (fewFrames) {
            setenv("ASAN_OPTIONS", (kept + ":detect_leaks=0").c_str(), 1);
        }
        EXPECT_EQ(runValley(c.arguments, directory, output, 120.0), c.status) << output;
        if (sanitizerOptions != nullptr) {
            setenv("ASAN_OPTIONS", kept.c_str(), 1);
        } else {
            unsetenv("ASAN_OPTIONS");
        }
        EXPECT_NE(output.find(c.line), std::string::npos) << output;
        bool windowOpened = output.find("OpenGL Environment Loaded!") != std::string::npos;
        EXPECT_EQ(windowOpened, c.status == 0) << output;
    }
}

// The machine made slow: the program is stopped for 20 ms of every 40, so a frame takes about
// twice its time, well within the fifteen ticks (0.25 s) a frame may take. A paced replay then
// leaves draws out and still runs 60 ticks a second (but for the game time it reports given up
// to frames slower than fifteen ticks, which a loaded machine makes), and ends where the unpaced replay,
// which draws every tick, ends. Every tick a capture chose is drawn and saved all the same, the same pictures
// as the unpaced replay's.
TEST_F(Session, APacedReplayOnASlowMachineKeepsGameTimeAndEndsInTheSameState) {
    const std::string path = directory + "/throws.vrec";
    writeBytes(path, restingSession(360, 30, 90));
    const std::string everyTick = directory + "/every_tick";
    const std::string slowed = directory + "/slowed";
    std::string unpaced;
    ASSERT_EQ(runValley({"--replay", path, "--capture", everyTick, "--every", "10"}, VALLEY_DATA_DIR, unpaced,
                        300.0),
              0)
        << unpaced;
    const SessionEnd drawnEveryTick = sessionEnd(unpaced, "Replayed");
    ASSERT_EQ(drawnEveryTick.frames, 360) << unpaced;
    EXPECT_NE(unpaced.find("Captured 36 frames in " + everyTick + "\n"), std::string::npos) << unpaced;

    ChildProcess valley =
        startProgram(VALLEY_BINARY, VALLEY_DATA_DIR, true,
                     {"--replay", path, "--paced", "--benchmark", "--capture", slowed, "--every", "10"});
    std::atomic<bool> running{true};
    std::thread slowDown([&] {
        while (running) {
            kill(valley.pid, SIGSTOP);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            kill(valley.pid, SIGCONT);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    std::string paced;
    const int status = waitForExit(valley, paced, 300.0);
    running = false;
    slowDown.join();
    ASSERT_EQ(status, 0) << paced;
    const SessionEnd end = sessionEnd(paced, "Replayed");
    EXPECT_EQ(end.frames, 360) << paced;
    EXPECT_EQ(end.state, drawnEveryTick.state) << paced;
    EXPECT_NE(paced.find("Captured 36 frames in " + slowed + "\n"), std::string::npos) << paced;
    const std::vector<std::string> frames = capturedFrames(everyTick);
    EXPECT_EQ(capturedFrames(slowed), frames);
    for (const std::string& frame : frames) {
        EXPECT_TRUE(readBytes(everyTick + "/" + frame) == readBytes(slowed + "/" + frame)) << frame;
    }
    const Rates rates = benchmarkRates(paced);
    ASSERT_GT(rates.framesPerSecond, 0.0) << paced;
    ASSERT_GE(rates.givenUpSeconds, 0.0) << paced;
    EXPECT_LT(rates.framesPerSecond, 0.8 * rates.ticksPerSecond) << "no draw was left out: " << paced;
    EXPECT_LE(rates.ticksPerSecond, mostTicksPerFrame * rates.framesPerSecond + 1.0) << paced;
    EXPECT_LE(rates.ticksPerSecond, 61.5) << paced;
    // Game time kept the clock's but for what frames over the catch-up bound gave up (a loaded
    // machine stops the program longer than the 20 ms here) and at most one frame's lag at the end.
    const double seconds = (rates.ticks - 1) / rates.ticksPerSecond;
    const double gameSeconds = (rates.ticks - 1) * tickSeconds;
    EXPECT_GE(gameSeconds + rates.givenUpSeconds, 0.97 * seconds - mostTicksPerFrame * tickSeconds) << paced;
}

TEST_F(Session, InstalledIntoAPrefixItReplaysFromAnyFolderAsTheBuildTreeDoes) {
    SessionEnd built = replayAWalkInTheBuildTree();
    std::string output;
    const std::string prefix = directory + "/prefix";
    ASSERT_EQ(
        runShell("'" CMAKE_COMMAND "' --install '" VALLEY_DATA_DIR "' --prefix '" + prefix + "'", output), 0)
        << output;
    expectTheSameReplayFromTheRoot(prefix + "/bin/valley", built);

    // The program alone, away from any data folder: one line, before any window.
    std::filesystem::copy_file(prefix + "/bin/valley", directory + "/valley");
    output.clear();
    EXPECT_EQ(runValley({}, "/", output, 60.0, directory + "/valley"), 1);
    EXPECT_EQ(output, "valley: no data folder (Meshes/, Textures/, shaders/) in " + directory + ", " +
                          std::filesystem::path(directory).parent_path().string() +
                          "/share/valley; name one with --data DIR or VALLEY_DATA\n");
}

TEST_F(Session, ThePackageHoldsTheProgramItsDataAndMenuEntryAndReplaysAsTheBuildTreeDoes) {
    SessionEnd built = replayAWalkInTheBuildTree();
    std::string output;
    ASSERT_EQ(
        runShell(VALLEY_SOURCE_DIR "/scripts/package.sh --from '" VALLEY_DATA_DIR "' --out packages", output),
        0)
        << output;
    const std::string package = directory + "/packages/valley_" VALLEY_VERSION "_amd64.deb";
    EXPECT_EQ(output, package + "\n");
    output.clear();
    ASSERT_EQ(runShell("dpkg-deb -f " + package + " Package Version Depends && dpkg-deb -c " + package +
                           " && dpkg-deb -x " + package + " extracted",
                       output),
              0)
        << output;
    for (const char* line :
         {"Package: valley\n", "Version: " VALLEY_VERSION "\n", "libglfw3 (", "libepoxy0 (", "libsoil1 (",
          " ./usr/bin/valley\n", " ./usr/share/valley/Meshes/riverlake_terrain.dae\n",
          " ./usr/share/valley/Textures/grass3.dds\n", " ./usr/share/valley/shaders/waterFrag.txt\n",
          " ./usr/share/applications/valley.desktop\n", " ./usr/share/man/man1/valley.1.gz\n",
          " ./usr/share/doc/valley/copyright\n"}) {
        EXPECT_NE(output.find(line), std::string::npos) << line << " in\n" << output;
    }
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        const std::string icon = " ./usr/share/icons/hicolor/" + side + "x" + side + "/apps/valley.png\n";
        EXPECT_NE(output.find(icon), std::string::npos) << icon << " in\n" << output;
    }
    // Debian's checks find no error and no warning (the licence, the manual page, the icons...).
    output.clear();
    EXPECT_EQ(runShell("lintian --fail-on error,warning " + package, output), 0) << output;
    const std::string program = directory + "/extracted/usr/bin/valley";
    output.clear();
    EXPECT_EQ(runValley({"--version"}, "/", output, 60.0, program), 0);
    EXPECT_EQ(output, "valley " VALLEY_VERSION "\n");
    expectTheSameReplayFromTheRoot(program, built);
}

// Under a file-size limit of 32 KB (the shell's 512-byte blocks) no frame fits: each save fails,
// the first is named, nothing half-written is left, and the status says so.
TEST_F(Session, FramesThatCannotBeSavedAreNamedCountedAndFailTheRun) {
    Bytes file;
    appendRecordingHeader(file, RecordingHeader{7, 1280, 720});
    for (int frame = 1; frame <= 20; ++frame) {
        appendRecordedFrame(file, RecordedFrame{{{0, 0, 640, 360}}});
    }
    const std::string path = directory + "/idle.vrec";
    writeBytes(path, file);
    const std::string capture = directory + "/frames";
    ChildProcess valley = startProgram("/bin/sh", VALLEY_DATA_DIR, true,
                                       {"-c", "ulimit -f 64 && exec \"$0\" \"$@\"", VALLEY_BINARY, "--replay",
                                        path, "--capture", capture, "--every", "10"});
    std::string output;
    EXPECT_EQ(waitForExit(valley, output, 120.0), 3) << output;
    EXPECT_NE(output.find("valley: cannot write " + capture + "/frame-000010.png: File too large\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("frame-000020.png"), std::string::npos) << "only the first failure is named";
    EXPECT_NE(output.find("Replayed 20 frames, state "), std::string::npos) << output;
    EXPECT_NE(output.find("Captured 0 of 2 frames in " + capture + "\n"), std::string::npos) << output;
    EXPECT_TRUE(capturedFrames(capture).empty());
}

// A data folder whose files are FIFOs without a writer, devices, missing or gigabytes long: each
// is named in one line as it is refused, without waiting or reading without end, and the
// session runs on with what is left. A sound DDS with a sparse 4 GB tail loads as it is.
TEST_F(Session, AHostileDataFolderIsReportedFileByFileAndTheReplayRunsOn) {
    const std::string data = directory + "/data";
    for (const char* folder : {"Meshes", "Textures", "shaders"}) {
        std::filesystem::create_directories(data + "/" + folder);
        for (const auto& entry : std::filesystem::directory_iterator(std::string(VALLEY_DATA_DIR) + folder)) {
            std::filesystem::create_symlink(entry.path(),
                                            data + "/" + folder + "/" + entry.path().filename().string());
        }
    }
    for (const char* fifo : {"shaders/phongFrag.txt", "Textures/grass3.dds", "Textures/skybox_texture.bmp",
                             "Meshes/sphere9.dae"}) {
        std::filesystem::remove(data + "/" + fifo);
        ASSERT_EQ(mkfifo((data + "/" + fifo).c_str(), 0600), 0) << fifo;
    }
    for (const char* device : {"shaders/waterVert.txt", "Meshes/cube5.dae"}) {
        std::filesystem::remove(data + "/" + device);
        std::filesystem::create_symlink("/dev/zero", data + "/" + device);
    }
    std::filesystem::remove(data + "/Textures/water1_f.bmp");
    std::filesystem::remove(data + "/Textures/grass1.dds");
    std::filesystem::copy_file(std::string(VALLEY_DATA_DIR) + "Textures/grass1.dds",
                               data + "/Textures/grass1.dds");
    std::filesystem::resize_file(data + "/Textures/grass1.dds", uint64_t{4} << 30);
    writeBytes(directory + "/short.vrec", restingSession(30));

    std::string output;
    EXPECT_EQ(runValley({"--data", data, "--replay", "short.vrec"}, directory, output, 120.0), 0) << output;
    for (const char* line :
         {"error: shader shaders/phongFrag.txt cannot be read: not a regular file\n",
          "error: shader shaders/waterVert.txt cannot be read: not a regular file\n",
          "error: texture Textures/grass3.dds loaded incorrectly: not a regular file\n",
          "error: texture Textures/skybox_texture.bmp loaded incorrectly: not a regular file\n",
          "error: texture Textures/water1_f.bmp loaded incorrectly: No such file or directory\n",
          "error: mesh Meshes/sphere9.dae loaded incorrectly!\n",
          "error: mesh Meshes/cube5.dae loaded incorrectly!\n", "Replayed 30 frames, state "}) {
        EXPECT_NE(output.find(line), std::string::npos) << line << " in\n" << output;
    }
    EXPECT_EQ(output.find("grass1"), std::string::npos) << output;
}

// What the shell and the file system can hand the program before its first report: a start
// folder that is gone, a file-size limit of 0, a data folder named with a line feed; and a
// maintainer's name with line feeds for the package script. Each ends in one line and the
// documented status, before any window, and leaves no file behind.
TEST_F(Session, HostileStartsEndInOneLineWithTheirStatus) {
    writeBytes(directory + "/short.vrec", restingSession(30));
    const std::string valley = "'" VALLEY_BINARY "'";
    const struct {
        const char* what;
        std::string command;
        int status;
        std::string output;
    } cases[] = {
        {"the start folder removed",
         "mkdir gone && cd gone && rmdir ../gone && exec " + valley + " --replay short.vrec", 2,
         "valley: cannot find short.vrec: the folder valley started in is gone (No such file or "
         "directory)\n"},
        {"no file may grow: the recording", "ulimit -f 0 && exec " + valley + " --record x.vrec", 2,
         "valley: cannot write " + directory + "/x.vrec: File too large\n"},
        {"no file may grow: the capture probe",
         "mkdir frames && ulimit -f 0 && exec " + valley + " --replay short.vrec --capture frames", 2,
         "valley: cannot write in the capture directory " + directory + "/frames: File too large\n"},
        {"a line feed in the data folder's name",
         "VALLEY_DATA=\"$(printf '/nonexistent\\nvalley: the data folder is fine')\" exec " + valley, 1,
         "valley: no data folder (Meshes/, Textures/, shaders/) in /nonexistent\\nvalley: the data folder is "
         "fine; "
         "name one with --data DIR or VALLEY_DATA\n"},
        {"fields injected through the maintainer's name",
         "DEBFULLNAME=\"$(printf 'Valley Developers\\nPre-Depends: libc6\\nX-Injected: yes')\" "
         "'" VALLEY_SOURCE_DIR "/scripts/package.sh' --from '" VALLEY_DATA_DIR "' --out packages",
         2,
         "scripts/package.sh: the maintainer (DEBFULLNAME, DEBEMAIL or git's user) holds a control "
         "character\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string output;
        EXPECT_EQ(runShell(c.command, output), c.status) << output;
        EXPECT_EQ(output, c.output);
    }
    EXPECT_TRUE(capturedFrames(directory + "/frames").empty()) << "the probe file is left behind";
    EXPECT_FALSE(std::filesystem::exists(directory + "/packages")) << "a package was made";
}

// A recording into a pipe whose reader leaves: the write fails and is reported, play goes on to
// Escape, and the closing line counts the frames the pipe took.
TEST_F(Session, ARecordingIntoAPipeWhoseReaderLeavesEndsWithTheFailedWriteLine) {
    const std::string pipe = directory + "/recording.fifo";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ChildProcess valley = startProgram(
        "/bin/sh", VALLEY_DATA_DIR, true,
        {"-c", "head -c 100 \"$1\" > /dev/null & exec \"$0\" --record \"$1\"", VALLEY_BINARY, pipe});
    std::string output;
    ASSERT_TRUE(readUntil(valley, "valley: cannot write " + pipe + ": Broken pipe\n", output, 60.0))
        << output;
    X11Window window = {};
    ASSERT_TRUE(findWindowByTitle(title, window, 20.0));
    setKey("Escape", true);
    EXPECT_EQ(waitForExit(valley, output, 60.0), 3) << output;
    setKey("Escape", false);
    EXPECT_TRUE(std::regex_search(
        output, std::regex("Recorded [0-9]+ frames? of [0-9]+: writing the recording failed\n")))
        << output;
}
