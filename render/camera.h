// The first-person camera and the per-tick keyboard and mouse snapshot.
//
// Units: world units and degrees; velocities and damping are per tick. y points up.
// Yaw 0 looks along +x and 90 along +z; positive pitch looks down, kept within -89.9..89.9.
// The mouse is hidden and re-centred at (640, 360) whenever it reaches the window's edge.
#pragma once

#include "core/vec_math.h"

#include <cstdint>

struct RenderList;

// Every key and button field holds 1 while pressed and 0 otherwise.
struct InputState {
    int32_t letters[26];      // 'A' to 'Z'
    int32_t digits[9];        // '1' to '9'
    int32_t zero;             // '0'
    int32_t space;
    int32_t leftControl;
    int32_t rightControl;
    int32_t leftShift;
    int32_t rightShift;
    int32_t escape;
    int32_t enter;
    int32_t leftAlt;
    int32_t rightAlt;
    int32_t up;
    int32_t down;
    int32_t left;
    int32_t right;
    int32_t functionKeys[12]; // F1 to F12
    int32_t mouseX;           // window pixels, y growing downwards
    int32_t mouseY;
    int32_t leftButton;
    int32_t rightButton;
    int32_t middleButton;
};

// Smoothed mouse motion, kept from tick to tick.
struct LookSmoothing {
    float x;
    float y;
};

struct Camera {
    float fieldOfView;    // degrees, whole vertical angle fed to perspective
    int32_t mode;         // 2: mouse look and movement active; otherwise input is only polled
    float moveSpeed;      // scales the key input; player control rewrites it every tick
    InputState input;     // refreshed by pollInput
    Vec3 position;        // eye position
    float roll;           // degrees
    float yaw;            // degrees
    float pitch;          // degrees
    Vec3 velocity;        // world units per tick
    RenderList* sceneList; // drawn first; created by start-up
    RenderList* waterList; // drawn second
    float damping;        // velocity factor per tick
    LookSmoothing look;   // degrees per tick; none after initCamera: a run starts at rest
};

Camera& initCamera(Camera& camera);
void pollInput(InputState& input);
bool isHeld(const InputState& input, int key); // key names of platform/keys.h
void updateCamera(Camera& camera);
