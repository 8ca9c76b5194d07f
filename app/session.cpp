#include "app/session.h"

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/run.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/state_hash.h"
#include "core/frame_stats.h"
#include "core/printable.h"
#include "core/report.h"
#include "platform/file_read.h"
#include "platform/input.h"
#include "platform/recording.h"
#include "platform/session_input.h"
#include "platform/window.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace valley {

namespace {

const int badUsage = 2;
const int failedWrite = 3;

int refuse(const std::string& line) {
    report(line, Failure::usage);
    return badUsage;
}

// Reads a recording with a bound: the header first, whose magic and version tell a file of
// another kind at once, then no more than the most bytes 24 hours of play can fill and a byte.
// A recording may come from a pipe or a device, read to its end or the bound. The problem is
// why it cannot be replayed.
Problem readRecordingFile(const std::string& path, std::vector<uint8_t>& bytes) {
    const std::string tooLarge = printable(path) + ": larger than 24 hours of play can be (" +
                                 std::to_string(largestRecordingBytes / 1000000) + " MB); not replayed";
    ReadableFile file;
    Problem problem = openToRead(path, true, file);
    if (!problem && file.size > largestRecordingBytes) {
        closeReadable(file);
        return tooLarge;
    }
    if (!problem) {
        problem = readMore(file, recordingHeaderSize, bytes);
    }
    Recording header;
    if (!problem && (bytes.size() < recordingHeaderSize ||
                     readRecording(bytes.data(), bytes.size(), header).fault == RecordingFault::none)) {
        problem = readMore(file, largestRecordingBytes + 1 - bytes.size(), bytes);
    }
    closeReadable(file);
    if (problem) {
        return "cannot read " + printable(path) + ": " + *problem;
    }
    if (bytes.size() > largestRecordingBytes) {
        return tooLarge;
    }
    return std::nullopt;
}

// Reads and checks a recording; the problem is why it cannot be replayed.
Problem loadRecording(const std::string& path, Recording& recording) {
    std::vector<uint8_t> bytes;
    if (Problem problem = readRecordingFile(path, bytes)) {
        return problem;
    }
    RecordingRead read = readRecording(bytes.data(), bytes.size(), recording);
    if (read.fault != RecordingFault::none) {
        return printable(path) + ": " + describeRecordingFault(read) +
               (read.fault == RecordingFault::tooLong ? "; not replayed" : "");
    }
    const RecordingHeader& header = recording.header;
    if (header.windowWidth != valleyWindowWidth || header.windowHeight != valleyWindowHeight) {
        return printable(path) + ": recorded in a " + std::to_string(header.windowWidth) + " x " +
               std::to_string(header.windowHeight) + " window; this valley's is " +
               std::to_string(valleyWindowWidth) + " x " + std::to_string(valleyWindowHeight);
    }
    return std::nullopt;
}

// Creates the recording and writes its header.
Problem startRecording(const std::string& path, uint32_t seed, std::FILE*& file) {
    file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return "cannot write " + printable(path) + ": " + std::strerror(errno);
    }
    std::vector<uint8_t> header;
    appendRecordingHeader(header, RecordingHeader{seed, valleyWindowWidth, valleyWindowHeight});
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size() || std::fflush(file) != 0) {
        std::fclose(file);
        file = nullptr;
        return "cannot write " + printable(path) + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

Problem prepareCaptureDirectory(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!std::filesystem::is_directory(path, error)) {
        return "cannot make the capture directory " + printable(path);
    }
    if (Problem problem = folderWritable(path)) {
        return "cannot write in the capture directory " + printable(path) + ": " + *problem;
    }
    return std::nullopt;
}

