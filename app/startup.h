// Engine start-up and shutdown: the containers, the window, fixed OpenGL state, the default
// material, and the whole run of the program. Window sizes and positions are in pixels.
#pragma once

struct VideoMode;

// Runs the program: containers, start-up, scene, frame loop, shutdown. The exit status:
// 0, or 1 when no window with OpenGL 2.0 could be opened.
int runValley();

void createContainers();
bool initKernel(); // false when the window could not be opened; GLFW is then still up
bool openWindow();

// Where to put a window of this size to centre it on the desktop; false (leave the window
// where the window system put it) unless both coordinates are positive.
bool centredWindowPosition(const VideoMode& desktop, int width, int height, int& x, int& y);
