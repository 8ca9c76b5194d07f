#include "tests/support/x11_probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Display* display() {
    static Display* d = XOpenDisplay(nullptr);
    return d;
}

bool searchTree(Display* d, Window w, const std::string& title, Window& found) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name != nullptr) {
        bool match = title == name;
        XFree(name);
        XWindowAttributes attributes;
        if (match && XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable) {
            found = w;
            return true;
        }
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) {
        return false;
    }
    bool result = false;
    for (unsigned int i = 0; i < count && !result; ++i) {
        result = searchTree(d, children[i], title, found);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return result;
}

void appendAvailable(int fd, std::string& output, int waitMilliseconds) {
    pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, waitMilliseconds) > 0) {
        char buffer[4096];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<size_t>(n));
        }
    }
}

} // namespace

bool findWindowByTitle(const std::string& title, X11Window& found, double timeoutSeconds) {
    Display* d = display();
    if (d == nullptr) {
        return false;
    }
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < timeoutSeconds) {
        Window w = 0;
        if (searchTree(d, DefaultRootWindow(d), title, w)) {
            XWindowAttributes attributes;
            XGetWindowAttributes(d, w, &attributes);
            Window child = 0;
            XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &found.x, &found.y, &child);
            found.id = w;
            found.width = attributes.width;
            found.height = attributes.height;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::string windowClass(unsigned long id) {
    XClassHint hint = {nullptr, nullptr};
    if (display() == nullptr || !XGetClassHint(display(), id, &hint)) {
        return "";
    }
    std::string name = hint.res_class != nullptr ? hint.res_class : "";
    XFree(hint.res_name);
    XFree(hint.res_class);
    return name;
}

std::vector<int> windowIconSides(unsigned long id) {
    std::vector<int> sides;
    Display* d = display();
    if (d == nullptr) {
        return sides;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, id, XInternAtom(d, "_NET_WM_ICON", False), 0, 1 << 24, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return sides;
    }
    // Each icon: width, height, then width x height pixels (format 32 comes as longs).
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long at = 0; at + 2 <= count; at += 2 + values[at] * values[at + 1]) {
        sides.push_back(static_cast<int>(values[at]));
    }
    XFree(data);
    return sides;
}

bool screenPixel(int x, int y, unsigned char rgb[3]) {
    Display* d = display();
    if (d == nullptr) {
        return false;
    }
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    unsigned long pixel = XGetPixel(image, 0, 0);
    rgb[0] = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
    rgb[1] = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
    rgb[2] = static_cast<unsigned char>(pixel & image->blue_mask);
    XDestroyImage(image);
    return true;
}

std::vector<unsigned char> screenArea(int x, int y, int width, int height) {
    std::vector<unsigned char> rgb;
    Display* d = display();
    XImage* image =
        d == nullptr ? nullptr : XGetImage(d, DefaultRootWindow(d), x, y, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return rgb;
    }
    rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            unsigned long pixel = XGetPixel(image, column, row);
            rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
            rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
            rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    return rgb;
}

void setMouseButton(int button, bool down) {
    Display* d = display();
    if (d != nullptr) {
        XTestFakeButtonEvent(d, static_cast<unsigned int>(button), down ? True : False, 0);
        XFlush(d);
    }
}

bool waitForPixel(int x, int y, const unsigned char expected[3], unsigned char rgb[3],
                  double timeoutSeconds) {
    Clock::time_point start = Clock::now();
    do {
        if (!screenPixel(x, y, rgb)) {
            return false;
        }
        if (rgb[0] == expected[0] && rgb[1] == expected[1] && rgb[2] == expected[2]) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (secondsSince(start) < timeoutSeconds);
    return true;
}

void setKey(const char* keysymName, bool down) {
    Display* d = display();
    if (d != nullptr) {
        KeyCode code = XKeysymToKeycode(d, XStringToKeysym(keysymName));
        XTestFakeKeyEvent(d, code, down ? True : False, 0);
        XFlush(d);
    }
}

void placePointer(int x, int y) {
    Display* d = display();
    if (d != nullptr) {
        XTestFakeMotionEvent(d, DefaultScreen(d), x, y, 0);
        XSync(d, False);
    }
}

void movePointer(int dx, int dy) {
    Display* d = display();
    if (d != nullptr) {
        XTestFakeRelativeMotionEvent(d, dx, dy, 0);
        XSync(d, False);
    }
}

ChildProcess startProgram(const std::string& path, const std::string& workingDirectory, bool withDisplay,
                          const std::vector<std::string>& arguments) {
    std::vector<const char*> argv = {path.c_str()};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    ChildProcess child;
    if (pipe(pipeFds) != 0) {
        return child;
    }
    child.pid = fork();
    if (child.pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (!withDisplay) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
        }
        if (chdir(workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        execv(path.c_str(), const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(pipeFds[1]);
    child.outputFd = pipeFds[0];
    return child;
}

int waitForExit(ChildProcess& child, std::string& output, double timeoutSeconds) {
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < timeoutSeconds) {
        appendAvailable(child.outputFd, output, 20);
        int status = 0;
        if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
            char buffer[4096];
            ssize_t n = 0;
            while ((n = read(child.outputFd, buffer, sizeof buffer)) > 0) {
                output.append(buffer, static_cast<size_t>(n));
            }
            close(child.outputFd);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
    kill(child.pid, SIGKILL);
    waitpid(child.pid, nullptr, 0);
    close(child.outputFd);
    return -1;
}

bool readUntil(ChildProcess& child, const std::string& text, std::string& output, double timeoutSeconds) {
    Clock::time_point start = Clock::now();
    while (output.find(text) == std::string::npos) {
        if (secondsSince(start) >= timeoutSeconds) {
            return false;
        }
        appendAvailable(child.outputFd, output, 20);
    }
    return true;
}

std::string readLineStarting(ChildProcess& child, const std::string& prefix, double timeoutSeconds) {
    std::string output;
    do { // what was printed before the call
        output.clear();
        appendAvailable(child.outputFd, output, 0);
    } while (!output.empty());
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < timeoutSeconds) {
        size_t line = output.rfind("\n" + prefix);
        line = line == std::string::npos ? output.find(prefix) : line + 1;
        size_t end = line == std::string::npos ? line : output.find('\n', line);
        if (end != std::string::npos) {
            return output.substr(line, end - line);
        }
        appendAvailable(child.outputFd, output, 20);
    }
    return std::string();
}