// The closing line of a recording or replay: the frames the file holds or the replay took from
// it, and the final state's hash, which a recording cut short by a failed write cannot promise.
std::string closingLine(bool replaying, int frames, const SessionInput& session, uint32_t hash) {
    const char* frameWord = frames == 1 ? "frame" : "frames";
    char line[160];
    if (replaying) {
        std::snprintf(line, sizeof line, "Replayed %d %s, state %08x", frames, frameWord, hash);
    } else if (session.recorded.failed == 0) {
        std::snprintf(line, sizeof line, "Recorded %d %s, state %08x", frames, frameWord, hash);
    } else {
        const int written = session.recorded.written;
        std::snprintf(line, sizeof line, "Recorded %d %s of %d: writing the recording failed", written,
                      written == 1 ? "frame" : "frames", frames);
    }
    return line;
}

// A capture closes with a line counting the frames saved, and those that could not be; status 3
// when a file of the session could not be written.
int writeStatus(const SessionInput& session, const std::string& captureDirectory) {
    const int saved = session.captured.written;
    const int failed = session.captured.failed;
    const std::string folder = printable(captureDirectory);
    if (failed > 0) {
        std::printf("Captured %d of %d frames in %s\n", saved, saved + failed, folder.c_str());
    } else if (!captureDirectory.empty()) {
        std::printf("Captured %d %s in %s\n", saved, saved == 1 ? "frame" : "frames", folder.c_str());
    }
    return failed > 0 || session.recorded.failed > 0 ? failedWrite : 0;
}

void timePresent(ReplayTiming& timing, const Kernel& kernel) {
    auto now = std::chrono::steady_clock::now();
    if (timing.frames == 0) {
        timing.firstFrameSeconds = platformSecondsSinceStart();
        timing.firstPresent = now;
        timing.firstTick = kernel.frameCount;
    } else {
        timing.frameSeconds.push_back(std::chrono::duration<double>(now - timing.lastPresent).count());
    }
    timing.lastPresent = now;
    timing.lastTick = kernel.frameCount;
    ++timing.frames;
}

// Both rates over the time from the first presented frame to the last: ticks run and frames
// drawn in it. A replay that draws every tick gives the same figure twice. Game time given up is
// what frames slower than the schedule's catch-up bound cost (platform/tick_schedule.h).
void reportTiming(const ReplayTiming& timing, const RunState& run) {
    const Kernel& kernel = run.kernel;
    FrameTimeSummary summary = summarizeFrameTimes(timing.frameSeconds);
    const double seconds = std::chrono::duration<double>(timing.lastPresent - timing.firstPresent).count();
    const double ticksPerSecond = seconds > 0.0 ? (timing.lastTick - timing.firstTick) / seconds : 0.0;
    const double framesPerSecond = seconds > 0.0 ? (timing.frames - 1) / seconds : 0.0;
    const double engine = kernel.frameCount > 0 ? run.frameStats.runEngineSeconds / kernel.frameCount : 0.0;
    std::printf("Benchmark: %d ticks, %.1f ticks per second, %.1f frames drawn per second, frame time median "
                "%.2f ms, 99th percentile %.2f ms\n",
                kernel.frameCount, ticksPerSecond, framesPerSecond, summary.medianSeconds * 1000.0,
                summary.percentile99Seconds * 1000.0);
    std::printf(
        "Benchmark: engine %.3f ms per tick, first frame %.2f s after the process started, %.2f s of game "
        "time given up\n",
        engine * 1000.0, timing.firstFrameSeconds, run.loop.schedule.givenUp);
}

// The settings file, with the command line's choices over it, becomes how the desktop's input
// reaches the game; each bad line of the file is one line on standard error.
void useSettings(const CommandLine& line) {
    Settings settings;
    std::vector<std::string> complaints;
    const std::string path = settingsPath();
    if (!path.empty()) {
        loadSettings(path, settings, complaints);
    }
    for (const std::string& complaint : complaints) {
        report(printable(complaint), Failure::usage);
    }
    if (line.sensitivity > 0.0f) {
        settings.sensitivity = line.sensitivity;
    }
    settings.invertY = settings.invertY || line.invertY;
    platformUseMapping(inputMapping(settings));
}

