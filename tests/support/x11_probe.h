// Looks at the X display from outside a program: finds its window, reads screen pixels and
// types keys, as a person at the desktop would. Also runs a program as a child process.
#pragma once

#include <string>
#include <vector>

struct X11Window {
    unsigned long id;
    int x; // client area on the root window
    int y;
    int width;
    int height;
};

// Waits up to timeoutSeconds for a mapped window with this exact title.
bool findWindowByTitle(const std::string& title, X11Window& found, double timeoutSeconds);
// The window's class (WM_CLASS, its second name) and the sides of the icons it carries
// (_NET_WM_ICON), in the order given.
std::string windowClass(unsigned long id);
std::vector<int> windowIconSides(unsigned long id);
bool screenPixel(int x, int y, unsigned char rgb[3]);
// Reads the pixel until it shows the expected colour (a window's first frame may still be on
// its way) or the timeout passes; rgb holds the last colour read. False when the screen
// cannot be read at all.
bool waitForPixel(int x, int y, const unsigned char expected[3], unsigned char rgb[3], double timeoutSeconds);
// The screen's pixels in a rectangle, RGB row by row; empty when the screen cannot be read.
std::vector<unsigned char> screenArea(int x, int y, int width, int height);
// Press or release through XTest. A program polls its input once per frame, and a slow frame
// can swallow a short press, so tests hold a key or button until they see its effect.
void setMouseButton(int button, bool down); // X button number: 1 left, 3 right
void setKey(const char* keysymName, bool down);
void placePointer(int x, int y);  // on the root window
void movePointer(int dx, int dy); // a motion of the mouse by so many pixels

struct ChildProcess {
    int pid = -1;
    int outputFd = -1; // the child's standard output
};

// Starts a program in a working directory with the given arguments; `withDisplay` false removes
// DISPLAY from its environment. Its standard error goes to the same pipe as its standard output.
ChildProcess startProgram(const std::string& path, const std::string& workingDirectory, bool withDisplay,
                          const std::vector<std::string>& arguments = {});
// Reads the child's output until it exits or the timeout passes; returns the exit status,
// or -1 after killing a child that did not exit in time.
int waitForExit(ChildProcess& child, std::string& output, double timeoutSeconds);
// Reads what the child printed so far until `text` appears or the timeout passes.
bool readUntil(ChildProcess& child, const std::string& text, std::string& output, double timeoutSeconds);
// Skips what the child printed so far, then reads on until it prints a whole line that starts
// with `prefix`; returns that line without its line feed, or an empty text on a timeout.
std::string readLineStarting(ChildProcess& child, const std::string& prefix, double timeoutSeconds);
