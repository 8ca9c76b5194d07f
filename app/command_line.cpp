#include "app/command_line.h"

#include "app/settings.h"
#include "core/printable.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace valley {

namespace {

// Takes the value after a flag; false (and an error) when there is none. A value that starts
// with "--" is the next option, and so no value.
bool takeValue(int argc, const char* const* argv, int& i, std::string& value, CommandLine& line) {
    const std::string flag = argv[i];
    if (i + 1 >= argc || argv[i + 1][0] == '\0' || std::strncmp(argv[i + 1], "--", 2) == 0) {
        line.error = flag + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
}

// False (and an error) for an option given before; -h is --help.
bool firstTime(const std::string& argument, std::set<std::string>& given, CommandLine& line) {
    if (!given.insert(argument == "-h" ? "--help" : argument).second) {
        line.error = printable(argument) + " is given twice";
        return false;
    }
    return true;
}

bool positiveNumber(const std::string& text, int& number) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 1000000) {
        return false;
    }
    number = static_cast<int>(value);
    return true;
}

// "WxH", each side 16 to 16384 pixels.
bool windowSize(const std::string& text, WindowChoice& window) {
    int width = 0;
    int height = 0;
    char end = '\0';
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2 || text[0] == '+' ||
        text.find_first_of(" +-") != std::string::npos || width < 16 || height < 16 || width > 16384 ||
        height > 16384) {
        return false;
    }
    window.width = width;
    window.height = height;
    return true;
}

// The combinations that make no sense; none when the line is sound.
Problem conflicts(const CommandLine& line, bool everyGiven) {
    if (!line.recordPath.empty() && !line.replayPath.empty()) {
        return "--record and --replay cannot be combined";
    }
    if (line.replayPath.empty() && (line.paced || line.benchmark)) {
        return line.paced ? "--paced needs --replay" : "--benchmark needs --replay";
    }
    if (everyGiven && line.captureDirectory.empty()) {
        return "--every needs --capture";
    }
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool everyGiven = false;
    std::set<std::string> given;
    for (int i = 1; i < argc && !line.error; ++i) {
        const std::string argument = argv[i];
        std::string every;
        if (argument.rfind("-", 0) == 0 && !firstTime(argument, given, line)) {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else if (argument == "--data") {
            takeValue(argc, argv, i, line.dataFolder, line);
        } else if (argument == "--record") {
            takeValue(argc, argv, i, line.recordPath, line);
        } else if (argument == "--replay") {
            takeValue(argc, argv, i, line.replayPath, line);
        } else if (argument == "--capture") {
            takeValue(argc, argv, i, line.captureDirectory, line);
        } else if (argument == "--every") {
            if (takeValue(argc, argv, i, every, line) && !positiveNumber(every, line.captureEvery)) {
                line.error = "--every needs a whole number of frames from 1, not " + printable(every);
            }
            everyGiven = true;
        } else if (argument == "--window") {
            std::string size;
            if (takeValue(argc, argv, i, size, line) && !windowSize(size, line.window)) {
                line.error =
                    "--window needs a size WxH, each side 16 to 16384 pixels, not " + printable(size);
            }
        } else if (argument == "--sensitivity") {
            std::string value;
            if (takeValue(argc, argv, i, value, line) && !sensitivityValue(value, line.sensitivity)) {
                line.error = "--sensitivity needs a number above 0, at most 100, not " + printable(value);
            }
        } else if (argument == "--invert-y") {
            line.invertY = true;
        } else if (argument == "--fullscreen") {
            line.window.fullscreen = true;
        } else if (argument == "--paced") {
            line.paced = true;
        } else if (argument == "--benchmark") {
            line.benchmark = true;
        } else {
            line.error = "unknown argument " + printable(argument);
        }
    }
    if (!line.error) {
        line.error = conflicts(line, everyGiven);
    }
    return line;
}

const char* commandLineUsage() {
    return "usage: valley [--data DIR] [--window WxH] [--fullscreen] [--sensitivity X] [--invert-y]\n"
           "              [--record FILE | --replay FILE [--paced] [--benchmark]] [--capture DIR [--every "
           "N]]\n"
           "\n"
           "Without options: play the valley.\n"
           "  --record FILE   play, and write the random seed and every input snapshot to FILE\n"
           "  --replay FILE   replay a recording instead of reading the keyboard and mouse, drawing every\n"
           "                  tick as fast as the machine allows; print the tick count and the final state's "
           "hash\n"
           "  --paced         replay at 60 ticks per second as it was played, leaving draws out when behind\n"
           "  --benchmark     after the replay, print ticks and frames drawn per second, the median and\n"
           "                  99th-percentile frame time, the engine's own time per tick and the start-up "
           "time\n"
           "  --capture DIR   save every drawn tick (or every Nth with --every N) as DIR/frame-NNNNNN.png,\n"
           "                  numbered by tick\n"
           "  --data DIR      read Meshes/, Textures/ and shaders/ from DIR; without it: VALLEY_DATA,\n"
           "                  then the program's own folder, then ../share/valley beside it\n"
           "  --window WxH    open a window of W x H pixels instead of 1280 x 720\n"
           "  --fullscreen    start fullscreen (F11 switches between the window and fullscreen)\n"
           "  --sensitivity X turn the view X times as fast with the mouse (1: as always; above 0, at most "
           "100)\n"
           "  --invert-y      moving the mouse forward looks down\n"
           "  --version       print the version\n"
           "  --help          print this text\n"
           "The settings file $XDG_CONFIG_HOME/valley/settings (~/.config/valley/settings) holds\n"
           "`sensitivity = X`, `invert-y = yes` and key moves such as `W = Up`, one a line; the options\n"
           "above win over it. A replay reads neither: the recording holds the input as the game saw it.\n"
           "Files and folders named are taken from the folder valley was started in.\n"
           "Errors in the arguments or the recording: one line on standard error, exit status 2; no data\n"
           "folder: one line, exit status 1. A recording or captured frame that cannot be written: one\n"
           "line on standard error naming the file, the closing line counts what was written, exit status "
           "3.\n";
}

} // namespace valley