// After the window has closed: the files closed, the timing reported, the exit status.
int finishRun(RunState& whole, int status) {
    CommandRun& run = whole.command;
    platformUseSession(nullptr);
    if (run.session.recordFile != nullptr) {
        std::fclose(run.session.recordFile);
        run.session.recordFile = nullptr;
    }
    if (run.line.benchmark && status == 0) {
        reportTiming(run.timing, whole);
    }
    return status != 0 ? status : writeStatus(run.session, run.line.captureDirectory);
}

} // namespace

int runCommandLine(int argc, const char* const* argv) {
    CommandLine line = parseCommandLine(argc, argv);
    if (line.error) {
        return refuse(*line.error + " (valley --help lists the options)");
    }
    if (line.help) {
        std::fputs(commandLineUsage(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("valley %s\n", VALLEY_VERSION);
        return 0;
    }
    // Before the first write: a file-size limit or a reader that leaves a pipe fails the write
    // (which is reported) instead of ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    // The files named are the user's, from where valley started; the assets' names are the data folder's.
    for (std::string* path : {&line.recordPath, &line.replayPath, &line.captureDirectory}) {
        std::error_code error;
        const std::string absolute = path->empty() ? *path : std::filesystem::absolute(*path, error).string();
        if (error) {
            return refuse("cannot find " + printable(*path) + ": the folder valley started in is gone (" +
                          error.message() + ")");
        }
        *path = absolute;
    }
    if (!enterDataFolder(line.dataFolder)) {
        return 1;
    }
    const bool replaying = !line.replayPath.empty();
    const bool recording = !line.recordPath.empty();
    if (!replaying) {
        useSettings(line);
    }
    if (!replaying && !recording && line.captureDirectory.empty()) {
        RunSetup play;
        play.window = line.window;
        theRun = RunState{};
        return runValley(theRun, play);
    }

    // The run's state outlives this call: in the browser the loop runs after main has returned.
    theRun = RunState{};
    CommandRun& run = theRun.command;
    run.line = line;
    SessionInput& session = run.session;
    RunSetup& setup = run.setup;
    setup.window = line.window;
    Recording& replay = run.replay;
    if (replaying) {
        if (Problem problem = loadRecording(line.replayPath, replay)) {
            return refuse(*problem);
        }
        session.replay = &replay;
        session.paced = line.paced;
        setup.seeded = true;
        setup.seed = replay.header.seed;
    }
    if (!line.captureDirectory.empty()) {
        if (Problem problem = prepareCaptureDirectory(line.captureDirectory)) {
            return refuse(*problem);
        }
        session.captureDirectory = line.captureDirectory;
        session.captureEvery = line.captureEvery;
    }
    if (recording) {
        setup.seeded = true;
        setup.seed = static_cast<uint32_t>(std::time(nullptr));
        if (Problem problem = startRecording(line.recordPath, setup.seed, session.recordFile)) {
            return refuse(*problem);
        }
        session.recordPath = line.recordPath;
    }
    if (line.benchmark) {
        theRun.frameStats.measuring = true;
        session.onPresent = [] { timePresent(theRun.command.timing, theRun.kernel); };
    }
    if (replaying || recording) {
        setup.afterLoop = [replaying](const RunState& ended) {
            // A replay of no ticks still runs one before it sees the recording is over.
            const int ticks = ended.kernel.frameCount;
            const int frames =
                replaying ? std::min(ticks, static_cast<int>(ended.command.replay.frames.size())) : ticks;
            const uint32_t hash = sessionStateHash(*ended.kernel.camera, ended.scene);
            std::printf("%s\n", closingLine(replaying, frames, ended.command.session, hash).c_str());
        };
    }
    setup.afterRun = [](int status) { return finishRun(theRun, status); };
    platformUseSession(&session);
    return runValley(theRun, setup);
}

} // namespace valley
